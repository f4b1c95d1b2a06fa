#pragma once
#include "ReportArguments.h"
#include "StatsMatrix.h"

class QTextStream;

namespace HeadlessReport {

/// Writes the grid of a finished run in the chosen format: the band lines
/// (shown bands only), the MIX, TOT and FULL lines and the QSO total.
void writeGrid(QTextStream &out, const Options &options, const QString &logbookPath, const StatsMatrix &matrix);

} // namespace HeadlessReport
