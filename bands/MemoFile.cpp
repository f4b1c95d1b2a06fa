#include "bands/MemoFile.h"

#include "bands/MemoFilePlatform.h"
#include "logbook/LogFileName.h"

#include <QDir>
#include <QStringDecoder>

namespace MemoFile {
namespace {

constexpr int MaxBands = 20;
constexpr int LabelLength = 5;
// Twenty band lines never need more; a huge file is not read whole.
constexpr qint64 MaxReadBytes = 1 << 20;

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
    return platform::fromCodePage(bytes);
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

} // namespace

QString path(const QString &programFolder, int n)
{
    return LogFileName::matchCaseInsensitive(QDir(programFolder).filePath(QStringLiteral("memo%1.ini").arg(n)));
}

Result<QStringList> read(const QString &filePath)
{
    const Result<QByteArray> bytes = platform::readRegularFile(filePath, MaxReadBytes);
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
    return QStringList{QStringLiteral("ATTENTION:"),
                       QStringLiteral("It is had to create in the same path of VARKELchecker"),
                       QStringLiteral("the text files with name"),
                       QStringLiteral("MEMO1.INI - MENO2.INI - MEMO3.INI ... MEMO9.INI"),
                       QStringLiteral("containing line for line at the most"),
                       QStringLiteral("20 gang to choice from your logbook.")}
        .join(QStringLiteral("\r\n"));
}

QString failureTitle() { return QStringLiteral("VarkelChecker - LOAD MEMO1...9"); }

} // namespace MemoFile
