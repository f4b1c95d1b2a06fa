#include "GridExport.h"
#include "XlsxExport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <map>

namespace {

QByteArray unzipEntry(const QString &file, const QString &entry)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, entry});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

/// Cells of the first sheet as (row, column) -> text; rows and columns from 1.
std::map<std::pair<int, int>, QString> readSheet(const QString &file)
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

} // namespace

TEST(XlsxExport, SheetHoldsFieldNamesThenPaddedValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("list.xlsx");
    const QStringList fields = {"DXC", "First_CALL", "QSL_RX"};
    const std::vector<QStringList> rows = {{"I", "I1ABC", "Y"}, {"DL", "DL2XYZ", ""}, {"Città", "Москва", "N"}};
    ASSERT_TRUE(writeListingXlsx(file, fields, qsizetype(rows.size()), [&](qsizetype r, int c) { return rows[size_t(r)][c]; }).ok());
    const auto cells = readSheet(file);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(cells.at({1, c + 1}), fields[c]);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(cells.at({r + 2, c + 1}), " " + rows[size_t(r)][c] + " ") << r << "," << c;
    }
    EXPECT_EQ(cells.size(), 12u);
}

TEST(XlsxExport, EmptyListingWritesTheHeaderRowAlone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("empty.xlsx");
    ASSERT_TRUE(writeListingXlsx(file, {"A", "B"}, 0, [](qsizetype, int) { return QString(); }).ok());
    const auto cells = readSheet(file);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells.at({1, 1}), "A");
}

TEST(XlsxExport, UnwritableFolderIsReported)
{
    EXPECT_FALSE(writeListingXlsx("/nonexistent-folder/x.xlsx", {"A"}, 0, [](qsizetype, int) { return QString(); }).ok());
}

TEST(XlsxExport, StatisticsGridRowForRow)
{
    StatsMatrix matrix;
    matrix.setModo("DXC");
    for (int c = 0; c < 20; ++c)
        for (int r = 0; r < 16; ++r)
            matrix.setCell(c, r, c == 3 ? QStringLiteral("-") : QString::number(c * 100 + r));
    matrix.setCaption(StatsMatrix::Line::Mix, 2, "77");
    const std::vector<QStringList> rows = statsGridRows(matrix, "VARKEL", "FT8");
    ASSERT_EQ(rows.size(), 3u + 20u + 3u);
    QTemporaryDir dir;
    const QString file = dir.filePath("grid.xlsx");
    ASSERT_TRUE(writeRowsXlsx(file, "DXC", rows).ok());
    const auto cells = readSheet(file);
    EXPECT_EQ(cells.at({1, 2}), "LogBook: VARKEL");
    EXPECT_EQ(cells.at({3, 4}), "FT8");
    EXPECT_EQ(cells.at({2, 2}), "WORKED");
    for (int c = 0; c < 20; ++c) {
        EXPECT_EQ(cells.at({4 + c, 1}), matrix.header(c));
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(cells.at({4 + c, 2 + r}), matrix.cell(c, r)) << c << "," << r;
    }
    EXPECT_EQ(cells.at({24, 1}), "MIX");
    EXPECT_EQ(cells.at({24, 4}), "77");
    EXPECT_EQ(cells.at({25, 2}), "-");
    EXPECT_EQ(cells.at({26, 1}), "FULL");
}
