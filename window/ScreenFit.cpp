#include "window/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

QRect available(const QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

namespace {

/// The largest client area a window may have.
QSize room(const QRect &area) { return (area.size() - FrameAllowance).expandedTo(QSize(1, 1)); }

/// Resizes `window` and moves it back inside `area` where it reaches out of it.
void place(QWidget *window, QSize size, const QRect &area)
{
    window->resize(size);
    // A window not yet shown is placed by the window manager, inside the area;
    // one on view is moved back inside where it reaches out of it.
    if (!window->isVisible())
        return;
    const QRect frame = window->frameGeometry();
    QPoint at = frame.topLeft();
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    if (at != frame.topLeft())
        window->move(at);
}

} // namespace

void resizeWithin(QWidget *window, QSize wanted)
{
    const QRect area = available(window);
    if (area.isEmpty()) {
        window->resize(wanted);
        return;
    }
    place(window, wanted.boundedTo(room(area)).expandedTo(window->minimumSize()), area);
}

void growWithin(QWidget *window, QSize wanted)
{
    const QRect area = available(window);
    const QSize size = window->size().expandedTo(area.isEmpty() ? wanted : wanted.boundedTo(room(area)));
    if (size != window->size())
        place(window, size, area);
}

bool fitsOnAScreen(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&frame](const QScreen *s) { return s->availableGeometry().contains(frame); });
}

} // namespace ScreenFit
