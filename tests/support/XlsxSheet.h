#pragma once
// Reading back a written .xlsx file: its first sheet, cell by cell. The zip
// container is read here with zlib, the same way on every system.
#include <QFile>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <utility>
#include <zlib.h>

namespace xlsxsheet {

inline quint32 le(const QByteArray &b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | quint8(b[at + i]);
    return v;
}

} // namespace xlsxsheet

/// The bytes of one entry of a zip file, found through its central directory
/// (stored or deflated); empty when there is no such entry.
inline QByteArray unzipEntry(const QString &file, const QString &entry)
{
    using xlsxsheet::le;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray zip = f.readAll();
    // The end of central directory record: "PK\5\6", at most 64 KB of comment after it.
    qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return {};
    const quint32 entries = le(zip, end + 10, 2);
    qsizetype at = qsizetype(le(zip, end + 16, 4));
    const QByteArray wanted = entry.toUtf8();
    for (quint32 n = 0; n < entries && at + 46 <= zip.size(); ++n) {
        if (le(zip, at, 4) != 0x02014b50)
            return {};
        const quint32 method = le(zip, at + 10, 2);
        const quint32 packed = le(zip, at + 20, 4);
        const quint32 size = le(zip, at + 24, 4);
        const quint32 nameLength = le(zip, at + 28, 2);
        const quint32 extra = le(zip, at + 30, 2);
        const quint32 comment = le(zip, at + 32, 2);
        const qsizetype local = qsizetype(le(zip, at + 42, 4));
        if (zip.mid(at + 46, nameLength) == wanted) {
            if (local + 30 > zip.size())
                return {};
            const qsizetype data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
            const QByteArray stored = zip.mid(data, packed);
            if (method == 0)
                return stored;
            if (method != 8)
                return {};
            QByteArray out(qsizetype(size), '\0');
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
                return {};
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stored.constData()));
            z.avail_in = uInt(stored.size());
            z.next_out = reinterpret_cast<Bytef *>(out.data());
            z.avail_out = uInt(out.size());
            const int rc = inflate(&z, Z_FINISH);
            inflateEnd(&z);
            return rc == Z_STREAM_END ? out : QByteArray();
        }
        at += 46 + nameLength + extra + comment;
    }
    return {};
}

/// Cells of the first sheet as (row, column) -> text; rows and columns from 1.
inline std::map<std::pair<int, int>, QString> readSheet(const QString &file)
{
    QStringList shared;
    QXmlStreamReader ss(unzipEntry(file, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd()) {
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == QLatin1String("t"))
            shared << ss.readElementText();
    }
    std::map<std::pair<int, int>, QString> cells;
    QXmlStreamReader xml(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    QString ref, type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("c")) {
            ref = xml.attributes().value("r").toString();
            type = xml.attributes().value("t").toString();
        } else if (xml.name() == QLatin1String("v") || xml.name() == QLatin1String("t")) {
            const QString v = xml.readElementText();
            int col = 0, i = 0;
            while (i < ref.size() && ref[i].isLetter())
                col = col * 26 + (ref[i++].unicode() - 'A' + 1);
            const int row = ref.mid(i).toInt();
            cells[{row, col}] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
        }
    }
    return cells;
}

/// The solid fills of the first sheet's cells as (row, column) -> "RRGGBB";
/// rows and columns from 1. Cells without a fill are left out.
inline std::map<std::pair<int, int>, QString> readSheetFills(const QString &file)
{
    // styles.xml: the fills, then the cell formats (xf) naming a fill each.
    QStringList fills, formatFill;
    QXmlStreamReader st(unzipEntry(file, QStringLiteral("xl/styles.xml")));
    bool inFills = false, inCellXfs = false;
    while (!st.atEnd()) {
        st.readNext();
        if (st.isEndElement()) {
            if (st.name() == QLatin1String("fills"))
                inFills = false;
            if (st.name() == QLatin1String("cellXfs"))
                inCellXfs = false;
            continue;
        }
        if (!st.isStartElement())
            continue;
        if (st.name() == QLatin1String("fills"))
            inFills = true;
        else if (st.name() == QLatin1String("cellXfs"))
            inCellXfs = true;
        else if (inFills && st.name() == QLatin1String("fill"))
            fills << QString();
        else if (inFills && st.name() == QLatin1String("fgColor") && !fills.isEmpty())
            fills.last() = st.attributes().value("rgb").toString().right(6).toUpper();
        else if (inCellXfs && st.name() == QLatin1String("xf"))
            formatFill << fills.value(st.attributes().value("fillId").toInt());
    }
    std::map<std::pair<int, int>, QString> cells;
    QXmlStreamReader xml(unzipEntry(file, QStringLiteral("xl/worksheets/sheet1.xml")));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("c"))
            continue;
        const QString ref = xml.attributes().value("r").toString();
        const QString fill = formatFill.value(xml.attributes().value("s").toInt());
        if (fill.isEmpty())
            continue;
        int col = 0, i = 0;
        while (i < ref.size() && ref[i].isLetter())
            col = col * 26 + (ref[i++].unicode() - 'A' + 1);
        cells[{ref.mid(i).toInt(), col}] = fill;
    }
    return cells;
}
