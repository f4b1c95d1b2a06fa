#pragma once
#include "Result.h"

#include <QString>
#include <QStringList>

class QTextStream;

/// The statistics of one award kind printed without a window:
///   varkelchecker --report KIND [--preset NAME | --bands "14.0,21.0"] [--ft8]
///                 [--format text|csv|json] LOGBOOK
/// It runs the same statistics run as the award buttons, on a grid of its own.
namespace HeadlessReport {

enum class Format { Text, Csv, Json };

struct Options {
    QString kind;        ///< DXC WPX WAZ ITU WAC SQR QSO (upper case)
    QStringList headers; ///< the 20 band headers to count with
    bool ft8 = false;
    Format format = Format::Text;
    QString logbook;     ///< as given on the command line
    bool help = false;
};

/// True when the arguments ask for the report or its help; the program then
/// runs without a window (and needs no display).
bool wanted(int argc, char **argv);

/// The help text.
QString usage();

/// Reads the arguments that follow the program name.
Result<Options> parseArguments(const QStringList &arguments);

/// The logbook file a report argument stands for: a path as given, a bare name
/// in the program folder (".mdb" added when missing), else in the current folder.
QString resolveLogbook(const QString &argument, const QString &programFolder);

/// Runs the statistics and writes them to `out`; messages go to `err`.
/// Returns the exit status: 0 done, 1 a computation failed.
int run(const Options &options, const QString &programFolder, QTextStream &out, QTextStream &err);

/// The whole program in report mode (creates its own QCoreApplication).
int exec(int argc, char **argv);

} // namespace HeadlessReport
