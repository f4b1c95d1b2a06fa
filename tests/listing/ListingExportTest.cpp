// The export of a listing as its menu entry runs it: the questions, the file,
// and what the operator is told.
#include "listing/ListingExport.h"
#include "listing/GridRecordset.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/XlsxSheet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString Title = QStringLiteral("VARKELchecker - Export");

class ListingExport : public testing::Test {
protected:
    void SetUp() override
    {
        QueryTable table;
        table.fields = {"ID", "Callsign"};
        for (int i = 1; i <= 5; ++i)
            table.cells.insert(table.cells.end(), {QString::number(i), QStringLiteral("I%1ABC").arg(i)});
        rows.setTable(std::move(table), false);
        state.LogName = QStringLiteral("TESTDT");
        target = dir.filePath("export.xlsx");
        prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        prompter.saveFileAnswers.enqueue(target);
    }

    QTemporaryDir dir;
    GridRecordset rows;
    LoadedLog state;
    FakePrompter prompter;
    QString target;
};

} // namespace

TEST_F(ListingExport, AListingLongerThanTheSheetSaysHowManyRowsWereWritten)
{
    rows.sort(0, Qt::DescendingOrder);
    exportListing(prompter, state, std::nullopt, rows, dir.path(), QDate(2024, 3, 9), 3);
    const auto messages = prompter.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text, "Export to Excel?");
    EXPECT_EQ(messages[1].text, "Only 3 of the 5 rows were written: a spreadsheet sheet holds no more.");
    EXPECT_EQ(messages[1].title, Title);
    EXPECT_EQ(messages[1].flags, 48);
    EXPECT_EQ(prompter.of(FakePrompter::Kind::SaveFile).first().folder, QDir(dir.path()).filePath("TEST_QSO_2024-03-09.xlsx"));
    ASSERT_EQ(prompter.of(FakePrompter::Kind::OpenDocument).size(), 1);
    // The rows in the order shown, as many as the message says.
    const auto cells = readSheet(target);
    EXPECT_EQ(cells.size(), 8u);
    EXPECT_EQ(cells.at({2, 1}), " 5 ");
    EXPECT_EQ(cells.at({4, 2}), " I3ABC ");
}

TEST_F(ListingExport, AListingThatFitsSaysNothingMore)
{
    exportListing(prompter, state, std::nullopt, rows, dir.path(), QDate(2024, 3, 9), 5);
    EXPECT_EQ(prompter.messageTexts(), QStringList{"Export to Excel?"});
    EXPECT_EQ(readSheet(target).size(), 12u);
}

TEST_F(ListingExport, AFailedExportIsReportedAndNothingIsOpened)
{
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QueryTable table;
    table.fields = {"NOTE"};
    table.cells = {QString(40000, QLatin1Char('x'))};
    rows.setTable(std::move(table), false);
    exportListing(prompter, state, std::nullopt, rows, dir.path(), QDate(2024, 3, 9));
    const auto messages = prompter.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].title, Title);
    EXPECT_EQ(messages[1].flags, 48);
    EXPECT_TRUE(prompter.of(FakePrompter::Kind::OpenDocument).isEmpty());
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"export.xlsx"});
}
