#pragma once
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>

/// The operator's own band sets: text files memo1.ini .. memo9.ini beside the
/// program, one band label per line.
namespace MemoFile {

/// Where memo file n (1..9) lies: the program folder, matched without regard
/// to case ("MEMO4.INI" serves too).
QString path(const QString &programFolder, int n);

/// The 20 header captions a memo file gives: lines starting with "#" and blank
/// lines are skipped, every other line gives its first five characters as they
/// stand; at most 20 bands, the rest of the positions empty. Text is read as
/// UTF-16 when it starts with a byte-order mark, else as UTF-8, or as the
/// Windows code page when it is not valid UTF-8; CR LF, LF and CR end lines.
/// Fails when the file cannot be read, is not a regular file (a FIFO or device
/// is never waited for) or holds control characters (not a text file).
Result<QStringList> read(const QString &filePath);

/// The message shown when a memo file cannot be loaded.
QString failureMessage();
QString failureTitle();

} // namespace MemoFile
