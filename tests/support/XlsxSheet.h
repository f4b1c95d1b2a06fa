#pragma once
// Reading back a written .xlsx file: its first sheet, cell by cell.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <utility>

inline QByteArray unzipEntry(const QString &file, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, entry});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
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
