#include "app/WindowPlace.h"

#include "app/Settings.h"
#include "window/ScreenFit.h"

#include <QEvent>
#include <QWidget>

namespace WindowPlace {
namespace {

/// Remembers the place of the window it watches when that is hidden.
class Keeper : public QObject {
public:
    explicit Keeper(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A spontaneous hide is the window system's (minimized, another desktop).
        if (watched == m_window && event->type() == QEvent::Hide && !event->spontaneous())
            remember();
        return false;
    }

private:
    void remember() const
    {
        if (m_window->isMinimized())
            return;
        Settings settings;
        const QString key = m_window->objectName();
        Settings::WindowPlace place;
        if (m_window->isMaximized()) {
            // The place it had before is the one to come back to.
            place = settings.windowPlace(key).value_or(Settings::WindowPlace{m_window->normalGeometry(), m_window->normalGeometry()});
            place.maximized = true;
        } else {
            place = {m_window->frameGeometry(), m_window->geometry(), false};
        }
        settings.setWindowPlace(key, place);
    }

    QWidget *m_window;
};

} // namespace

void follow(QWidget *window)
{
    const std::optional<Settings::WindowPlace> place = Settings().windowPlace(window->objectName());
    if (place && ScreenFit::fitsOnAScreen(place->frame)) {
        // The client area where it was: a window manager places a window
        // asked for its frame's position by rules of its own.
        window->setGeometry(place->client);
        if (place->maximized)
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
    }
    new Keeper(window);
}

} // namespace WindowPlace
