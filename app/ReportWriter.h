#pragma once
#include "app/ReportArguments.h"
#include "stats/NeededLists.h"
#include "stats/StatsMatrix.h"

class QTextStream;

namespace HeadlessReport {

/// A field of a csv line, quoted when it holds a comma, a quote or a line break.
QString csvField(const QString &text);

/// Writes the grid of a finished run in the chosen format: the band lines
/// (shown bands only), the MIX, TOT and FULL lines and the QSO total. With
/// a `read` time (a logbook watched) a text or csv report follows a line with
/// it, and a json report is one line with the field "read".
void writeGrid(QTextStream &out, const Options &options, const QString &logbookPath, const StatsMatrix &matrix,
               const QString &read = QString());

/// Writes the chase lists (--needed) in the chosen format: per band and mode
/// class the QSL chase (entities and their contacts, newest first), then the
/// band-slot chase; in ADIF every contact of the QSL chase, once.
void writeNeeded(QTextStream &out, const Options &options, const QString &logbookPath, const LogSnapshot &log, const Needed::Report &report,
                 const QString &read = QString());

} // namespace HeadlessReport
