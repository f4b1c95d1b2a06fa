#pragma once

class QWidget;

namespace OwnedWindow {

/// Makes `window` a window of `owner`'s (of the window `owner` lies in): a
/// dialog-type window whose transient parent is the owner's, so that the
/// window manager keeps it above its owner, moves it with it and never lets a
/// click on the owner hide it. The window's other flags (buttons of its title
/// bar) stay. Every dialog and child window of the program is attached so.
void attach(QWidget *window, QWidget *owner);

} // namespace OwnedWindow
