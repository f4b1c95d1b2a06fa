#pragma once
#include "Result.h"

#include <QString>
#include <QStringList>
#include <functional>

/// The rows one spreadsheet sheet holds, its header row included.
constexpr qsizetype SheetRows = 1048576;
/// The records a listing's sheet holds after its row of field names.
constexpr qsizetype SheetDataRows = SheetRows - 1;

/// Both writers write a temporary file beside `path` and put it in the place of
/// `path` only when all of it was written: a failure leaves an existing file as
/// it was and no temporary file behind.

/// Writes a listing as a spreadsheet file (.xlsx): the field names in row 1,
/// then one row per record, every value as text with one blank on each side.
/// `cell(row, column)` gives the text a record shows. Writes at most `maxRows`
/// records and returns how many it wrote.
Result<qsizetype> writeListingXlsx(const QString &path, const QStringList &fieldNames, qsizetype rowCount,
                                   const std::function<QString(qsizetype, int)> &cell, qsizetype maxRows = SheetDataRows);

/// A sheet of free rows, written as they stand (for the statistics grid).
Status writeRowsXlsx(const QString &path, const QString &sheetName, const std::vector<QStringList> &rows);
