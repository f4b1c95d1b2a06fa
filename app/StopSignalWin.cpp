#include "StopSignal.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace {

BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        // The handler runs on a thread of its own: the quit is queued to the event loop.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void quitOnStopSignals() { SetConsoleCtrlHandler(onConsoleEvent, TRUE); }
