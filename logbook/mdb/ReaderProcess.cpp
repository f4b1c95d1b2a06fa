#include "logbook/mdb/ReaderProcess.h"

#include "logbook/mdb/ChildProcess.h"

#include <chrono>
#include <cstring>

namespace mdbreader {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
constexpr std::size_t StderrKept = 2000;
/// The reader's address space; a damaged file must not take the machine's memory.
constexpr std::uint64_t ReaderMemory = std::uint64_t(2) << 30;

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

std::vector<std::string> readerArguments(const ReaderRun &run)
{
    std::vector<std::string> args = {"--seconds", std::to_string(long(run.seconds) + 1)};
    if (run.columnar)
        args.push_back("--columnar");
    if (run.part.count > 1)
        args.insert(args.end(), {"--part", std::to_string(run.part.index) + "/" + std::to_string(run.part.count)});
    args.insert(args.end(), {run.file, run.table});
    return args;
}

/// What following the reader's output came to.
struct Followed {
    std::string failure; ///< the output was wrong, or the run was stopped
    bool timedOut = false;
    std::string stderrTail;
};

/// Feeds the reader's output to the decoder until both streams end, the output
/// turns out wrong, the run is cancelled or the time is up. Only the time spent
/// waiting for the reader counts against the limit.
Followed follow(ChildProcess &child, const ReaderRun &run, StreamInput &decoder, Clock::duration limit, Clock::duration &waited)
{
    Followed f;
    static thread_local std::string buffer(1 << 18, '\0');
    for (;;) {
        if (run.cancelled && run.cancelled->load()) {
            f.failure = "stopped";
            return f;
        }
        if (waited >= limit) {
            f.timedOut = true;
            return f;
        }
        const auto left = std::chrono::duration_cast<milliseconds>(limit - waited).count() + 1;
        const auto before = Clock::now();
        const ChildProcess::Read r =
            child.read(buffer.data(), buffer.size(), milliseconds(std::min<long long>(left, run.cancelled ? 100 : 1000)));
        waited += Clock::now() - before;
        switch (r.kind) {
        case ChildProcess::Read::Kind::Closed:
            return f;
        case ChildProcess::Read::Kind::Timeout:
            continue;
        case ChildProcess::Read::Kind::Failed:
            f.failure = "cannot follow the logbook reader: " + r.error;
            return f;
        case ChildProcess::Read::Kind::Data:
            break;
        }
        if (r.stream == ChildProcess::Stream::Err) {
            f.stderrTail.append(buffer.data(), r.size);
            if (f.stderrTail.size() > 2 * StderrKept)
                f.stderrTail.erase(0, f.stderrTail.size() - StderrKept);
            continue;
        }
        if (!decoder.feed(buffer.data(), r.size)) {
            f.failure = decoder.sinkFailed() ? decoder.error() : "the logbook reader sent unreadable data (" + decoder.error() + ")";
            return f;
        }
        if (run.copy)
            run.copy(buffer.data(), r.size);
    }
}

/// The reader's exit; one that does not end by itself within the time left is ended.
std::optional<ChildProcess::Exit> collect(ChildProcess &child, Clock::duration limit, Clock::duration &waited)
{
    const auto before = Clock::now();
    const auto left = limit > waited ? std::chrono::duration_cast<milliseconds>(limit - waited) : milliseconds(0);
    std::optional<ChildProcess::Exit> exit = child.wait(left);
    waited += Clock::now() - before;
    return exit;
}

std::string verdict(const ChildProcess::Exit &exit, const StreamInput &decoder, const std::string &stderrTail)
{
    const std::string line = lastLine(stderrTail);
    if (exit.crashed) {
        std::string why = "the logbook reader stopped with " + exit.describe() + " (damaged file?)";
        return line.empty() ? why : why + ": " + line;
    }
    if (decoder.readerFailed())
        return decoder.readerError();
    if (exit.code != 0 || !decoder.complete()) {
        std::string why = "the logbook reader ended without sending the whole table (" + exit.describe() + ")";
        return line.empty() ? why : why + ": " + line;
    }
    return {};
}

} // namespace

double readerSeconds(std::uint64_t bytes) { return 5.0 + 2.0 * double(bytes) / 10e6; }

std::string runReader(const ReaderRun &run, StreamInput &decoder)
{
    std::string error;
    const std::unique_ptr<ChildProcess> child = ChildProcess::start(run.program, readerArguments(run), {ReaderMemory}, error);
    if (!child)
        return "cannot start the logbook reader " + run.program + ": " + error;

    const auto limit = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(run.seconds));
    Clock::duration waited{};
    const Followed followed = follow(*child, run, decoder, limit, waited);
    const std::optional<ChildProcess::Exit> exit =
        followed.failure.empty() && !followed.timedOut ? collect(*child, limit, waited) : std::nullopt;
    if (!exit)
        child->kill();

    if (followed.timedOut || (!exit && followed.failure.empty()))
        return "the logbook reader did not finish within " + std::to_string(long(run.seconds)) + " s (damaged file?)";
    if (!followed.failure.empty())
        return followed.failure;
    return verdict(*exit, decoder, followed.stderrTail);
}

} // namespace mdbreader
