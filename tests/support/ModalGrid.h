#pragma once
// Modal windows as the window suites meet them: an action opens one, the test
// looks at it while it is open, and it is closed again. For tests that link the
// listing windows (listing_ui); the rest of testsupport stays widget-free.
#include "listing/FrmTabella.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <functional>

/// Runs `action`, which may show a modal `Window`; `inspect` sees it while it is
/// open, and one it leaves open is closed. Returns false when none showed. The
/// window may come late (a grid's rows are read on their own thread), so it is
/// looked for until it shows; the timer lives only as long as this call, so a
/// window that never opens leaves nothing behind to fire later.
template<typename Window>
bool withModal(const std::function<void()> &action, const std::function<void(Window &)> &inspect)
{
    bool opened = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        Window *shown = qobject_cast<Window *>(QApplication::activeModalWidget());
        if (shown && shown->isVisible()) {
            timer.stop();
            opened = true;
            QPointer<Window> open = shown;
            inspect(*shown);
            if (open && open->isVisible())
                open->close();
        }
    });
    timer.start();
    action();
    return opened;
}

/// The result grid that `action` opens, seen by `inspect`; false when none opened.
inline bool withGrid(const std::function<void()> &action, const std::function<void(FrmTabella &)> &inspect)
{
    return withModal<FrmTabella>(action, inspect);
}
