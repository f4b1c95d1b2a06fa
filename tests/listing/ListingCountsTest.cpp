// A listing holds exactly as many rows as the count it was opened from.
#include "listing/DrillDown.h"
#include "stats/Computations.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TempLogbook.h"

#include <gtest/gtest.h>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

class ListingCounts : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        state.LogName = QStringLiteral("TESTDT");
        // The generated log holds contacts without band or mode (NULL and ''):
        // no count takes them in, so no listing may show them.
        const std::vector<genlog::LogRow> rows = genlog::generate(1500, 31);
        state.LogPath = dir.write(rows);
        const QStringList bands = {"7.0", "14.0", "21.0", "", "28.0", "2m"};
        for (int c = 0; c < Bands; ++c)
            matrix.setHeader(c, bands.value(c));
        db = sharedDatabase(*engine.open(state.LogPath));
    }
    void TearDown() override { EXPECT_TRUE(prompter.messages().empty()) << prompter.messageTexts().join(" | ").toStdString(); }
    qsizetype rows(const DrillDown::Request &q)
    {
        EXPECT_EQ(q.outcome, DrillDown::Outcome::Listing);
        const Result<QueryTable> t = db->select(q.sql);
        EXPECT_TRUE(t.ok()) << q.sql.toStdString() << ": " << t.error().toStdString();
        return t.ok() ? t->rowCount() : -1;
    }

    TempLogbook dir;
    LoadedLog state;
    StatsMatrix matrix;
    LogbookEngine engine;
    FakePrompter prompter;
    std::shared_ptr<const LogDatabase> db;
};

} // namespace

TEST_P(ListingCounts, EntityListingsMatchCellsMixAndFull)
{
    const bool ft8 = GetParam();
    StatsContext ctx{state, matrix, engine, prompter, RunHooks::fixedFt8(ft8)};
    for (const AwardKind kind : AwardKinds::entityKinds()) {
        ASSERT_TRUE(runStatistics(ctx, kind));
        const QStringList h = matrix.headers();
        for (int r = 0; r < Slots; ++r) {
            if (isDifference(r))
                continue;
            for (int c = 0; c < Bands; ++c) {
                if (h[c].isEmpty())
                    continue;
                EXPECT_EQ(rows(DrillDown::cell(cell(c, r), matrix.kind(), h, ft8)), matrix.cell(c, r).toLong())
                    << matrix.modo().toStdString() << " band " << h[c].toStdString() << " slot " << r;
            }
            EXPECT_EQ(rows(DrillDown::mix(r, matrix.kind(), h, ft8)), matrix.caption(Line::Mix, r).toLong()) << "mix " << r;
            EXPECT_EQ(rows(DrillDown::full(r, matrix.kind(), ft8)), matrix.caption(Line::Full, r).toLong()) << "full " << r;
        }
    }
}

TEST_P(ListingCounts, ContactListingsMatchQsoCells)
{
    const bool ft8 = GetParam();
    StatsContext ctx{state, matrix, engine, prompter, RunHooks::fixedFt8(ft8)};
    ASSERT_TRUE(runStatistics(ctx, AwardKind::Qso));
    const QStringList h = matrix.headers();
    for (int r = 0; r < Slots; ++r) {
        for (int c = 0; c < Bands; ++c) {
            if (!h[c].isEmpty()) {
                EXPECT_EQ(rows(DrillDown::cell(cell(c, r), AwardKind::Qso, h, ft8)), matrix.cell(c, r).toLong())
                    << h[c].toStdString() << " slot " << r;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ft8, ListingCounts, testing::Values(false, true), [](const auto &info) { return info.param ? "ft8" : "data"; });
