#include "window/OwnedWindow.h"

#include <QWidget>
#include <QWindow>

namespace OwnedWindow {

void attach(QWidget *window, QWidget *owner)
{
    QWidget *top = owner ? owner->window() : nullptr;
    // X11 window managers are told the owner (WM_TRANSIENT_FOR) only for
    // dialog-type windows: a plain Qt::Window with a parent is not.
    const Qt::WindowFlags hints = window->windowFlags() & ~Qt::WindowType_Mask;
    if (window->parentWidget() != top || window->windowType() != Qt::Dialog)
        window->setParent(top, hints | Qt::Dialog);
    if (!top)
        return;
    // Both native windows exist from here on, so the owner is known before the
    // first show, whatever order the windows are shown in.
    top->winId();
    window->winId();
    if (window->windowHandle()->transientParent() != top->windowHandle())
        window->windowHandle()->setTransientParent(top->windowHandle());
}

} // namespace OwnedWindow
