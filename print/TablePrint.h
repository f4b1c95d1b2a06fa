#pragma once
#include <QString>
#include <vector>

class QAbstractItemModel;
class QPrinter;

namespace TablePrint {

/// One table of a print job: its title, its rows, and how many of its first
/// columns the pages that carry on its further columns repeat.
struct Table {
    QString title;
    const QAbstractItemModel *model = nullptr;
    int keyColumns = 0;
};

/// Prints the tables one after the other, each from a new page, over as many
/// landscape pages as they need: every page starts with its table's title and
/// column titles; rows that do not fit go on to the next page, and columns
/// wider than a page on to further pages that repeat the key columns. Columns
/// are as wide as their contents, at most a third of the page; longer texts
/// are cut with "…". Cells keep their background colours, weights and
/// alignment; the pages are numbered over the whole job. False when the
/// printer could not start a page.
bool print(QPrinter &printer, const std::vector<Table> &tables);

/// A job of one table.
bool print(QPrinter &printer, const QString &title, const QAbstractItemModel &model, int keyColumns);

} // namespace TablePrint
