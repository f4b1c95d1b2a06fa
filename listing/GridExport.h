#pragma once
#include "StatsMatrix.h"

#include <QString>
#include <QStringList>
#include <vector>

/// The statistics grid as it stands, as rows of a spreadsheet: a heading with
/// the logbook and the award kind, the block and mode titles, one row per band
/// header, then the MIX, TOT and FULL lines.
std::vector<QStringList> statsGridRows(const StatsMatrix &matrix, const QString &logDisplayName, const QString &dataCaption);
