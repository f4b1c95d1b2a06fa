// ChildProcess on POSIX systems: posix_spawn, pipes and poll.
#include "logbook/mdb/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char **environ;

namespace {

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

/// A pipe's two ends, or nothing.
bool makePipe(Fd &readEnd, Fd &writeEnd)
{
    int fd[2];
    if (::pipe2(fd, O_CLOEXEC) != 0)
        return false;
    readEnd.reset(fd[0]);
    writeEnd.reset(fd[1]);
#ifdef F_SETPIPE_SZ
    // A larger pipe lets the child write on while the program is busy with
    // what came before (Linux; the default holds 64 KiB). Where the system
    // does not allow it, the pipe stays as it is.
    (void)::fcntl(fd[1], F_SETPIPE_SZ, 1 << 20);
#endif
    return true;
}

struct FileActions {
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    posix_spawn_file_actions_t actions;
};

using Kind = ChildProcess::Read::Kind;

ChildProcess::Exit exitOf(int status)
{
    if (WIFSIGNALED(status))
        return {true, WTERMSIG(status)};
    return {false, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace

struct ChildProcess::Impl {
    pid_t pid = -1;
    Fd out, err;
    std::optional<Exit> exit;
};

ChildProcess::ChildProcess() : m_impl(std::make_unique<Impl>()) {}

ChildProcess::~ChildProcess()
{
    if (m_impl->pid > 0 && !m_impl->exit)
        kill();
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string &program, const std::vector<std::string> &arguments, const Limits &,
                                                  std::string &error)
{
    Fd outRead, outWrite, errRead, errWrite;
    if (!makePipe(outRead, outWrite) || !makePipe(errRead, errWrite)) {
        error = std::strerror(errno);
        return nullptr;
    }
    FileActions fa;
    posix_spawn_file_actions_addopen(&fa.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&fa.actions, outWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&fa.actions, errWrite.get(), STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&fa.actions, 3);
#endif
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);

    std::unique_ptr<ChildProcess> child(new ChildProcess);
    const int rc = posix_spawn(&child->m_impl->pid, program.c_str(), &fa.actions, nullptr, argv.data(), environ);
    if (rc != 0) {
        child->m_impl->pid = -1;
        error = std::strerror(rc);
        return nullptr;
    }
    child->m_impl->out = std::move(outRead);
    child->m_impl->err = std::move(errRead);
    return child;
}

ChildProcess::Read ChildProcess::read(char *buffer, std::size_t size, std::chrono::milliseconds timeout)
{
    pollfd fds[2];
    Stream streams[2];
    nfds_t n = 0;
    if (m_impl->out.get() >= 0) {
        fds[n] = {m_impl->out.get(), POLLIN, 0};
        streams[n++] = Stream::Out;
    }
    if (m_impl->err.get() >= 0) {
        fds[n] = {m_impl->err.get(), POLLIN, 0};
        streams[n++] = Stream::Err;
    }
    if (n == 0)
        return ChildProcess::Read{Kind::Closed};
    const int ready = ::poll(fds, n, int(timeout.count()));
    if (ready < 0) {
        if (errno == EINTR)
            return ChildProcess::Read{Kind::Timeout};
        return ChildProcess::Read{Kind::Failed, Stream::Out, 0, std::strerror(errno)};
    }
    for (nfds_t i = 0; i < n; ++i) {
        if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t got = ::read(fds[i].fd, buffer, size);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            return ChildProcess::Read{Kind::Timeout};
        if (got <= 0) {
            (streams[i] == Stream::Out ? m_impl->out : m_impl->err).reset();
            return ChildProcess::Read{m_impl->out.get() < 0 && m_impl->err.get() < 0 ? Kind::Closed : Kind::Timeout};
        }
        return ChildProcess::Read{Kind::Data, streams[i], std::size_t(got)};
    }
    return ChildProcess::Read{Kind::Timeout};
}

std::optional<ChildProcess::Exit> ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (m_impl->exit)
        return m_impl->exit;
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(m_impl->pid, &status, WNOHANG);
        if (r == m_impl->pid) {
            m_impl->exit = exitOf(status);
            return m_impl->exit;
        }
        if (r < 0 && errno != EINTR)
            return kill();
        if (std::chrono::steady_clock::now() >= end)
            return std::nullopt;
        ::usleep(2000);
    }
}

ChildProcess::Exit ChildProcess::kill()
{
    if (m_impl->exit)
        return *m_impl->exit;
    ::kill(m_impl->pid, SIGKILL);
    int status = 0;
    while (::waitpid(m_impl->pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_impl->exit = exitOf(status);
    return *m_impl->exit;
}

std::string ChildProcess::runningProgram() { return "/proc/self/exe"; }

std::string ChildProcess::Exit::describe() const
{
    if (!crashed)
        return "exit status " + std::to_string(code);
    const char *name = strsignal(code);
    return "signal " + std::string(name ? name : "") + " (" + std::to_string(code) + ")";
}
