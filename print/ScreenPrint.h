#pragma once
#include <functional>

class Prompter;
class PrinterPort;
class QPrinter;
class QWidget;

namespace ScreenPrint {

/// Draws the window's picture on one landscape page, scaled to fill the page
/// with its proportions kept, at the printer's own resolution. False when the
/// printer could not start the page.
bool printLandscape(QWidget *window, QPrinter &printer);

/// The print command of a statistics window: asks first; on Yes `prepare`
/// (white background, command buttons hidden), the page, then `restore`.
/// Without a printer the operator is told so, and the window is restored.
void run(Prompter &prompter, PrinterPort &port, QWidget *window, const std::function<void()> &prepare, const std::function<void()> &restore);

} // namespace ScreenPrint
