// Statistics runs on a generated logbook, through the same code the window
// and the headless report use, checked against plain loops over the rows.
#include "stats/Computations.h"
#include "stats/CountSql.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <gtest/gtest.h>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

std::string band(const StatsMatrix &m, int c) { return m.header(c).toStdString(); }

class StatsRun : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempLogbook;
        s_rows = genlog::generate(2500, 77);
        s_path = s_dir->write(s_rows);
    }
    static void TearDownTestSuite() { delete s_dir; }

    StatsContext context()
    {
        state.LogName = QStringLiteral("TESTDT");
        state.LogPath = s_path;
        StatsContext ctx{state, matrix, engine, prompter};
        ctx.hooks.yield = [this] { ++yields; };
        ctx.hooks.ft8 = [this] { return ft8; };
        return ctx;
    }

    long cellValue(int c, int r) const { return matrix.cell(c, r).toLong(); }

    static inline TempLogbook *s_dir = nullptr;
    static inline std::vector<genlog::LogRow> s_rows;
    static inline QString s_path;
    LoadedLog state;
    StatsMatrix matrix;
    LogbookEngine engine;
    FakePrompter prompter;
    int yields = 0;
    bool ft8 = false;
};

} // namespace

TEST_F(StatsRun, EntityRunFillsCellsTotalsFullAndMix)
{
    const QStringList bands = {"3.5", "7.0", "", "14.0", "21.0", "28.0", "7"};
    for (int c = 0; c < Bands; ++c)
        matrix.setHeader(c, bands.value(c));
    for (const bool withFt8 : {false, true}) {
        ft8 = withFt8;
        StatsContext ctx = context();
        ASSERT_TRUE(runStatistics(ctx, AwardKind::Dxc)); // DXC
        EXPECT_TRUE(prompter.messages().empty()) << prompter.messageTexts().join(" | ").toStdString();
        EXPECT_EQ(matrix.modo(), "DXC");
        EXPECT_EQ(matrix.countQso(), QStringLiteral("QSOs: %1").arg(s_rows.size()));
        for (int c = 0; c < Bands; ++c) {
            for (int r = 0; r < Slots; ++r) {
                if (band(matrix, c).empty()) {
                    EXPECT_EQ(matrix.cell(c, r), "-");
                    continue;
                }
                EXPECT_EQ(cellValue(c, r), reference::entityCount(s_rows, 0, {band(matrix, c)}, r, ft8))
                    << band(matrix, c) << " slot " << r;
            }
        }
        // MIX covers every band shown, also the one after the blank position.
        const std::vector<std::string> mixBands = {"3.5", "7.0", "14.0", "21.0", "28.0", "7"};
        for (int r = 0; r < Slots; ++r) {
            EXPECT_EQ(matrix.caption(Line::Mix, r).toLong(), reference::entityCount(s_rows, 0, mixBands, r, ft8)) << "mix " << r;
            EXPECT_EQ(matrix.caption(Line::Full, r).toLong(), reference::entityCount(s_rows, 0, {"*"}, r, ft8)) << "full " << r;
            long sum = 0;
            for (int c = 0; c < Bands; ++c)
                sum += band(matrix, c).empty() ? 0 : reference::entityCount(s_rows, 0, {band(matrix, c)}, r, ft8);
            EXPECT_EQ(matrix.caption(Line::Tot, r).toLong(), sum) << "tot " << r;
        }
    }
    EXPECT_GE(yields, 6 * 16);
    EXPECT_EQ(prompter.beeps, 4);
}

TEST_F(StatsRun, QsoRunCountsContactsAndLeavesMixAlone)
{
    StatsContext ctx = context();
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Qso));
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(matrix.modo(), "QSO");
    for (int c = 0; c < Bands; ++c) {
        for (int r = 0; r < Slots; ++r)
            EXPECT_EQ(cellValue(c, r), reference::qsoCount(s_rows, band(matrix, c), r, false)) << band(matrix, c) << " slot " << r;
    }
    for (int r = 0; r < Slots; ++r) {
        EXPECT_EQ(matrix.caption(Line::Mix, r), "-");
        // The whole-log NOT CONFIRMED figures are worked minus confirmed, not R = 'N' counts.
        const long full = isDifference(r)
                              ? reference::qsoCount(s_rows, "*", r % 4, false) - reference::qsoCount(s_rows, "*", 4 + r % 4, false)
                              : reference::qsoCount(s_rows, "*", r, false);
        EXPECT_EQ(matrix.caption(Line::Full, r).toLong(), full) << "full " << r;
    }
    EXPECT_NE(matrix.caption(Line::Full, 8).toLong(), reference::qsoCount(s_rows, "*", 8, false));
}

TEST_F(StatsRun, BlankHeadersKeepDashesAndTotalsAreZero)
{
    for (int c = 0; c < Bands; ++c)
        matrix.setHeader(c, c == 5 ? QStringLiteral("   ") : QString());
    StatsContext ctx = context();
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Waz)); // WAZ
    for (int i = 0; i < Cells; ++i)
        ASSERT_EQ(matrix.caption(Line::Lblstat, i), "-");
    for (int r = 0; r < Slots; ++r) {
        EXPECT_EQ(matrix.caption(Line::Tot, r), "0");
        EXPECT_EQ(matrix.caption(Line::Mix, r), "-");
        EXPECT_NE(matrix.caption(Line::Full, r), "-");
    }
}

TEST_F(StatsRun, MissingFileGivesOneMessagePerComputationAndKeepsTheCells)
{
    StatsContext ctx = context();
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Qso));
    const QString before = matrix.cell(6, 3);
    state.LogPath = s_dir->path("gonedt.mdb");
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Qso));
    ASSERT_EQ(size_t(prompter.messages().size()), 2u);
    EXPECT_EQ(prompter.messages()[0].text, "SQL or Log FILENAME error!");
    EXPECT_EQ(prompter.messages()[0].title, "Varkel LogChecker - QSO Nr");
    EXPECT_EQ(prompter.messages()[0].flags, 64);
    EXPECT_EQ(prompter.messages()[1].text, "SQL or Log FILENAME error!");
    EXPECT_EQ(prompter.messages()[1].title, "Varkel LogChecker - FullLog");
    EXPECT_EQ(matrix.cell(6, 3), before);

    prompter.clear();
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Dxc));
    ASSERT_EQ(size_t(prompter.messages().size()), 3u);
    EXPECT_EQ(prompter.messages()[0].text, "SQL or FILENAME error!");
    EXPECT_EQ(prompter.messages()[0].title, "Varkel LogChecker - Calcolo STATS");
    EXPECT_EQ(prompter.messages()[1].title, "Varkel LogChecker - FullLog");
    EXPECT_EQ(prompter.messages()[2].title, "Varkel LogChecker - MIX");
    for (int r = 0; r < Slots; ++r)
        EXPECT_EQ(matrix.caption(Line::Tot, r).toLong(), [&] {
            long s = 0;
            for (int c = 0; c < Bands; ++c)
                s += cellValue(c, r);
            return s;
        }());
}

TEST_F(StatsRun, NoLogbookAsksForOneAndCountsNothing)
{
    StatsContext ctx{state, matrix, engine, prompter};
    EXPECT_FALSE(runStatistics(ctx, AwardKind::Dxc));
    ASSERT_EQ(size_t(prompter.messages().size()), 1u);
    EXPECT_EQ(prompter.messages()[0].text, "PLEASE SELECT YOUR VARKEL-DATABASE SOURCE");
    EXPECT_EQ(prompter.messages()[0].flags, 64);
    EXPECT_EQ(prompter.messages()[0].title, "");
    EXPECT_EQ(matrix.modo(), "");
    EXPECT_EQ(prompter.beeps, 0);
}

TEST_F(StatsRun, StoppingEndsTheRunAtOnceWithoutMessages)
{
    StatsContext ctx = context();
    int allowed = 10;
    ctx.hooks.stopping = [&] { return --allowed < 0; };
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Dxc));
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(matrix.caption(Line::Full, 0), "-");
    EXPECT_EQ(matrix.cell(19, 15), "-");
}
