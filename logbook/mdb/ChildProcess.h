#pragma once
// A child process whose standard output and error output are read through
// pipes. The object owns the process: its destructor kills and reaps it, so
// no early return and no exception can leave one running. This class and its
// platform file are the only places that know how a process is started.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class ChildProcess {
public:
    enum class Stream { Out, Err };

    struct Limits {
        /// Memory the process may take; 0 for no cap. Where the platform caps
        /// a process from outside (a Windows job) it is applied here; on POSIX
        /// systems the child sets its own resource limits.
        std::uint64_t memoryBytes = 0;
    };

    /// Starts `program` with `arguments` (the program's name not included) and
    /// an empty standard input. On Windows the program's path and the
    /// arguments are UTF-8 and reach the program as its UTF-16 command line.
    /// Nothing, with `error` set, when it cannot start.
    static std::unique_ptr<ChildProcess> start(const std::string &program, const std::vector<std::string> &arguments, const Limits &limits,
                                               std::string &error);

    /// The path of the running program (UTF-8 on Windows), for the programs
    /// that lie beside it.
    static std::string runningProgram();

    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    struct Read {
        enum class Kind { Data, Timeout, Closed, Failed };
        Kind kind = Kind::Timeout;
        Stream stream = Stream::Out;
        std::size_t size = 0; ///< bytes placed in the buffer (Data)
        std::string error;    ///< Failed

        Read() = default;
        explicit Read(Kind k, Stream s = Stream::Out, std::size_t n = 0, std::string why = {})
            : kind(k), stream(s), size(n), error(std::move(why))
        {
        }
    };
    /// Waits at most `timeout` for output of either stream and reads what is
    /// there into `buffer`. Closed once both streams have ended.
    Read read(char *buffer, std::size_t size, std::chrono::milliseconds timeout);

    struct Exit {
        bool crashed = false; ///< ended by a signal (POSIX) or an exception code (Windows)
        int code = 0;         ///< the exit status, or the signal number / exception code
        /// "signal Segmentation fault (11)", "exception 0xC0000005", "exit status 3".
        std::string describe() const;
    };
    /// The exit once the process has ended; nothing if it is still running
    /// after `timeout`.
    std::optional<Exit> wait(std::chrono::milliseconds timeout);
    /// Ends the process at once and reaps it.
    Exit kill();

private:
    ChildProcess();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
