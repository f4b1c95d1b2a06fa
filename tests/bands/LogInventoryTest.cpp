#include "bands/LogInventory.h"
#include "logbook/LogbookEngine.h"
#include "tests/support/TempLogbook.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

/// The distinct values of a column with the logbook's rules: case ignored, NULL as "".
std::set<QString> distinctFolded(const std::vector<genlog::LogRow> &rows, genlog::Text genlog::LogRow::*column)
{
    std::set<QString> out;
    for (const auto &row : rows)
        out.insert((row.*column) ? QString::fromStdString(*(row.*column)).toUpper() : QString());
    return out;
}

} // namespace

TEST(LogInventory, BandsAndModesOfAGeneratedLogbook)
{
    TempLogbook dir;
    const std::vector<genlog::LogRow> rows = genlog::generate(1500, 4);
    LogbookEngine engine;
    auto db = engine.open(dir.write(rows));
    ASSERT_TRUE(db.ok());
    for (const auto &[query, field, column] : {std::tuple{LogInventory::BandQuery, "Banda", &genlog::LogRow::Banda},
                                               std::tuple{LogInventory::ModeQuery, "Mode", &genlog::LogRow::Mode}}) {
        const Result<QStringList> values = LogInventory::values((*db)->database(), query, field);
        ASSERT_TRUE(values.ok()) << values.error().toStdString();
        std::set<QString> got;
        for (const QString &v : *values)
            got.insert(v.toUpper());
        // Each value once; a missing value and the empty text both list as an empty line.
        const bool nullAndEmpty = std::any_of(rows.begin(), rows.end(), [&](const auto &r) { return !(r.*column); }) &&
                                  std::any_of(rows.begin(), rows.end(), [&](const auto &r) { return (r.*column) && (r.*column)->empty(); });
        EXPECT_EQ(qsizetype(got.size()) + (nullAndEmpty ? 1 : 0), values->size());
        EXPECT_EQ(got, distinctFolded(rows, column));
        EXPECT_TRUE(values->first().isEmpty()) << "a missing value sorts first and lists as an empty line";
    }
}

TEST(LogInventory, TwoBandsListedInTextOrder)
{
    TempLogbook dir;
    LogbookEngine engine;
    auto db = engine.open(dir.write({makeRow("7.0", "CW"), makeRow("14.0", "SSB"), makeRow("7.0", "FT8"), makeRow("7", "CW")}));
    ASSERT_TRUE(db.ok());
    const Result<QStringList> bands = LogInventory::values((*db)->database(), LogInventory::BandQuery, "Banda");
    ASSERT_TRUE(bands.ok());
    EXPECT_EQ(*bands, QStringList({"14.0", "7", "7.0"}));
    EXPECT_EQ(LogInventory::asLines(*bands), "14.0\r\n7\r\n7.0\r\n");
    EXPECT_EQ(LogInventory::asLines({}), "");
}
