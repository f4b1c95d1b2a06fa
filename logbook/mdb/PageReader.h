#pragma once
// Reading one table of a Jet 4 file straight from its pages: the catalog, the
// table definition, the page usage map, the data pages with their row offset
// tables, null masks, fixed and variable columns, texts (compressed and
// UCS-2) and memos (in the row, on one long-value page or on a chain). It
// gives the rows libmdb gives, value for value, or declines the table with a
// reason before a single row is handed on; then libmdb reads it (readTable).
//
// It declines what it does not read itself: Jet 3 and ACE files, columns of
// other types than Yes/No, Byte, Integer, Long, Date/Time, Text and Memo,
// rows moved to another page (overflow rows), dates strftime would not print
// as four and two digits, anything outside its page or file, and a table
// whose rows do not add up to the count its definition keeps.

#include "logbook/mdb/MdbReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace mdbreader {

class ColumnarEncoder;

/// What the page reader made of a table.
struct PageRead {
    bool declined = false; ///< nothing was handed on; `why` says why
    std::string why;       ///< the sink's error, or why the table was declined
};

/// Reads part `part` of the table `table` (matched without regard to ASCII
/// case) from the file image `data` of `size` bytes into `sink`.
PageRead readTablePages(const unsigned char *data, std::size_t size, const std::string &table, RowSink &sink, Part part = Part{});

/// Part `part` of the table `table` as readTablePages reads it, its text
/// columns handed to `encoder` whole (ColumnarEncoder::take) once every row
/// of the part has been read: dates as their texts row by row, the other
/// texts as dictionaries and ids. Declined as readTablePages declines;
/// part 0 reads every row for that, the other parts only their own pages.
PageRead readColumnarPages(const unsigned char *data, std::size_t size, const std::string &table, ColumnarEncoder &encoder,
                           Part part = Part{});

/// The names of the tables the catalog of the image lists, in catalog order;
/// empty with `why` set when the page reader declines the catalog.
std::vector<std::string> tableNamesPages(const unsigned char *data, std::size_t size, std::string &why);

} // namespace mdbreader
