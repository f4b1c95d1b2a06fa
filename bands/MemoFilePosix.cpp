// Memo files on POSIX systems: opened without blocking and checked with fstat;
// texts in Windows-1252.
#include "bands/MemoFilePlatform.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace MemoFile::platform {
namespace {

/// Windows-1252 characters of the bytes 0x80..0x9F; the other bytes are Latin-1.
const char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

Result<QByteArray> readRegularFile(const QString &filePath, qint64 maxBytes)
{
    const int fd = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Result<QByteArray>::failure(QStringLiteral("cannot open %1").arg(filePath));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Result<QByteArray>::failure(QStringLiteral("%1 is not a regular file").arg(filePath));
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Result<QByteArray>::failure(file.errorString());
    }
    return file.read(maxBytes);
}

QString fromCodePage(const QByteArray &bytes)
{
    QString cp;
    cp.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        cp += (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return cp;
}

} // namespace MemoFile::platform
