#pragma once
#include "app/ReportArguments.h"

#include <QString>

class QTextStream;

/// The statistics of one award kind printed without a window. It runs the
/// same statistics run as the award buttons, on a grid of its own.
namespace HeadlessReport {

/// The logbook file a report argument stands for: a path as given, a bare name
/// in the program folder (".mdb" added when missing), else in the current folder.
QString resolveLogbook(const QString &argument, const QString &programFolder);

/// Runs the statistics and writes them to `out`; messages go to `err`.
/// Returns the exit status: 0 done, 1 a computation failed. With --watch it
/// goes on reporting, in the event loop of the running QCoreApplication, until
/// the program is asked to stop (StopSignal.h), and returns 0.
int run(const Options &options, const QString &programFolder, QTextStream &out, QTextStream &err);

/// The whole program in report mode (creates its own QCoreApplication).
int exec(int argc, char **argv);

} // namespace HeadlessReport
