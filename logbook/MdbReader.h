#pragma once
// Reading one table of a Jet database file with libmdb. This is the part of
// opening a logbook that trusts the file, so it runs in the reader process
// (varkel-reader) and hands its rows on through a RowSink. It uses neither Qt
// nor SQLite, so the reader starts quickly.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
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

/// The same for a file image in memory (the bytes are not changed).
std::string readTableFromMemory(const void *data, std::size_t size, const std::string &table, RowSink &sink);

/// Checks the header every Jet 3/4 and ACE file starts with, given the file's
/// first bytes and its size. Returns why it is not a Jet file, or an empty text.
std::string checkHeader(std::string_view head, std::uint64_t fileSize);

/// The longest text a field gives; longer memos are cut.
constexpr int MaxFieldBytes = 65536;

/// The bytes of a Jet 4 text field (or memo) as UTF-8, as libmdb built with
/// iconv gives them (mdb_unicode2ascii, UCS-2LE into UTF-8, into a buffer of
/// `limit` bytes with its NUL): "Unicode compressed" (FF FE, then one byte
/// per character until a 0 byte switches to two, and back) or UCS-2 little
/// endian; the text ends at a NUL, a surrogate (no UCS-2 character) gives a
/// '?', an odd byte at the end is left out, and a character that would pass
/// `limit` - 1 bytes ends the text. The reader converts every Jet 4 text this
/// way, so it reads the same on every system, with or without iconv.
void jetText(const unsigned char *src, std::size_t size, std::string &out, std::size_t limit = MaxFieldBytes);

/// Whether libmdb converts texts with iconv, as mdbtools' own commands do
/// (not on Windows).
bool libmdbConvertsWithIconv();

/// For tests: each date (days since 1899-12-30, as Jet stores them) as the
/// reader turns it into text itself, and whether that is libmdb's text for it
/// (mdb_col_to_string with a handle on the Jet 4 file at `path`); an empty
/// text when the reader leaves the date to libmdb.
std::vector<std::pair<std::string, bool>> datesBothWays(const std::string &path, const std::vector<double> &days);

/// The same fields converted by libmdb itself with a handle on the Jet 4 file
/// at `path` (for tests; empty when the file does not open).
std::vector<std::string> libmdbTexts(const std::string &path, const std::vector<std::string> &fields);

} // namespace mdbreader
