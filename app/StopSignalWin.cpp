#include "app/StopSignal.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace {

void quitSoon()
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        // The handler runs on a thread of its own: the quit is queued to the event loop.
        quitSoon();
        return TRUE;
    default:
        return FALSE;
    }
}

// "taskkill /PID n" without /F, a service manager or another program's
// QProcess::terminate() ask a program without windows to end by posting
// WM_CLOSE to its main thread: that is a stop request too.
class CloseMessageFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->hwnd != nullptr || msg->message != WM_CLOSE)
            return false;
        quitSoon();
        return true;
    }
};

} // namespace

void quitOnStopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    static CloseMessageFilter filter;
    QCoreApplication::instance()->installNativeEventFilter(&filter);
}
