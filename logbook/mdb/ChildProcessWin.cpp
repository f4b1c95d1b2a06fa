// ChildProcess on Windows: CreateProcessW with pipes for standard output and
// error output and NUL for standard input, in a job object that kills the
// process when the program ends (or the job's last handle closes) and caps
// its memory. Anonymous pipes cannot be waited for together, so a thread per
// pipe reads into a queue that read() takes from.
#include "logbook/mdb/ChildProcess.h"

#include "logbook/mdb/WinFiles.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace {

using winfiles::Handle;
using Kind = ChildProcess::Read::Kind;

/// The exit code a process ends with when it is killed here.
constexpr DWORD KilledCode = 0xC000013A; // STATUS_CONTROL_C_EXIT: ended from outside
/// Bytes read ahead of read() before the pipe threads wait.
constexpr std::size_t MaxQueued = 8u << 20;
constexpr DWORD PipeBytes = 1u << 20;

/// Processes are started one at a time, so that no child inherits the pipe
/// ends meant for another started at the same moment.
std::mutex startMutex;

/// An argument as the C runtime's command-line parsing (CommandLineToArgvW)
/// gives it back: quoted when it holds blanks or quotes or is empty, with
/// backslashes doubled where they come before a quote.
void appendArgument(std::wstring &line, const std::wstring &argument)
{
    if (!line.empty())
        line += L' ';
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    for (auto it = argument.begin();; ++it) {
        std::size_t backslashes = 0;
        while (it != argument.end() && *it == L'\\') {
            ++it;
            ++backslashes;
        }
        if (it == argument.end()) {
            line.append(backslashes * 2, L'\\');
            break;
        }
        if (*it == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        line += *it;
    }
    line += L'"';
}

/// Exit codes that are exception codes (NTSTATUS errors, breakpoints and
/// the like) rather than exit statuses.
bool isException(DWORD code) { return (code & 0xF0000000u) == 0xC0000000u || (code >= 0x80000001u && code <= 0x80000004u); }

} // namespace

struct ChildProcess::Impl {
    Handle process;
    Handle job;
    std::optional<Exit> exit;

    struct Chunk {
        Stream stream;
        std::string data;
        std::size_t taken = 0;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Chunk> chunks;
    std::size_t queued = 0;
    int openStreams = 0;
    bool stopping = false;
    std::string failure;
    std::thread threads[2];

    /// Reads one pipe until it ends, queueing what it gives.
    void follow(Handle pipe, Stream stream)
    {
        std::string buffer(64 * 1024, '\0');
        for (;;) {
            DWORD got = 0;
            const bool ok = ReadFile(pipe.get(), buffer.data(), DWORD(buffer.size()), &got, nullptr);
            const DWORD error = ok ? 0 : GetLastError();
            std::unique_lock lock(mutex);
            if (!ok || got == 0) {
                if (!ok && error != ERROR_BROKEN_PIPE && failure.empty())
                    failure = winfiles::errorText(error);
                --openStreams;
                changed.notify_all();
                return;
            }
            changed.wait(lock, [this] { return queued < MaxQueued || stopping; });
            if (stopping)
                continue; // read on until the pipe ends, keeping nothing
            chunks.push_back({stream, std::string(buffer.data(), got)});
            queued += got;
            changed.notify_all();
        }
    }
};

ChildProcess::ChildProcess() : m_impl(std::make_unique<Impl>()) {}

ChildProcess::~ChildProcess()
{
    if (m_impl->process && !m_impl->exit)
        kill();
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = true;
    }
    m_impl->changed.notify_all();
    // Closing the job ends whatever the process may have started; then the pipes end.
    m_impl->job.reset();
    for (std::thread &t : m_impl->threads) {
        if (t.joinable())
            t.join();
    }
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::string &program, const std::vector<std::string> &arguments,
                                                  const Limits &limits, std::string &error)
{
    std::wstring path = winfiles::wide(program);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    std::wstring commandLine;
    appendArgument(commandLine, path);
    for (const std::string &a : arguments)
        appendArgument(commandLine, winfiles::wide(a));

    Handle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION jobLimits{};
    jobLimits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (limits.memoryBytes > 0) {
        jobLimits.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        jobLimits.ProcessMemoryLimit = SIZE_T(limits.memoryBytes);
    }
    if (!job || !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &jobLimits, sizeof jobLimits)) {
        error = "cannot make a job object: " + winfiles::errorText(GetLastError());
        return nullptr;
    }

    std::unique_ptr<ChildProcess> child(new ChildProcess);
    Impl &impl = *child->m_impl;
    PROCESS_INFORMATION pi{};
    {
        std::lock_guard lock(startMutex);
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
        if (!CreatePipe(&outRead, &outWrite, &inherited, PipeBytes)) {
            error = winfiles::errorText(GetLastError());
            return nullptr;
        }
        Handle outR(outRead), outW(outWrite);
        if (!CreatePipe(&errRead, &errWrite, &inherited, PipeBytes)) {
            error = winfiles::errorText(GetLastError());
            return nullptr;
        }
        Handle errR(errRead), errW(errWrite);
        Handle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr));
        // The ends this program keeps are not for the child.
        SetHandleInformation(outR.get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(errR.get(), HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul.get();
        startup.hStdOutput = outW.get();
        startup.hStdError = errW.get();
        if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                            CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup, &pi)) {
            error = winfiles::errorText(GetLastError());
            return nullptr;
        }
        impl.process.reset(pi.hProcess);
        Handle thread(pi.hThread);
        if (!AssignProcessToJobObject(job.get(), pi.hProcess)) {
            error = "cannot put the process in a job object: " + winfiles::errorText(GetLastError());
            TerminateProcess(pi.hProcess, KilledCode);
            WaitForSingleObject(pi.hProcess, INFINITE);
            impl.exit = Exit{true, int(KilledCode)};
            return nullptr;
        }
        impl.job = std::move(job);
        ResumeThread(thread.get());
        // The child has its own copies of the write ends now; once it ends, the pipes end.
        outW.reset();
        errW.reset();
        impl.openStreams = 2;
        impl.threads[0] = std::thread(&Impl::follow, &impl, std::move(outR), Stream::Out);
        impl.threads[1] = std::thread(&Impl::follow, &impl, std::move(errR), Stream::Err);
    }
    return child;
}

ChildProcess::Read ChildProcess::read(char *buffer, std::size_t size, std::chrono::milliseconds timeout)
{
    Impl &impl = *m_impl;
    std::unique_lock lock(impl.mutex);
    if (!impl.changed.wait_for(lock, timeout, [&impl] { return !impl.chunks.empty() || impl.openStreams == 0 || !impl.failure.empty(); }))
        return ChildProcess::Read{Kind::Timeout};
    if (!impl.chunks.empty()) {
        Impl::Chunk &chunk = impl.chunks.front();
        const std::size_t n = std::min(size, chunk.data.size() - chunk.taken);
        std::memcpy(buffer, chunk.data.data() + chunk.taken, n);
        chunk.taken += n;
        impl.queued -= n;
        const Stream stream = chunk.stream;
        if (chunk.taken == chunk.data.size())
            impl.chunks.pop_front();
        impl.changed.notify_all();
        return ChildProcess::Read{Kind::Data, stream, n};
    }
    if (!impl.failure.empty())
        return ChildProcess::Read{Kind::Failed, Stream::Out, 0, impl.failure};
    return ChildProcess::Read{Kind::Closed};
}

std::optional<ChildProcess::Exit> ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (m_impl->exit)
        return m_impl->exit;
    const DWORD waited = WaitForSingleObject(m_impl->process.get(), DWORD(std::clamp<long long>(timeout.count(), 0, INFINITE - 1)));
    if (waited == WAIT_TIMEOUT)
        return std::nullopt;
    if (waited != WAIT_OBJECT_0)
        return kill();
    DWORD code = 0;
    GetExitCodeProcess(m_impl->process.get(), &code);
    m_impl->exit = Exit{isException(code), int(code)};
    return m_impl->exit;
}

ChildProcess::Exit ChildProcess::kill()
{
    if (m_impl->exit)
        return *m_impl->exit;
    if (WaitForSingleObject(m_impl->process.get(), 0) == WAIT_OBJECT_0)
        return *wait(std::chrono::milliseconds(0));
    // The whole job: whatever the process started goes with it.
    if (!m_impl->job || !TerminateJobObject(m_impl->job.get(), KilledCode))
        TerminateProcess(m_impl->process.get(), KilledCode);
    WaitForSingleObject(m_impl->process.get(), INFINITE);
    m_impl->exit = Exit{true, int(KilledCode)};
    return *m_impl->exit;
}

std::string ChildProcess::runningProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return winfiles::utf8(path);
}

std::string ChildProcess::Exit::describe() const
{
    if (!crashed)
        return "exit status " + std::to_string(code);
    char text[32];
    std::snprintf(text, sizeof text, "exception 0x%08X", unsigned(code));
    return text;
}
