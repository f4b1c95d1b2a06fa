#pragma once
// Runs varkel-reader on a logbook file and checks what it sends, so that a
// file that crashes or hangs the reader only fails the opening.

#include "ReaderStream.h"

#include <string>

namespace mdbreader {

struct ReaderRun {
    std::string program; ///< the reader executable
    std::string file;
    std::string table;
    /// How long the program may wait for the reader; the time the program
    /// spends on the rows it has received does not count.
    double seconds = 5;
};

/// Starts the reader, feeds its output to `decoder` and waits for it to
/// end. Returns an empty text when the reader sent the whole table and
/// exited normally, else the reason for the operator. The reader is killed
/// when it runs out of time or its output is wrong.
std::string runReader(const ReaderRun &run, StreamDecoder &decoder);

/// The time limit for a file of `bytes`: 5 s, and 2 s more per 10 MB.
double readerSeconds(std::uint64_t bytes);

} // namespace mdbreader
