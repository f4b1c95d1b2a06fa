// The fingerprint of a logbook file on Windows: the file opened for reading
// and shared for reading, writing and deleting, GetFileInformationByHandle
// for volume, file index, size and times, and the change time of
// FILE_BASIC_INFO where the file system keeps one.
#include "logbook/mdb/LogFingerprint.h"

#include "logbook/mdb/WinFiles.h"

#include <QCryptographicHash>

namespace {

constexpr int PageBytes = 4096;

std::uint64_t ticks(const FILETIME &t) { return std::uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime; }

} // namespace

std::optional<LogFingerprint> LogFingerprint::of(const QString &path)
{
    const winfiles::Handle file = winfiles::openShared(path.toStdString());
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !winfiles::isRegularFile(file.get()) || !GetFileInformationByHandle(file.get(), &info))
        return std::nullopt;
    char page[PageBytes];
    const std::int64_t got = winfiles::readAt(file.get(), page, sizeof page, 0);
    if (got < 0)
        return std::nullopt;
    LogFingerprint f;
    f.device = info.dwVolumeSerialNumber;
    f.inode = std::uint64_t(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
    f.size = std::int64_t(std::uint64_t(info.nFileSizeHigh) << 32 | info.nFileSizeLow);
    f.modifiedNs = winfiles::unixNs(ticks(info.ftLastWriteTime));
    // The change time moves with every change, also one that sets the
    // modification time back; file systems without one give the creation time.
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) && basic.ChangeTime.QuadPart > 0)
        f.changedNs = winfiles::unixNs(std::uint64_t(basic.ChangeTime.QuadPart));
    else
        f.changedNs = winfiles::unixNs(ticks(info.ftCreationTime));
    f.firstPage = QCryptographicHash::hash(QByteArrayView(page, got), QCryptographicHash::Sha1);
    return f;
}

Result<QByteArray> LogFingerprint::readHead(const QString &path, qint64 bytes, qint64 &size)
{
    const winfiles::Handle file = winfiles::openShared(path.toStdString());
    if (!file)
        return Result<QByteArray>::failure(QString::fromStdString(winfiles::errorText(GetLastError())));
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.get(), &length))
        return Result<QByteArray>::failure(QString::fromStdString(winfiles::errorText(GetLastError())));
    size = length.QuadPart;
    QByteArray head(qsizetype(std::max<qint64>(bytes, 0)), '\0');
    const std::int64_t got = winfiles::readAt(file.get(), head.data(), std::uint32_t(head.size()), 0);
    if (got < 0)
        return Result<QByteArray>::failure(QString::fromStdString(winfiles::errorText(GetLastError())));
    head.truncate(qsizetype(got));
    return head;
}

QByteArray LogFingerprint::contentHash(const QString &path)
{
    const winfiles::Handle file = winfiles::openShared(path.toStdString());
    if (!file)
        return {};
    return ContentDigest::ofPieces([&file](char *buffer, std::size_t size) -> std::int64_t {
        DWORD got = 0;
        return ReadFile(file.get(), buffer, DWORD(size), &got, nullptr) ? std::int64_t(got) : -1;
    });
}

std::int64_t LogFingerprint::nowNs()
{
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    return winfiles::unixNs(ticks(now));
}
