#pragma once
// What reading a memo file does differently between systems
// (MemoFilePosix.cpp, MemoFileWin.cpp).
#include "logbook/types/Result.h"

#include <QByteArray>
#include <QString>

namespace MemoFile::platform {

/// At most `maxBytes` of a regular file. A FIFO, device or folder named like
/// a memo file is refused without waiting for it.
Result<QByteArray> readRegularFile(const QString &filePath, qint64 maxBytes);

/// Text in the Windows code page: on Windows the system's ANSI code page,
/// elsewhere Windows-1252, the code page of Western European Windows.
QString fromCodePage(const QByteArray &bytes);

} // namespace MemoFile::platform
