#pragma once
#include "listing/XlsxExport.h"
#include "stats/StatsMatrix.h"

#include <QString>
#include <functional>
#include <vector>

/// The statistics grid as it stands, as rows of a spreadsheet: a heading with
/// the logbook, the award kind and the QSO total, the block and mode titles,
/// one row per band header, then the MIX, TOT and FULL lines; counts go in as
/// numbers. The counts the window shows grey, counted before the last change
/// (`stale`, and the QSO total when `qsoTotalStale`), are grey here too, and a
/// row under the grid then carries the window's note.
std::vector<std::vector<SheetCell>> statsGridSheet(const StatsMatrix &matrix, const QString &logDisplayName, const QString &dataCaption,
                                                   const std::function<bool(StatsMatrix::Line line, int index)> &stale, bool qsoTotalStale);
