// Ctrl+C, Ctrl+Break and a closing console end the event loop. The console
// calls the handler on a thread of its own: it posts the quit to the loop.
#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace {

BOOL WINAPI onConsoleControl(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
        // A closing console ends the process when the handler returns: give the loop its moment.
        if (event == CTRL_CLOSE_EVENT || event == CTRL_SHUTDOWN_EVENT)
            Sleep(2000);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void quitOnTerminationSignals() { SetConsoleCtrlHandler(onConsoleControl, TRUE); }
