#pragma once
#include "logbook/types/Result.h"
#include <QString>

/// How a logbook's file name becomes its LogName and display name, and where
/// the file that a name stands for is found.
namespace LogFileName {

/// LogName of a file picked in the dialog: the title up to its first ".",
/// upper-cased, cut to 8 characters, trimmed. Fails for a title without ".".
Result<QString> fromChosenTitle(const QString &fileTitle);

/// LogName of a command-line name: trimmed, otherwise as typed; a folder part
/// and a final ".mdb" are dropped.
QString fromCommandLine(const QString &argument);

/// The LogName without its last two characters (the "DT" of "*dt.mdb").
/// Fails when the name is shorter than two characters.
Result<QString> displayName(const QString &logName);

/// The file a command-line name stands for: a name without a folder lies in the
/// program folder; ".mdb" is added when missing; the name is matched without
/// regard to case when no file has exactly that name.
QString resolveCommandLine(const QString &argument, const QString &programFolder);

/// The path itself when its folder holds that very name, else a file of the
/// same folder whose name differs only in case (also where the file system
/// ignores case: the folder's own spelling), else the path unchanged.
QString matchCaseInsensitive(const QString &path);

} // namespace LogFileName
