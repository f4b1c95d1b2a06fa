#pragma once
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>

/// The command line of the headless report:
///   varkelchecker --report KIND [--preset NAME | --bands "14.0,21.0"] [--ft8]
///                 [--format text|csv|json] [--watch] LOGBOOK
/// or --needed KIND in place of --report for the chase lists, which also
/// take --format adif (the QSL chase's contacts as an ADIF file).
/// --matrix KIND [--class CW|PHONE|DATA|MIX] prints the award matrix.
namespace HeadlessReport {

enum class Format { Text, Csv, Json, Adif };

struct Options {
    AwardKind kind = AwardKind::Dxc;
    bool needed = false;                    ///< the chase lists of the kind (--needed) instead of its grid
    bool matrix = false;                    ///< the award matrix of the kind (--matrix) instead of its grid
    ModeClass matrixClass = ModeClass::All; ///< the mode class of the matrix (--class)
    QStringList headers;                    ///< the 20 band headers to count with
    bool ft8 = false;
    Format format = Format::Text;
    QString logbook;    ///< as given on the command line
    bool watch = false; ///< print again each time the logbook has changed (--watch)
    bool help = false;
};

/// True when the arguments hold an option of ours (any "--" word, or a
/// one-dash word naming one: "-report", "-h"): the program then runs without
/// a window (and needs no display), and refuses options it does not know.
/// Other one-dash words are left to the window toolkit (-style, -platform).
bool wanted(int argc, char **argv);

/// The window's command line (the logbook's name) from the arguments the
/// window toolkit has left; an option among them is refused.
Result<QString> windowCommandLine(const QStringList &arguments);

/// What a wrong command line prints on standard error: the reason, and
/// where to read more (the exit status is 2).
QString refusal(const QString &reason);

/// The help text.
QString usage();

/// Reads the arguments that follow the program name.
Result<Options> parseArguments(const QStringList &arguments);

} // namespace HeadlessReport
