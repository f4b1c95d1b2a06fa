#pragma once
#include "app/ReportArguments.h"
#include "stats/MatrixReport.h"

class QTextStream;

namespace HeadlessReport {

/// Writes the award matrix (--matrix) in the chosen format: a line per
/// entity with its cell per band (C, W or nothing) and its bands worked and
/// confirmed, the bands' WORKED and CONFIRMED totals, and for DXC the
/// entities' names and continents and the DXCC figures.
void writeMatrix(QTextStream &out, const Options &options, const QString &logbookPath, const MatrixReport::Report &report);

} // namespace HeadlessReport
