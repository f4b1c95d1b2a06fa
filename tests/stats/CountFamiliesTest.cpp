// Every count family of the grid, asked of a generated logbook through the
// engine, against plain loops over the same generated rows.
#include "CountQuery.h"
#include "CountSql.h"
#include "LogbookEngine.h"
#include "ReferenceCounts.h"
#include "TempLogbook.h"

#include <gtest/gtest.h>

namespace {

const char *const Kinds[] = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};
const std::vector<std::string> Bands = {"0.134", "1.8", "3.5", "5.3", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50",
                                        "70",    "144", "220", "430", "1200", "2400", "5600", "10G", "24G", "7",   "2m",   "NONE"};

class CountFamilies : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new TempLogbook;
        s_rows = genlog::generate(3000, 2024);
        s_engine = new LogbookEngine;
        auto db = s_engine->open(s_dir->write(s_rows));
        ASSERT_TRUE(db.ok()) << db.error().toStdString();
        s_db = *db;
    }
    static void TearDownTestSuite()
    {
        s_db.reset();
        delete s_engine;
        delete s_dir;
    }
    static long count(const QString &text)
    {
        const Result<QString> r = CountQuery(*s_db, text);
        EXPECT_TRUE(r.ok()) << text.toStdString() << ": " << r.error().toStdString();
        return r.ok() ? r->toLong() : -1;
    }

    static inline TempLogbook *s_dir = nullptr;
    static inline LogbookEngine *s_engine = nullptr;
    static inline std::vector<genlog::LogRow> s_rows;
    static inline std::shared_ptr<const LogDatabase> s_db;
};

} // namespace

TEST_F(CountFamilies, TotalQsos)
{
    EXPECT_EQ(count(CountSql::totalQsos()), long(s_rows.size()));
}

TEST_F(CountFamilies, QsosPerBandAndWholeLogForEverySlot)
{
    for (const bool ft8 : {false, true}) {
        for (std::string band : Bands) {
            for (int r = 0; r < 16; ++r)
                EXPECT_EQ(count(CountSql::qso(QString::fromStdString(band), r, ft8)), reference::qsoCount(s_rows, band, r, ft8))
                    << band << " slot " << r << " ft8 " << ft8;
        }
        for (int r = 0; r < 16; ++r)
            EXPECT_EQ(count(CountSql::qso("*", r, ft8)), reference::qsoCount(s_rows, "*", r, ft8)) << "whole log slot " << r;
    }
}

TEST_F(CountFamilies, EntitiesPerBandAndWholeLog)
{
    for (const bool ft8 : {false, true}) {
        for (int kind = 0; kind < 6; ++kind) {
            std::vector<std::string> bands = Bands;
            bands.push_back("*");
            for (const std::string &band : bands) {
                for (int r = 0; r < 16; ++r) {
                    if (r / 4 == 2)
                        continue;
                    EXPECT_EQ(count(AwardCountSql(Kinds[kind], QString::fromStdString(band), r, ft8)),
                              reference::entityCount(s_rows, kind, {band}, r, ft8))
                        << Kinds[kind] << " " << band << " slot " << r << " ft8 " << ft8;
                }
            }
        }
    }
}

TEST_F(CountFamilies, EntitiesOverSelectedBands)
{
    // Header positions as they stand, gaps and blank positions included: every
    // band shown counts, wherever it stands.
    const std::vector<std::vector<std::string>> sets = {{"14.0", "21.0"},       {"3.5", "7.0", "14.0", "21.0", "28.0"},
                                                        {"10.1", "18.1", "24.9"}, {"14.0"},
                                                        {"7", "7.0", "2m"},       {"14.0", "", "28.0"},
                                                        {"", "  ", "7.0", "", "21.0"}};
    for (const bool ft8 : {false, true}) {
        for (const auto &set : sets) {
            QStringList headers(20);
            std::vector<std::string> shown;
            for (size_t i = 0; i < set.size(); ++i) {
                headers[int(i)] = QString::fromStdString(set[i]);
                if (set[i].find_first_not_of(' ') != std::string::npos)
                    shown.push_back(set[i]);
            }
            const QString list = CountSql::mixBandList(headers);
            for (int kind = 0; kind < 6; ++kind) {
                for (int r = 0; r < 16; ++r) {
                    if (r / 4 == 2)
                        continue;
                    EXPECT_EQ(count(CountSql::mix(Kinds[kind], list, r, ft8)), reference::entityCount(s_rows, kind, shown, r, ft8))
                        << Kinds[kind] << " " << list.toStdString() << " slot " << r;
                }
            }
        }
    }
}
