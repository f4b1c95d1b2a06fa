#include "listing/FileBeside.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <filesystem>

namespace {

/// A path from its UTF-8 form: the bytes themselves on POSIX systems, UTF-16 on Windows.
std::filesystem::path nativePath(const QString &path)
{
    const QByteArray utf8 = path.toUtf8();
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t *>(utf8.constData()), std::size_t(utf8.size())));
}

} // namespace

FileBeside::FileBeside(const QString &target) : m_target(target)
{
    const QFileInfo info(target);
    do {
        m_temp = info.dir().filePath(
            QStringLiteral("%1.%2.tmp").arg(info.fileName()).arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    } while (QFileInfo::exists(m_temp));
}

FileBeside::~FileBeside()
{
    if (!m_committed)
        QFile::remove(m_temp);
}

Status FileBeside::commit()
{
    if (QFileInfo::exists(m_target))
        QFile::setPermissions(m_temp, QFile::permissions(m_target));
    // Replaces an existing target in one step, on Windows too (MoveFileExW
    // with MOVEFILE_REPLACE_EXISTING).
    std::error_code error;
    std::filesystem::rename(nativePath(m_temp), nativePath(m_target), error);
    if (error)
        return Status::failure(QStringLiteral("cannot write %1: %2").arg(m_target, QString::fromLocal8Bit(error.message().c_str())));
    m_committed = true;
    return {};
}

Status writeFileBeside(const QString &path, const QByteArray &bytes)
{
    FileBeside file(path);
    QFile out(file.temp());
    if (!out.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("cannot create %1: %2").arg(path, out.errorString()));
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        const QString reason = out.errorString();
        out.close();
        return Status::failure(QStringLiteral("cannot write %1: %2").arg(path, reason));
    }
    out.close();
    if (out.error() != QFileDevice::NoError)
        return Status::failure(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    return file.commit();
}
