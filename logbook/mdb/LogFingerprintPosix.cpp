// The fingerprint of a logbook file on POSIX systems: fstat and pread.
#include "logbook/mdb/LogFingerprint.h"

#include <QCryptographicHash>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int PageBytes = 4096;

std::int64_t ns(const timespec &t) { return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }

} // namespace

std::optional<LogFingerprint> LogFingerprint::of(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    char page[PageBytes];
    ssize_t got = -1;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::pread(fd, page, sizeof page, 0);
    ::close(fd);
    if (got < 0)
        return std::nullopt;
    LogFingerprint f;
    f.device = std::uint64_t(st.st_dev);
    f.inode = std::uint64_t(st.st_ino);
    f.size = std::int64_t(st.st_size);
    f.modifiedNs = ns(st.st_mtim);
    f.changedNs = ns(st.st_ctim);
    f.firstPage = QCryptographicHash::hash(QByteArrayView(page, got), QCryptographicHash::Sha1);
    return f;
}

Result<QByteArray> LogFingerprint::readHead(const QString &path, qint64 bytes, qint64 &size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(file.errorString());
    size = file.size();
    return file.read(bytes);
}

QByteArray LogFingerprint::contentHash(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // Read, not mapped: a mapped file that its writer truncates meanwhile
    // would bring the program down.
    return ContentDigest::ofPieces([&file](char *buffer, std::size_t size) { return std::int64_t(file.read(buffer, qint64(size))); });
}

std::int64_t LogFingerprint::nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return ns(t);
}
