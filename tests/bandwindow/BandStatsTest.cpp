#include "bandwindow/BandStats.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <gtest/gtest.h>

namespace {

class BandStatsTest : public testing::Test {
protected:
    void SetUp() override
    {
        rows = genlog::generate(2000, 12);
        state.LogName = QStringLiteral("TESTDT");
        state.LogPath = dir.write(rows);
    }
    void expectReference(bool ft8)
    {
        const std::string band = Band.toStdString();
        for (int r = 0; r < 16; ++r) {
            EXPECT_EQ(matrix.caption(BandMatrix::cell(r, 0)).toLong(), reference::qsoCount(rows, band, r, ft8)) << "QSO slot " << r;
            for (int row = 1; row < BandMatrix::Rows; ++row)
                EXPECT_EQ(matrix.caption(BandMatrix::cell(r, row)).toLong(), reference::entityCount(rows, row - 1, {band}, r, ft8))
                    << "row " << row << " slot " << r;
        }
    }

    const QString Band = QStringLiteral("14.0");
    TempLogbook dir;
    std::vector<genlog::LogRow> rows;
    LoadedLog state;
    BandMatrix matrix;
    LogbookEngine engine;
    FakePrompter prompter;
};

} // namespace

TEST_F(BandStatsTest, StartFillsEveryRowWithTheGridsCounts)
{
    for (const bool ft8 : {false, true, false}) {
        BandContext ctx{state, Band, matrix, engine, prompter, RunHooks::fixedFt8(ft8)};
        startBandRun(ctx);
        EXPECT_TRUE(prompter.messages().empty());
        for (int i = 0; i < BandMatrix::Cells; ++i)
            ASSERT_NE(matrix.caption(i), "-") << i;
        expectReference(ft8);
    }
    EXPECT_EQ(matrix.countQso(), QStringLiteral("QSOs: %1").arg(rows.size()));
    EXPECT_EQ(matrix.caption(112), "QSO");
    EXPECT_EQ(matrix.caption(118), "SQR");
    EXPECT_EQ(prompter.beeps, 6);
}

TEST_F(BandStatsTest, MissingFileShowsOneMessagePerRowAndLeavesDashes)
{
    state.LogPath = dir.path("gonedt.mdb");
    BandContext ctx{state, Band, matrix, engine, prompter};
    startBandRun(ctx);
    ASSERT_EQ(size_t(prompter.messages().size()), 7u);
    EXPECT_EQ(prompter.messageTitles()[0], "Varkel LogChecker - QSO Nr");
    EXPECT_EQ(prompter.messageTexts()[0], "SQL or Log FILENAME error!");
    EXPECT_EQ(prompter.messageTitles()[6], "Varkel LogChecker - Calcolo STATS");
    EXPECT_EQ(prompter.messageTexts()[6], "SQL or FILENAME error!");
    EXPECT_EQ(matrix.caption(1), "-");
}
