#include "MemoFile.h"

#include "LogFileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace MemoFile {
namespace {

constexpr int MaxBands = 20;
constexpr int LabelLength = 5;
constexpr qint64 MaxReadBytes = 1 << 20;

/// Windows-1252 characters of the bytes 0x80..0x9F; the other bytes are Latin-1.
const char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

/// UTF-16 with a byte-order mark, UTF-8 (with or without one), else the
/// Windows code page.
QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QString cp;
    cp.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        cp += (b >= 0x80 && b < 0xA0) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return cp;
}

/// Text holds no control characters but tabs and line ends.
bool isText(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return false;
    }
    return true;
}

/// The first bytes of a regular file. A FIFO or a device named like a memo
/// file is refused without waiting for it.
Result<QByteArray> readRegularFile(const QString &filePath)
{
#ifdef Q_OS_UNIX
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
#else
    if (!QFileInfo(filePath).isFile())
        return Result<QByteArray>::failure(QStringLiteral("%1 is not a regular file").arg(filePath));
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QByteArray>::failure(file.errorString());
#endif
    // Twenty band lines never need more; a huge file is not read whole.
    return file.read(MaxReadBytes);
}

} // namespace

QString path(const QString &programFolder, int n)
{
    return LogFileName::matchCaseInsensitive(QDir(programFolder).filePath(QStringLiteral("memo%1.ini").arg(n)));
}

Result<QStringList> read(const QString &filePath)
{
    const Result<QByteArray> bytes = readRegularFile(filePath);
    if (!bytes)
        return Result<QStringList>::failure(bytes.error());
    QString text = decode(*bytes);
    if (!isText(text))
        return Result<QStringList>::failure(QStringLiteral("%1 is not a text file").arg(filePath));
    // CR LF, LF and a lone CR all end a line.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList headers(MaxBands);
    int position = 0;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (position == MaxBands)
            break;
        if (line.startsWith(QLatin1Char('#')) || line.trimmed().isEmpty())
            continue;
        headers[position++] = line.left(LabelLength);
    }
    return headers;
}

QString failureMessage()
{
    return QStringList{QStringLiteral("ATTENTION:"), QStringLiteral("It is had to create in the same path of VARKELchecker"),
                       QStringLiteral("the text files with name"), QStringLiteral("MEMO1.INI - MENO2.INI - MEMO3.INI ... MEMO9.INI"),
                       QStringLiteral("containing line for line at the most"), QStringLiteral("20 gang to choice from your logbook.")}
        .join(QStringLiteral("\r\n"));
}

QString failureTitle() { return QStringLiteral("VarkelChecker - LOAD MEMO1...9"); }

} // namespace MemoFile
