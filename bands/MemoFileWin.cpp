// Memo files on Windows: a folder or device is refused by its type; texts in
// the system's ANSI code page, as Windows programs of the operator write them.
#include "bands/MemoFilePlatform.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace MemoFile::platform {

Result<QByteArray> readRegularFile(const QString &filePath, qint64 maxBytes)
{
    // Pipes and devices have names of their own (\\.\...) that never look like
    // a memo file beside the program; a folder does.
    if (!QFileInfo(filePath).isFile())
        return Result<QByteArray>::failure(QStringLiteral("%1 is not a regular file").arg(filePath));
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(file.errorString());
    return file.read(maxBytes);
}

QString fromCodePage(const QByteArray &bytes)
{
    QStringDecoder system(QStringDecoder::System);
    return system(bytes);
}

} // namespace MemoFile::platform
