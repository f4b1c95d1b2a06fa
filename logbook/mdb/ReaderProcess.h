#pragma once
// Runs varkel-reader on a logbook file and checks what it sends, so that a
// file that crashes or hangs the reader only fails the opening.

#include "logbook/mdb/ReaderStream.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>

namespace mdbreader {

struct ReaderRun {
    std::string program; ///< the reader executable
    std::string file;
    std::string table;
    /// How long the program may wait for the reader; the time the program
    /// spends on the rows it has received does not count.
    double seconds = 5;
    /// Only this share of the rows (varkel-reader --part).
    Part part;
    /// The text columns in the columnar form (ColumnarStream.h) instead of
    /// the rows (varkel-reader --columnar).
    bool columnar = false;
    /// When set and raised, the reader is stopped and the run fails.
    const std::atomic<bool> *cancelled = nullptr;
    /// When set, takes every piece of the stream once the decoder has taken it.
    std::function<void(const char *data, std::size_t size)> copy;
};

/// Starts the reader, feeds its output to `decoder` (a StreamDecoder, or a
/// ColumnarDecoder for a columnar run) and waits for it to
/// end. Returns an empty text when the reader sent the whole table and
/// exited normally, else the reason for the operator. The reader is killed
/// when it runs out of time or its output is wrong.
std::string runReader(const ReaderRun &run, StreamInput &decoder);

/// The time limit for a file of `bytes`: 5 s, and 2 s more per 10 MB.
double readerSeconds(std::uint64_t bytes);

} // namespace mdbreader
