#include "logbook/LoadChecks.h"

#include "logbook/mdb/LogFingerprint.h"
#include "logbook/mdb/MdbReader.h"

#include <QFileInfo>

Status precheck(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Status::failure(QStringLiteral("file not found: %1").arg(path));
    if (!info.isFile())
        return Status::failure(QStringLiteral("not a file: %1").arg(path));
    qint64 size = 0;
    const Result<QByteArray> head = LogFingerprint::readHead(path, 20, size);
    if (!head)
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, head.error()));
    const std::string why = mdbreader::checkHeader(std::string_view(head->constData(), std::size_t(head->size())), std::uint64_t(size));
    if (!why.empty())
        return Status::failure(QStringLiteral("%1: %2").arg(QString::fromStdString(why), path));
    return {};
}

Status readFailure(const QString &path, const std::string &why)
{
    return Status::failure(QStringLiteral("cannot read the logbook %1: %2").arg(path, QString::fromStdString(why)));
}

mdbreader::StreamDecoder::Limits limitsFor(std::uint64_t fileSize)
{
    // A page holds at most about a thousand rows; the rows of a real logbook
    // take less room in the stream than in the file.
    return {fileSize / 2048 * 1024 + 1024, fileSize * 8 + (64u << 20)};
}
