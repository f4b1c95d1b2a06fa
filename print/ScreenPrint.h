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

/// What every print command asks and tells: without a printer the operator
/// is told so and nothing else happens; otherwise asks first, and on Yes runs
/// `print` on the printer, telling when it could not print.
void confirmAndPrint(Prompter &prompter, PrinterPort &port, const std::function<bool(QPrinter &printer)> &print);

/// The print command of a statistics window: without a printer the operator
/// is told so and nothing else happens; otherwise asks first, and on Yes
/// `prepare` (white background, command buttons hidden), the page of
/// `window`, then `restore`.
void run(Prompter &prompter, PrinterPort &port, QWidget *window, const std::function<void()> &prepare,
         const std::function<void()> &restore);

} // namespace ScreenPrint
