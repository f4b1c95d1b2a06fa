#pragma once
#include <QString>
#include <functional>

class QHBoxLayout;
class QLabel;
class QMenuBar;
class QWidget;

/// What the listing, NEEDED and MATRIX windows share above their tables: a
/// menu bar with EXPORT TO EXCEL and EXPORT ADIF, and a bold title line with
/// the PRT button at its right.
namespace WindowMenu {

/// A menu entry: the object name the tests find it by, its tool tip ("" for
/// none) and what it does.
struct Entry {
    QString objectName, toolTip;
    std::function<void()> triggered;
};

/// The menu bar of `window` with EXPORT TO EXCEL and EXPORT ADIF.
QMenuBar *exports(QWidget *window, const Entry &excel, const Entry &adif);

/// `title` (LblTitolo) bold and wrapping, with the PRT button (CmdPrt) that
/// does `print` beside it.
QHBoxLayout *titleWithPrint(QLabel *title, const QString &printToolTip, std::function<void()> print);

} // namespace WindowMenu
