#include "stats/StaleCounts.h"

#include <gtest/gtest.h>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

CountBasis basis(QStringList headers, QString log = QStringLiteral("/logs/adt.mdb"), bool ft8 = false)
{
    while (headers.size() < Bands)
        headers << QString();
    return {headers, log, ft8};
}

/// Stale labels of a line, as indexes.
std::vector<int> stale(const CountBasis &counted, const CountBasis &now, Line line)
{
    std::vector<int> out;
    for (int i = 0; i < (line == Line::Lblstat ? Cells + Bands : Slots); ++i) {
        if (isStale(counted, now, line, i))
            out.push_back(i);
    }
    return out;
}

std::vector<int> cellsOfBand(int c)
{
    std::vector<int> out;
    for (int r = 0; r < Slots; ++r)
        out.push_back(cell(c, r));
    std::sort(out.begin(), out.end());
    return out;
}

const std::vector<int> AllSlots = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
const std::vector<int> DataSlots = {2, 6, 10, 14};

} // namespace

TEST(StaleCounts, AChangedHeaderMakesItsBandTotAndMixStale)
{
    const CountBasis counted = basis({"14.0", "21.0", "28.0"});
    EXPECT_TRUE(stale(counted, counted, Line::Lblstat).empty());
    const CountBasis now = basis({"14.0", "18.1", "28.0"});
    EXPECT_EQ(stale(counted, now, Line::Lblstat), cellsOfBand(1));
    EXPECT_EQ(stale(counted, now, Line::Tot), AllSlots);
    EXPECT_EQ(stale(counted, now, Line::Mix), AllSlots);
    EXPECT_TRUE(stale(counted, now, Line::Full).empty());
    // Moving the same bands to other positions leaves MIX right, not the cells.
    const CountBasis moved = basis({"", "14.0", "21.0", "28.0"});
    EXPECT_TRUE(stale(counted, moved, Line::Mix).empty());
    EXPECT_EQ(stale(counted, moved, Line::Tot), AllSlots);
    EXPECT_EQ(stale(counted, moved, Line::Lblstat).size(), 4u * Slots);
}

TEST(StaleCounts, AnotherLogbookMakesEveryCountStaleTheFt8OptionOnlyData)
{
    const CountBasis counted = basis({"14.0"});
    const CountBasis otherLog = basis({"14.0"}, QStringLiteral("/logs/bdt.mdb"));
    EXPECT_EQ(stale(counted, otherLog, Line::Full), AllSlots);
    EXPECT_EQ(stale(counted, otherLog, Line::Lblstat).size(), size_t(Cells));
    const CountBasis ft8 = basis({"14.0"}, counted.logPath, true);
    for (const Line line : {Line::Mix, Line::Tot, Line::Full})
        EXPECT_EQ(stale(counted, ft8, line), DataSlots);
    EXPECT_EQ(stale(counted, ft8, Line::Lblstat).size(), size_t(4 * Bands));
}
