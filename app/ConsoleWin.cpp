#include "app/Console.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

bool leadsNowhere(DWORD which)
{
    const HANDLE h = GetStdHandle(which);
    return h == nullptr || h == INVALID_HANDLE_VALUE;
}

} // namespace

void prepareReportConsole()
{
    const bool out = leadsNowhere(STD_OUTPUT_HANDLE);
    const bool err = leadsNowhere(STD_ERROR_HANDLE);
    if ((out || err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (out)
            std::freopen("CONOUT$", "w", stdout);
        if (err)
            std::freopen("CONOUT$", "w", stderr);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
