#include "ReaderProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace mdbreader {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t StderrKept = 2000;

class Pipe {
public:
    Pipe()
    {
        if (::pipe2(m_fd, O_CLOEXEC) != 0)
            m_fd[0] = m_fd[1] = -1;
    }
    ~Pipe()
    {
        closeRead();
        closeWrite();
    }
    bool ok() const { return m_fd[0] >= 0; }
    int read() const { return m_fd[0]; }
    int write() const { return m_fd[1]; }
    void closeRead() { closeFd(m_fd[0]); }
    void closeWrite() { closeFd(m_fd[1]); }

private:
    static void closeFd(int &fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int m_fd[2];
};

/// Spawn attributes that clean up after themselves.
struct FileActions {
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    posix_spawn_file_actions_t actions;
};

std::string signalName(int sig)
{
    const char *name = strsignal(sig);
    return std::string(name ? name : "signal") + " (" + std::to_string(sig) + ")";
}

/// The last line the reader wrote to its error output, for the message.
std::string lastLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const std::size_t nl = text.find_last_of('\n');
    if (nl != std::string::npos)
        text.erase(0, nl + 1);
    for (char &c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    }
    return text.size() > 200 ? text.substr(0, 200) : text;
}

} // namespace

double readerSeconds(std::uint64_t bytes) { return 5.0 + 2.0 * double(bytes) / 10e6; }

std::string runReader(const ReaderRun &run, StreamDecoder &decoder)
{
    Pipe out, err;
    if (!out.ok() || !err.ok())
        return std::string("cannot start the logbook reader: ") + std::strerror(errno);

    FileActions fa;
    posix_spawn_file_actions_addopen(&fa.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&fa.actions, out.write(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&fa.actions, err.write(), STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&fa.actions, 3);
#endif
    const std::string seconds = std::to_string(long(run.seconds) + 1);
    const std::string part = std::to_string(run.part.index) + "/" + std::to_string(run.part.count);
    std::vector<const char *> argv = {run.program.c_str(), "--seconds", seconds.c_str()};
    if (run.part.count > 1) {
        argv.push_back("--part");
        argv.push_back(part.c_str());
    }
    argv.insert(argv.end(), {run.file.c_str(), run.table.c_str(), nullptr});
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, run.program.c_str(), &fa.actions, nullptr, const_cast<char *const *>(argv.data()), environ);
    if (rc != 0)
        return "cannot start the logbook reader " + run.program + ": " + std::strerror(rc);
    out.closeWrite();
    err.closeWrite();

    const auto limit = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(run.seconds));
    Clock::duration waited{};
    std::string stderrTail;
    std::string failure;
    bool timedOut = false;
    bool outOpen = true, errOpen = true;
    static thread_local std::string buffer(1 << 18, '\0');

    while ((outOpen || errOpen) && failure.empty()) {
        if (run.cancelled && run.cancelled->load()) {
            failure = "stopped";
            break;
        }
        if (waited >= limit) {
            timedOut = true;
            break;
        }
        pollfd fds[2];
        nfds_t n = 0;
        if (outOpen)
            fds[n++] = {out.read(), POLLIN, 0};
        if (errOpen)
            fds[n++] = {err.read(), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit - waited).count() + 1;
        const auto before = Clock::now();
        const int ready = ::poll(fds, n, int(std::min<long long>(left, run.cancelled ? 100 : 1000)));
        waited += Clock::now() - before;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            failure = std::string("cannot follow the logbook reader: ") + std::strerror(errno);
            break;
        }
        for (nfds_t i = 0; i < n && failure.empty(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const bool isOut = fds[i].fd == out.read();
            const ssize_t got = ::read(fds[i].fd, buffer.data(), buffer.size());
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0) {
                if (isOut) {
                    outOpen = false;
                    out.closeRead();
                } else {
                    errOpen = false;
                    err.closeRead();
                }
                continue;
            }
            if (isOut) {
                if (!decoder.feed(buffer.data(), std::size_t(got)))
                    failure = decoder.sinkFailed() ? decoder.error() : "the logbook reader sent unreadable data (" + decoder.error() + ")";
                else if (run.copy)
                    run.copy(buffer.data(), std::size_t(got));
            } else {
                stderrTail.append(buffer.data(), std::size_t(got));
                if (stderrTail.size() > 2 * StderrKept)
                    stderrTail.erase(0, stderrTail.size() - StderrKept);
            }
        }
    }

    // Collect the reader; one that does not end by itself in time is ended.
    int status = 0;
    bool reaped = false;
    if (failure.empty() && !timedOut) {
        for (;;) {
            const pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) {
                reaped = true;
                break;
            }
            if (r < 0 && errno != EINTR)
                break;
            if (waited >= limit) {
                timedOut = true;
                break;
            }
            const auto before = Clock::now();
            ::usleep(2000);
            waited += Clock::now() - before;
        }
    }
    if (!reaped) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }

    if (timedOut)
        return "the logbook reader did not finish within " + std::to_string(long(run.seconds)) + " s (damaged file?)";
    if (!failure.empty())
        return failure;
    if (WIFSIGNALED(status)) {
        std::string why = "the logbook reader stopped with " + signalName(WTERMSIG(status)) + " (damaged file?)";
        if (const std::string line = lastLine(stderrTail); !line.empty())
            why += ": " + line;
        return why;
    }
    if (decoder.readerFailed())
        return decoder.readerError();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !decoder.complete()) {
        std::string why = "the logbook reader ended without sending the whole table (exit status " +
                          std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ")";
        if (const std::string line = lastLine(stderrTail); !line.empty())
            why += ": " + line;
        return why;
    }
    return {};
}

} // namespace mdbreader
