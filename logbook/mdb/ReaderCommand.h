#pragma once
// What varkel-reader does with its arguments, apart from the process it runs
// in: parsing them, reading the table and writing it as a table stream.

#include "logbook/mdb/MdbReader.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mdbreader {

struct ReaderCommand {
    long seconds = 0;      ///< --seconds: the reader's own time limit, 0 for none
    Part part;             ///< --part K/N
    bool columnar = false; ///< --columnar: the text columns as dictionaries and ids (ColumnarStream.h)
    std::string file;      ///< UTF-8 on Windows
    std::string table;
};

/// The command of `arguments` (the program's name not included); nothing,
/// with the reason on standard error, when they are wrong.
std::optional<ReaderCommand> parseReaderCommand(const std::vector<std::string> &arguments);

/// Reads the table and hands the stream (the row stream, or the columnar one) to `write` (false: the output is
/// closed). Returns the reader's exit status: 0 table sent, 1 table not
/// readable (the reason is in the stream), 3 output closed.
int runReaderCommand(const ReaderCommand &command, const std::function<bool(const char *, std::size_t)> &write);

} // namespace mdbreader
