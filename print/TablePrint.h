#pragma once
#include <QString>

class QAbstractItemModel;
class QPrinter;

namespace TablePrint {

/// Prints a table over as many landscape pages as it needs: every page
/// starts with `title` and the column titles; rows that do not fit go on to
/// the next page, and columns wider than a page on to further pages that
/// repeat the first `keyColumns` columns. Cells keep their background
/// colours, fonts and alignment. False when the printer could not start a page.
bool print(QPrinter &printer, const QString &title, const QAbstractItemModel &model, int keyColumns);

} // namespace TablePrint
