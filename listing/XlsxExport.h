#pragma once
#include "Result.h"

#include <QString>
#include <QStringList>
#include <functional>

/// Writes a listing as a spreadsheet file (.xlsx): the field names in row 1,
/// then one row per record, every value as text with one blank on each side.
/// `cell(row, column)` gives the text a record shows.
Status writeListingXlsx(const QString &path, const QStringList &fieldNames, qsizetype rowCount,
                        const std::function<QString(qsizetype, int)> &cell);

/// A sheet of free rows, written as they stand (for the statistics grid).
Status writeRowsXlsx(const QString &path, const QString &sheetName, const std::vector<QStringList> &rows);
