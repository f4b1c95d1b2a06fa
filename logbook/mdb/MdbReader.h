#pragma once
// Reading one table of a Jet database file with libmdb. This is the part of
// opening a logbook that trusts the file, so it runs in the reader process
// (varkel-reader) and hands its rows on through a RowSink. It uses neither Qt
// nor SQLite, so the reader starts quickly.

#include "logbook/mdb/JetFieldText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mdbreader {

/// How a column is stored in the snapshot.
enum class Kind : std::uint8_t { Integer = 1, Real = 2, Text = 3 };

struct Column {
    std::string name; ///< UTF-8
    Kind kind = Kind::Text;
};

/// One field of a row; `text` stays valid until the sink returns.
struct Value {
    bool null = true;
    std::int64_t integer = 0;
    double real = 0;
    std::string_view text;
};

/// Receives a table: its columns once, then its rows. Returning false stops
/// the reading; `error()` then tells why.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual bool columns(const std::vector<Column> &columns) = 0;
    virtual bool row(const std::vector<Value> &values) = 0;
    virtual std::string error() const = 0;
};

/// Reads the table `table` (matched without regard to case) of the Jet file
/// at `path`, opened read-only. Returns an empty text on success, else why
/// it failed. A table that holds fewer rows than its definition counts, or
/// whose pages lie past the end of the file, is an incomplete file and fails;
/// one that gives more rows than it counts is damaged and fails too.
/// Part `index` of `count` (from 0): the rows of that share of the table's
/// data pages, in order; part 0 still counts the rows of every page for the
/// check.
struct Part {
    unsigned index = 0;
    unsigned count = 1;
};

std::string readTable(const std::string &path, const std::string &table, RowSink &sink, Part part = Part{});

class ColumnarEncoder;
/// readTable for the columnar stream: the page reader hands the encoder its
/// text columns whole (readColumnarPages), libmdb its rows.
std::string readTableColumnar(const std::string &path, const std::string &table, ColumnarEncoder &encoder, Part part = Part{});

/// Checks the header every Jet 3/4 and ACE file starts with, given the file's
/// first bytes and its size. Returns why it is not a Jet file, or an empty text.
std::string checkHeader(std::string_view head, std::uint64_t fileSize);

} // namespace mdbreader
