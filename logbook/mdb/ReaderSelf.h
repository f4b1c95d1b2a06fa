#pragma once
// How varkel-reader sets up the process it runs in, which differs between
// systems (ReaderSelfPosix.cpp, ReaderSelfWin.cpp).

#include <cstddef>
#include <string>
#include <vector>

namespace readerself {

/// The arguments after the program's name; on Windows taken from the UTF-16
/// command line and given as UTF-8.
std::vector<std::string> arguments(int argc, char **argv);

/// Keeps a damaged file from doing harm beyond this process. On POSIX
/// systems the reader dies with the program, leaves no core file and limits
/// its own address space and CPU time (`seconds` given: twice that and 5 s).
/// On Windows the program's job object does that from outside; the reader
/// sets its standard output to binary and ends at once on a crash, with the
/// exception code as its exit code, without error dialogs or debugger.
void confine(long seconds);

/// Writes all of `data` to standard output; false once the output is closed.
bool writeOut(const char *data, std::size_t size);

} // namespace readerself
