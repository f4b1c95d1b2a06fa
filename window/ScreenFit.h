#pragma once
#include <QRect>
#include <QSize>

class QWidget;

namespace ScreenFit {

/// Room a window frame takes beyond its client area (title bar and borders),
/// allowed for before the window manager has framed the window.
constexpr QSize FrameAllowance{16, 48};

/// The area windows may take on the screen `window` is on (the primary screen
/// before it is placed): the screen less its task bars and docks.
QRect available(const QWidget *window);

/// Resizes the top-level `window` to `wanted`, made smaller where its frame
/// would not fit the available area; a window on view is also moved back
/// inside the area.
void resizeWithin(QWidget *window, QSize wanted);

/// Makes the top-level `window` as large as `wanted` where the available area
/// has room for it, never smaller than it is.
void growWithin(QWidget *window, QSize wanted);

/// Whether the window frame `frame` (screen coordinates) lies wholly inside
/// the available area of one of the current screens.
bool fitsOnAScreen(const QRect &frame);

} // namespace ScreenFit
