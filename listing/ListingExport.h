#pragma once
#include "LogState.h"
#include "Prompter.h"
#include "XlsxExport.h"

#include <QDate>
#include <QString>

class GridRecordset;

/// The export of the rows a listing shows (its menu entry "EXPORT TO EXCEL"):
/// asks, proposes a file name in `folder`, writes the rows in their shown
/// order, says so when the sheet could not hold them all, and opens the file.
/// `maxRows` is the number of records a sheet holds.
void exportListing(Prompter &prompter, const LogState &state, const GridRecordset &rows, const QString &folder, const QDate &date,
                   qsizetype maxRows = SheetDataRows);
