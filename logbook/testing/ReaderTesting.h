#pragma once
// The reader's conversions checked against libmdb's own, and a file image
// read inside the calling process: for tests and fuzzers only.

#include "logbook/mdb/MdbReader.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mdbreader {

/// Each date (days since 1899-12-30, as Jet stores them) as the reader turns
/// it into text itself, and whether that is libmdb's text for it
/// (mdb_col_to_string with a handle on the Jet 4 file at `path`); an empty
/// text when the reader leaves the date to libmdb.
std::vector<std::pair<std::string, bool>> datesBothWays(const std::string &path, const std::vector<double> &days);

/// The same fields converted by libmdb itself with a handle on the Jet 4 file
/// at `path` (empty when the file does not open).
std::vector<std::string> libmdbTexts(const std::string &path, const std::vector<std::string> &fields);

/// Whether libmdb converts texts with iconv, as mdbtools' own commands do
/// (not on Windows).
bool libmdbConvertsWithIconv();

/// readTable for a file image in memory (the bytes are not changed): the
/// page reader, and libmdb where it declines.
std::string readTableFromMemory(const void *data, std::size_t size, const std::string &table, RowSink &sink);

/// The table as libmdb alone reads it from the image.
std::string readTableWithLibmdb(const void *data, std::size_t size, const std::string &table, RowSink &sink, Part part = Part{});

/// Every table the page reader finds in the image, read by it and by libmdb
/// alone: empty when each reads alike, value for value, or the page reader
/// declines it with a reason before handing a row on; else what differs.
/// The text columns of each table read by the page reader are read the
/// columnar way too (readColumnarPages), whole and in two parts, and must
/// give libmdb's texts as well.
/// `read`, when given, counts the tables the page reader read.
std::string pageReaderAgainstLibmdb(const void *data, std::size_t size, int *read = nullptr);

/// A table as a reader gave it, every value as text with its kind ("i:7",
/// "t:text"), NULL as nothing.
struct CopiedTable : RowSink {
    std::vector<Column> names;
    std::vector<std::vector<std::optional<std::string>>> rows;

    bool columns(const std::vector<Column> &columns) override;
    bool row(const std::vector<Value> &values) override;
    std::string error() const override { return {}; }
};

} // namespace mdbreader
