#include "tests/support/TestPlatform.h"

#include "logbook/MdbLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <windows.h>

namespace testplatform {
namespace {

constexpr std::int64_t From1601To1970 = 116444736000000000LL; // in 100 ns steps

HANDLE openForTimes(const QString &path, DWORD access)
{
    return CreateFileW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()), access,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

} // namespace

std::int64_t modifiedNs(const QString &path)
{
    const HANDLE h = openForTimes(path, FILE_READ_ATTRIBUTES);
    FILETIME written{};
    if (h != INVALID_HANDLE_VALUE) {
        GetFileTime(h, nullptr, nullptr, &written);
        CloseHandle(h);
    }
    const std::int64_t ticks = std::int64_t(std::uint64_t(written.dwHighDateTime) << 32 | written.dwLowDateTime);
    return (ticks - From1601To1970) * 100;
}

bool setModifiedNs(const QString &path, std::int64_t ns)
{
    const HANDLE h = openForTimes(path, FILE_WRITE_ATTRIBUTES);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const std::uint64_t ticks = std::uint64_t(ns / 100 + From1601To1970);
    const FILETIME when{DWORD(ticks & 0xffffffffu), DWORD(ticks >> 32)};
    const bool ok = SetFileTime(h, nullptr, nullptr, &when);
    CloseHandle(h);
    return ok;
}

QString fakeReader(const QString &folder, const QString &name, const QByteArray &, const QStringList &standIn)
{
    // The stand-in is linked statically, so that its copy runs away from the build's DLLs.
    const QString program = QFileInfo(mdbReaderProgram()).dir().filePath(QStringLiteral("test_standin_reader.exe"));
    const QString path = QDir(folder).filePath(name + QStringLiteral(".exe"));
    QFile::remove(path);
    if (!QFile::copy(program, path))
        return path;
    QFile orders(QDir(folder).filePath(name + QStringLiteral(".txt")));
    if (orders.open(QIODevice::WriteOnly))
        orders.write(standIn.join(QLatin1Char('\n')).toUtf8() + '\n');
    return path;
}

} // namespace testplatform
