// ChildProcess on Windows: arguments reach the program as they were given,
// both pipes are read, and the job object ends the process with the program
// that started it and caps its memory.
#include "logbook/MdbLoader.h"
#include "logbook/mdb/ChildProcess.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/TestPlatform.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using namespace std::chrono_literals;

struct Output {
    std::string out, err;
    bool closed = false;
};

/// Everything the process writes until both streams end (or `limit` passes).
Output readAll(ChildProcess &child, std::chrono::milliseconds limit = 20s)
{
    Output o;
    char buffer[8192];
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        const ChildProcess::Read r = child.read(buffer, sizeof buffer, 200ms);
        if (r.kind == ChildProcess::Read::Kind::Closed) {
            o.closed = true;
            break;
        }
        if (r.kind == ChildProcess::Read::Kind::Data)
            (r.stream == ChildProcess::Stream::Out ? o.out : o.err).append(buffer, r.size);
        if (r.kind == ChildProcess::Read::Kind::Failed)
            break;
    }
    return o;
}

/// Whether the process `pid` is gone within `wait`.
bool ended(DWORD pid, DWORD wait = 5000)
{
    const HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h)
        return true;
    const bool gone = WaitForSingleObject(h, wait) == WAIT_OBJECT_0;
    CloseHandle(h);
    return gone;
}

std::string program(const QString &path) { return path.toStdString(); }

} // namespace

TEST(ChildProcessWin, ArgumentsArriveAsGivenInUtf16)
{
    TempLogbook dir;
    const QString standIn = testplatform::fakeReader(dir.folder(), QStringLiteral("args"), {}, {"arguments"});
    const std::vector<std::string> arguments = {
        "plain",
        "",
        "two words",
        "Z\xc3\xbcrich \xd0\x9c\xd0\xbe\xd1\x81\xd0\xba\xd0\xb2\xd0\xb0 \xe4\xb8\xad\xe6\x96\x87",
        "\"quoted\"",
        "back\\slash",
        "trailing\\",
        "trailing blank\\\\",
        "C:\\Varkel\\Data\\VarkelDT.MDB",
        "tab\there",
        "a\\\"b",
    };
    std::string error;
    const auto child = ChildProcess::start(program(standIn), arguments, {}, error);
    ASSERT_TRUE(child) << error;
    const Output o = readAll(*child);
    EXPECT_TRUE(o.closed);
    std::string expected;
    for (const std::string &a : arguments)
        expected += a + '\0';
    EXPECT_EQ(o.out, expected);
    const auto exit = child->wait(5s);
    ASSERT_TRUE(exit);
    EXPECT_FALSE(exit->crashed);
    EXPECT_EQ(exit->code, 0);
}

TEST(ChildProcessWin, BothStreamsAreReadSoNeitherBlocksTheOther)
{
    TempLogbook dir;
    const QString standIn = testplatform::fakeReader(dir.folder(), QStringLiteral("both"), {}, {"both", "8388608"});
    std::string error;
    const auto child = ChildProcess::start(program(standIn), {}, {}, error);
    ASSERT_TRUE(child) << error;
    const Output o = readAll(*child, 60s);
    EXPECT_TRUE(o.closed);
    EXPECT_EQ(o.out.size(), 8388608u);
    EXPECT_EQ(o.err.size(), 8388608u);
}

TEST(ChildProcessWin, AProcessEndsWithTheProgramThatStartedIt)
{
    TempLogbook dir;
    const QString sleeper = testplatform::fakeReader(dir.folder(), QStringLiteral("sleeper"), {}, {"sleeper"});
    const QString spawner = testplatform::fakeReader(dir.folder(), QStringLiteral("spawner"), {}, {"spawner", sleeper});

    // Killed with its ChildProcess.
    std::string error;
    DWORD pid = 0;
    {
        const auto child = ChildProcess::start(program(sleeper), {}, {}, error);
        ASSERT_TRUE(child) << error;
        char buffer[64];
        const ChildProcess::Read r = child->read(buffer, sizeof buffer, 10s);
        ASSERT_EQ(r.kind, ChildProcess::Read::Kind::Data);
        pid = DWORD(std::stoul(std::string(buffer, r.size)));
        EXPECT_FALSE(ended(pid, 0));
    }
    EXPECT_TRUE(ended(pid));

    // A program that ends without a word (as one that crashes): its job
    // object closes and takes the process it started along.
    const auto child = ChildProcess::start(program(spawner), {}, {}, error);
    ASSERT_TRUE(child) << error;
    const Output o = readAll(*child);
    ASSERT_FALSE(o.out.empty()) << o.err;
    pid = DWORD(std::stoul(o.out));
    const auto exit = child->wait(10s);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->code, 0) << o.err;
    EXPECT_TRUE(ended(pid)) << "the process the ended program started still runs";
}

TEST(ChildProcessWin, TheJobCapsTheMemoryOfTheProcess)
{
    TempLogbook dir;
    const QString eater = testplatform::fakeReader(dir.folder(), QStringLiteral("eater"), {}, {"eat"});
    std::string error;
    ChildProcess::Limits limits;
    limits.memoryBytes = std::uint64_t(256) << 20;
    const auto child = ChildProcess::start(program(eater), {}, limits, error);
    ASSERT_TRUE(child) << error;
    const Output o = readAll(*child, 60s);
    ASSERT_FALSE(o.out.empty()) << o.err;
    const unsigned long megabytes = std::stoul(o.out);
    if (megabytes >= 4096 && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "Wine does not hold processes to the memory limit of their job";
    EXPECT_LE(megabytes, 256u);
}
