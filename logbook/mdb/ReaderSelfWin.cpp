// varkel-reader's process on Windows: UTF-16 arguments, binary output, and a
// crash that ends the process at once with its exception code.
#include "logbook/mdb/ReaderSelf.h"

#include "logbook/mdb/WinFiles.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

namespace readerself {
namespace {

LONG WINAPI endWithCode(EXCEPTION_POINTERS *exception)
{
    // No error report, no dialog, no debugger: the program reads the code.
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

void endAborted(int)
{
    // As abort() of the universal C runtime ends (a fail-fast exception),
    // rather than msvcrt's exit status 3 after a message of its own.
    TerminateProcess(GetCurrentProcess(), 0xC0000409); // STATUS_STACK_BUFFER_OVERRUN
}

} // namespace

std::vector<std::string> arguments(int, char **)
{
    std::vector<std::string> out;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return out;
    for (int i = 1; i < count; ++i)
        out.push_back(winfiles::utf8(wide[i]));
    LocalFree(wide);
    return out;
}

void confine(long)
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endWithCode);
    std::signal(SIGABRT, endAborted);
    _setmode(_fileno(stdout), _O_BINARY);
}

bool writeOut(const char *data, std::size_t size)
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    while (size > 0) {
        DWORD wrote = 0;
        if (!WriteFile(out, data, DWORD(std::min<std::size_t>(size, 1u << 20)), &wrote, nullptr) || wrote == 0)
            return false;
        data += wrote;
        size -= wrote;
    }
    return true;
}

} // namespace readerself
