#pragma once
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

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

/// A cell of a sheet with its fill, text colour and weight.
struct SheetCell {
    QString text;
    bool number = false;   ///< a whole number, written as a number
    bool filled = false;   ///< has the fill `fill`
    uint32_t fill = 0;     ///< 0xRRGGBB
    bool coloured = false; ///< its text has the colour `colour`
    uint32_t colour = 0;   ///< 0xRRGGBB
    bool bold = false;
    bool centred = false;
};

/// One sheet of a workbook: its cells row by row as they stand; the first
/// `frozenRows` rows and `frozenColumns` columns stay in view.
struct Sheet {
    QString name; ///< cut to 31 characters; empty for the default name
    std::vector<std::vector<SheetCell>> rows;
    int frozenRows = 0;
    int frozenColumns = 0;
};

/// A workbook of `sheets`, in their order (the statistics grid, the award
/// matrix, the NEEDED lists).
Status writeSheetsXlsx(const QString &path, const std::vector<Sheet> &sheets);
