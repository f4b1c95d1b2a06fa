#include "tests/support/XlsxSheet.h"

#include "listing/GridExport.h"
#include "listing/XlsxExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList entries(const QString &folder) { return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

SheetCell cell(const QString &text)
{
    SheetCell c;
    c.text = text;
    return c;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(XlsxExport, SheetHoldsFieldNamesThenPaddedValues)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("list.xlsx");
    const QStringList fields = {"DXC", "First_CALL", "QSL_RX"};
    const std::vector<QStringList> rows = {{"I", "I1ABC", "Y"}, {"DL", "DL2XYZ", ""}, {"Città", "Москва", "N"}};
    const Result<qsizetype> written =
        writeListingXlsx(file, fields, qsizetype(rows.size()), [&](qsizetype r, int c) { return rows[size_t(r)][c]; });
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, 3);
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
    const Result<qsizetype> written = writeListingXlsx("/nonexistent-folder/x.xlsx", {"A"}, 0, [](qsizetype, int) { return QString(); });
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.error().contains("/nonexistent-folder/x.xlsx")) << written.error().toStdString();
}

TEST(XlsxExport, AnOldFileIsReplacedWholeKeepingItsPermissions)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("list.xlsx");
    writeFile(file, "the export of yesterday");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(file);
    const Result<qsizetype> written = writeListingXlsx(file, {"A"}, 2, [](qsizetype r, int) { return QString::number(r); });
    ASSERT_TRUE(written.ok()) << written.error().toStdString();
    EXPECT_EQ(*written, 2);
    EXPECT_EQ(readSheet(file).at({3, 1}), " 1 ");
    EXPECT_EQ(QFile::permissions(file), permissions);
    EXPECT_EQ(entries(dir.path()), QStringList{"list.xlsx"});
    ASSERT_TRUE(writeSheetsXlsx(file, {{"DXC", {{cell("VarkelChecker")}, {cell("14.0"), cell("12")}}}}).ok());
    EXPECT_EQ(readSheet(file).at({2, 2}), "12");
    EXPECT_EQ(entries(dir.path()), QStringList{"list.xlsx"});
}

TEST(XlsxExport, AFailedWriteLeavesTheOldFileAndNoTemporaryFile)
{
    const QByteArray old = "the export of yesterday";
    // A value longer than a cell holds fails the write half way.
    const QString tooLong(40000, QLatin1Char('x'));
    const struct {
        const char *what;
        std::function<Status(const QString &)> write;
    } cases[] = {
        {"listing with a cell too long",
         [&](const QString &path) {
             const Result<qsizetype> r = writeListingXlsx(
                 path, {"A", "B"}, 100, [&](qsizetype row, int c) { return row == 60 && c == 1 ? tooLong : QStringLiteral("v"); });
             return r ? Status() : Status::failure(r.error());
         }},
        {"grid with a cell too long",
         [&](const QString &path) {
             return writeSheetsXlsx(path, {{"DXC", {{cell("VarkelChecker")}}}, {"SQR", {{cell("14.0"), cell(tooLong)}}}});
         }},
    };
    for (const auto &c : cases) {
        QTemporaryDir dir;
        const QString file = dir.filePath("list.xlsx");
        writeFile(file, old);
        EXPECT_FALSE(c.write(file).ok()) << c.what;
        EXPECT_EQ(contents(file), old) << c.what;
        EXPECT_EQ(entries(dir.path()), QStringList{"list.xlsx"}) << c.what;
    }
}

TEST(XlsxExport, ATargetThatCannotBeReplacedStaysAsItWas)
{
    // A folder in the target's place: the finished file cannot take its place.
    QTemporaryDir dir;
    const QString target = dir.filePath("list.xlsx");
    ASSERT_TRUE(QDir(dir.path()).mkpath("list.xlsx/inside"));
    const Result<qsizetype> written = writeListingXlsx(target, {"A"}, 1, [](qsizetype, int) { return QStringLiteral("v"); });
    EXPECT_FALSE(written.ok());
    EXPECT_TRUE(written.error().contains(target)) << written.error().toStdString();
    EXPECT_EQ(entries(dir.path()), QStringList{"list.xlsx"});
    EXPECT_EQ(entries(target), QStringList{"inside"});
}

TEST(XlsxExport, RecordsPastTheSheetAreNotWrittenAndTheCountSaysSo)
{
    EXPECT_EQ(SheetDataRows, 1048575);
    QTemporaryDir dir;
    const QString file = dir.filePath("cut.xlsx");
    const Result<qsizetype> written = writeListingXlsx(
        file, {"N"}, 5, [](qsizetype r, int) { return QString::number(r); }, 3);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(*written, 3);
    const auto cells = readSheet(file);
    EXPECT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells.at({4, 1}), " 2 ");
}

TEST(XlsxExport, StatisticsGridRowForRowStaleCountsGrey)
{
    using Line = StatsMatrix::Line;
    StatsMatrix matrix;
    matrix.setKind(AwardKind::Dxc);
    matrix.setCountQso("QSOs: 1234");
    for (int c = 0; c < 20; ++c)
        for (int r = 0; r < 16; ++r)
            matrix.setCell(c, r, c == 3 ? QStringLiteral("-") : QString::number(c * 100 + r));
    matrix.setCaption(Line::Mix, 2, "77");
    // Stale as the window would have them: band 5 (its header changed) and the MIX line.
    const auto stale = [](Line line, int index) {
        return (line == Line::Lblstat && CountSlotIndex::bandOfCell(index) == 5) || line == Line::Mix;
    };
    QTemporaryDir dir;
    for (const bool old : {false, true}) {
        const QString file = dir.filePath(old ? "stale.xlsx" : "grid.xlsx");
        const auto rows = statsGridSheet(
            matrix, "VARKEL", "FT8", [&](Line line, int index) { return old && stale(line, index); }, old);
        ASSERT_TRUE(writeSheetsXlsx(file, {{"DXC", rows}}).ok());
        EXPECT_EQ(sheetNames(file), QStringList{"DXC"});
        const auto cells = readSheet(file);
        const auto styles = readSheetStyles(file);
        const auto grey = [&](int row, int column) {
            const auto at = styles.find({row, column});
            return at != styles.end() && at->second.colour == "878787";
        };
        EXPECT_EQ(cells.at({1, 2}), "LogBook: VARKEL");
        EXPECT_EQ(cells.at({1, 4}), "QSOs: 1234");
        EXPECT_EQ(grey(1, 4), old);
        EXPECT_EQ(cells.at({3, 4}), "FT8");
        EXPECT_EQ(cells.at({2, 2}), "WORKED");
        for (int c = 0; c < 20; ++c) {
            EXPECT_EQ(cells.at({4 + c, 1}), matrix.header(c));
            EXPECT_FALSE(grey(4 + c, 1));
            for (int r = 0; r < 16; ++r) {
                EXPECT_EQ(cells.at({4 + c, 2 + r}), matrix.cell(c, r)) << c << "," << r;
                EXPECT_EQ(grey(4 + c, 2 + r), old && c == 5) << c << "," << r;
            }
        }
        EXPECT_EQ(cells.at({24, 1}), "MIX");
        EXPECT_EQ(cells.at({24, 4}), "77");
        EXPECT_EQ(cells.at({25, 2}), "-");
        EXPECT_EQ(cells.at({26, 1}), "FULL");
        for (int r = 0; r < 16; ++r) {
            EXPECT_EQ(grey(24, 2 + r), old);
            EXPECT_FALSE(grey(25, 2 + r));
        }
        // The window's note under the grid, only when something is stale.
        const auto note = cells.find({27, 1});
        ASSERT_EQ(note != cells.end(), old);
        if (old) {
            EXPECT_EQ(note->second, "Counts are from before the last change: press an award button to count again.");
            EXPECT_TRUE(grey(27, 1));
        }
    }
}
