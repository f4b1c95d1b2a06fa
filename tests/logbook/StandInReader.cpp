// test_standin_reader: a stand-in for varkel-reader on Windows, where the
// tests cannot use shell scripts. A copy of it, NAME.exe, does what NAME.txt
// beside it says: a mode on the first line, then the mode's values.
//   crash                  crash as the reader would (its crash handling on)
//   abort MESSAGE          write MESSAGE to standard error, then abort()
//   hang                   sleep for a minute
//   garbage BYTES          write that many random bytes
//   endless                write "y" lines until stopped
//   exit CODE              end at once with CODE
//   copy FILE              write the file's bytes
//   cut BYTES              the real reader's output cut after BYTES, exit 0
//   cut-then-hang BYTES    the same, then sleep for a minute
//   replace MARK NEXT LOG  once MARK is gone, put a copy of NEXT in LOG's
//                          place (rename over it) and create MARK; then read
//   arguments              write each argument as it arrived (UTF-8), each
//                          followed by a NUL
//   both BYTES             write BYTES to standard output and to error output,
//                          by turns, in pieces
//   sleeper                write the process id, then sleep for a minute
//   spawner SLEEPER        start the program SLEEPER as the program starts its
//                          reader, pass on what it writes (its process id)
//                          and end at once, leaving it to the job object
//   eat                    take memory 16 MB at a time, up to 4 GB, and write
//                          how many MB it got
// Every mode that reads takes the reader's own arguments.
#include "logbook/mdb/ChildProcess.h"
#include "logbook/mdb/ReaderCommand.h"
#include "logbook/mdb/ReaderSelf.h"
#include "logbook/mdb/WinFiles.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> orders()
{
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    const std::wstring name = self.substr(0, self.size() - 4) + L".txt";
    std::vector<std::string> lines;
    FILE *f = _wfopen(name.c_str(), L"rb");
    if (!f)
        return lines;
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += char(c);
        }
    }
    std::fclose(f);
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

/// The real reader's work, its output cut after `limit` bytes.
int readCut(const std::vector<std::string> &arguments, std::size_t limit)
{
    const auto command = mdbreader::parseReaderCommand(arguments);
    if (!command)
        return 2;
    std::size_t sent = 0;
    return mdbreader::runReaderCommand(*command, [&sent, limit](const char *data, std::size_t size) {
        const std::size_t n = std::min(size, limit - sent);
        if (n > 0 && !readerself::writeOut(data, n))
            return false;
        sent += n;
        return sent < limit;
    });
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> arguments = readerself::arguments(argc, argv);
    const std::vector<std::string> o = orders();
    const std::string mode = o.empty() ? std::string() : o[0];
    const auto value = [&o](std::size_t i) { return i < o.size() ? o[i] : std::string(); };
    readerself::confine(0);

    if (mode == "crash") {
        *static_cast<volatile int *>(nullptr) = 1;
    } else if (mode == "abort") {
        std::fprintf(stderr, "%s\n", value(1).c_str());
        std::fflush(stderr);
        std::abort();
    } else if (mode == "hang") {
        Sleep(60000);
    } else if (mode == "garbage") {
        std::mt19937 rng(1);
        std::string bytes(std::size_t(std::stoul(value(1))), '\0');
        for (char &c : bytes)
            c = char(rng());
        readerself::writeOut(bytes.data(), bytes.size());
    } else if (mode == "endless") {
        const std::string lines(65536, 'y');
        while (readerself::writeOut(lines.data(), lines.size())) {
        }
    } else if (mode == "exit") {
        return std::atoi(value(1).c_str());
    } else if (mode == "copy") {
        std::ifstream in(std::filesystem::path(winfiles::wide(value(1))), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        readerself::writeOut(bytes.data(), bytes.size());
    } else if (mode == "cut") {
        readCut(arguments, std::size_t(std::stoul(value(1))));
    } else if (mode == "cut-then-hang") {
        readCut(arguments, std::size_t(std::stoul(value(1))));
        Sleep(60000);
    } else if (mode == "replace") {
        const std::wstring mark = winfiles::wide(value(1)), next = winfiles::wide(value(2)), log = winfiles::wide(value(3));
        if (GetFileAttributesW(mark.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const std::wstring fresh = log + L".new" + std::to_wstring(GetCurrentProcessId());
            if (!CopyFileW(next.c_str(), fresh.c_str(), FALSE) || !MoveFileExW(fresh.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING))
                return 4;
            CloseHandle(CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        }
        return readCut(arguments, std::size_t(-1));
    } else if (mode == "arguments") {
        for (const std::string &a : arguments)
            readerself::writeOut(a.c_str(), a.size() + 1);
    } else if (mode == "both") {
        const std::size_t total = std::size_t(std::stoul(value(1)));
        const std::string piece(4096, 'o');
        const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
        for (std::size_t sent = 0; sent < total; sent += piece.size()) {
            readerself::writeOut(piece.data(), piece.size());
            DWORD wrote = 0;
            WriteFile(err, piece.data(), DWORD(piece.size()), &wrote, nullptr);
        }
    } else if (mode == "sleeper") {
        const std::string pid = std::to_string(GetCurrentProcessId()) + "\n";
        readerself::writeOut(pid.data(), pid.size());
        Sleep(60000);
    } else if (mode == "spawner") {
        std::string error;
        // Never destroyed: the process ends below as if it crashed.
        ChildProcess *sleeper = ChildProcess::start(value(1), {}, {}, error).release();
        if (!sleeper) {
            std::fprintf(stderr, "cannot start %s: %s\n", value(1).c_str(), error.c_str());
            return 6;
        }
        char buffer[64];
        const ChildProcess::Read r = sleeper->read(buffer, sizeof buffer, std::chrono::seconds(10));
        if (r.kind == ChildProcess::Read::Kind::Data)
            readerself::writeOut(buffer, r.size);
        TerminateProcess(GetCurrentProcess(), 0);
    } else if (mode == "eat") {
        std::size_t megabytes = 0;
        while (megabytes < 4096) {
            char *block = static_cast<char *>(VirtualAlloc(nullptr, 16u << 20, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
            if (!block)
                break;
            for (std::size_t i = 0; i < (16u << 20); i += 4096)
                block[i] = 1;
            megabytes += 16;
        }
        const std::string got = std::to_string(megabytes) + "\n";
        readerself::writeOut(got.data(), got.size());
    } else {
        std::fprintf(stderr, "test_standin_reader: no orders\n");
        return 5;
    }
    return 0;
}
