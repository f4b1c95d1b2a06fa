#pragma once

class QWidget;

/// The windows open where the operator left them.
namespace WindowPlace {

/// Puts `window` (not yet shown) where the window of its object name stood
/// when one was last hidden, as large as it was and maximized if it was,
/// where that place lies wholly on one of the current screens; elsewhere it
/// keeps the place and size it has. From now on its place is remembered
/// each time it is hidden (closed), unless minimized (Settings).
void follow(QWidget *window);

} // namespace WindowPlace
