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

namespace xlsxsheet {

/// "B12" -> (12, 2).
inline std::pair<int, int> cellAt(const QString &ref)
{
    int col = 0, i = 0;
    while (i < ref.size() && ref[i].isLetter())
        col = col * 26 + (ref[i++].unicode() - 'A' + 1);
    return {ref.mid(i).toInt(), col};
}

inline QString sheetEntry(int sheet) { return QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet); }

} // namespace xlsxsheet

/// The names of a workbook's sheets, in their order.
inline QStringList sheetNames(const QString &file)
{
    QStringList names;
    QXmlStreamReader xml(unzipEntry(file, QStringLiteral("xl/workbook.xml")));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("sheet"))
            names << xml.attributes().value("name").toString();
    }
    return names;
}

/// Cells of sheet `sheet` (the first is 1) as (row, column) -> text; rows and columns from 1.
inline std::map<std::pair<int, int>, QString> readSheet(const QString &file, int sheet = 1)
{
    QStringList shared;
    QXmlStreamReader ss(unzipEntry(file, QStringLiteral("xl/sharedStrings.xml")));
    while (!ss.atEnd()) {
        if (ss.readNext() == QXmlStreamReader::StartElement && ss.name() == QLatin1String("t"))
            shared << ss.readElementText();
    }
    std::map<std::pair<int, int>, QString> cells;
    QXmlStreamReader xml(unzipEntry(file, xlsxsheet::sheetEntry(sheet)));
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
            cells[xlsxsheet::cellAt(ref)] = type == QLatin1String("s") ? shared.value(v.toInt()) : v;
        }
    }
    return cells;
}

/// What a cell's format gives it: a solid fill and a text colour, "RRGGBB"
/// each or empty, and the weight.
struct CellStyle {
    QString fill;
    QString colour;
    bool bold = false;
};

/// The styles of the cells of sheet `sheet` that have a format, as
/// (row, column) -> style; rows and columns from 1.
inline std::map<std::pair<int, int>, CellStyle> readSheetStyles(const QString &file, int sheet = 1)
{
    // styles.xml: the fonts and fills, then the cell formats (xf) naming one of each.
    QStringList fills;
    std::vector<CellStyle> fonts, formats;
    QXmlStreamReader st(unzipEntry(file, QStringLiteral("xl/styles.xml")));
    QString in;
    const auto rgb = [&] { return st.attributes().value("rgb").toString().right(6).toUpper(); };
    while (!st.atEnd()) {
        st.readNext();
        if (st.isEndElement() &&
            (st.name() == QLatin1String("fonts") || st.name() == QLatin1String("fills") || st.name() == QLatin1String("cellXfs")))
            in.clear();
        if (!st.isStartElement())
            continue;
        const auto name = st.name();
        if (name == QLatin1String("fonts") || name == QLatin1String("fills") || name == QLatin1String("cellXfs"))
            in = name.toString();
        else if (in == QLatin1String("fonts") && name == QLatin1String("font"))
            fonts.emplace_back();
        else if (in == QLatin1String("fonts") && name == QLatin1String("b") && !fonts.empty())
            fonts.back().bold = true;
        else if (in == QLatin1String("fonts") && name == QLatin1String("color") && !fonts.empty())
            fonts.back().colour = rgb();
        else if (in == QLatin1String("fills") && name == QLatin1String("fill"))
            fills << QString();
        else if (in == QLatin1String("fills") && name == QLatin1String("fgColor") && !fills.isEmpty())
            fills.last() = rgb();
        else if (in == QLatin1String("cellXfs") && name == QLatin1String("xf")) {
            const size_t font = st.attributes().value("fontId").toUInt();
            CellStyle style = font < fonts.size() ? fonts[font] : CellStyle();
            style.fill = fills.value(st.attributes().value("fillId").toInt());
            formats.push_back(style);
        }
    }
    std::map<std::pair<int, int>, CellStyle> cells;
    QXmlStreamReader xml(unzipEntry(file, xlsxsheet::sheetEntry(sheet)));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("c") || !xml.attributes().hasAttribute("s"))
            continue;
        const size_t format = xml.attributes().value("s").toUInt();
        if (format < formats.size())
            cells[xlsxsheet::cellAt(xml.attributes().value("r").toString())] = formats[format];
    }
    return cells;
}

/// The solid fills of the first sheet's cells as (row, column) -> "RRGGBB";
/// rows and columns from 1. Cells without a fill are left out.
inline std::map<std::pair<int, int>, QString> readSheetFills(const QString &file)
{
    std::map<std::pair<int, int>, QString> cells;
    for (const auto &[at, style] : readSheetStyles(file)) {
        if (!style.fill.isEmpty())
            cells[at] = style.fill;
    }
    return cells;
}
