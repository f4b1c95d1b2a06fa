#pragma once
#include "listing/XlsxExport.h"

class QAbstractItemModel;

/// The spreadsheet of a table as it is shown: `title` in the first row, the
/// column titles in the second, then every row in its order with the texts,
/// fills and weights it shows; numbers go in as numbers.
std::vector<std::vector<SheetCell>> shownSheet(const QString &title, const QAbstractItemModel &shown);
