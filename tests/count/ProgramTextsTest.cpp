// Every count text the statistics grid and the single-band window build gives
// the same number through the evaluator as through the SQLite snapshot, and
// none of them is left to SQLite.
#include "CountQuery.h"
#include "CountSql.h"
#include "CountTestLog.h"
#include "StatsMatrix.h"

#include <gtest/gtest.h>

using namespace counttest;

namespace {

class ProgramTexts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_log = new OpenedLog(openGenerated(2500, 11)); }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }

    /// The band labels of the generated log, "*", wildcard patterns, labels in
    /// another case and labels no row has.
    static QStringList bandPatterns()
    {
        QStringList bands;
        for (const std::string &b : distinctValues(s_log->rows, "Banda"))
            bands << QString::fromStdString(b);
        bands << "*" << "1*" << "*0" << "?.?" << "1#.#" << "[12]*" << "[!1]*" << "2M" << "40m" << "10g" << "" << "99.9" << "**" << "*.*";
        return bands;
    }

    static void expectSame(const QString &text)
    {
        const LogDatabase &db = *s_log->db;
        const std::optional<QString> expected = sqliteCount(db, text);
        ASSERT_TRUE(expected) << "SQLite refused: " << text.toStdString();
        const std::optional<CountAnswer> got = evaluatorCount(db, text);
        ASSERT_TRUE(got) << "left to SQLite: " << text.toStdString();
        EXPECT_EQ(QString::number(got->count), *expected) << text.toStdString();
        EXPECT_EQ(got->field, QStringLiteral("Quanti"));
    }

    static OpenedLog *s_log;
};

OpenedLog *ProgramTexts::s_log = nullptr;

const QStringList AwardColumns = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};

} // namespace

TEST_F(ProgramTexts, TotalOfTheLog)
{
    expectSame(CountSql::totalQsos());
}

TEST_F(ProgramTexts, QsoCountsOfEveryBandSlotAndFt8Choice)
{
    for (const QString &band : bandPatterns()) {
        for (int r = 0; r < CountSlotIndex::Slots; ++r) {
            for (const bool ft8 : {false, true})
                expectSame(CountSql::qso(band, r, ft8));
        }
    }
}

TEST_F(ProgramTexts, EntityCountsOfEveryKindBandSlotAndFt8Choice)
{
    for (const QString &column : AwardColumns) {
        for (const QString &band : bandPatterns()) {
            for (int r = 0; r < CountSlotIndex::Slots; ++r) {
                for (const bool ft8 : {false, true})
                    expectSame(AwardCountSql(column, band, r, ft8));
            }
        }
    }
}

TEST_F(ProgramTexts, MixCountsOverSeveralBandSets)
{
    QList<QStringList> headerSets;
    headerSets << StatsMatrix::startupBands();
    headerSets << QStringList{"14.0", "21.0"};
    headerSets << QStringList{"144", "430", "1200", "2400"};
    headerSets << QStringList{"14.0", "", "28.0", "7.0"}; // a gap: only the first positions count
    headerSets << QStringList{"2m", "40M", "10g"};
    headerSets << QStringList{"7.0"};
    headerSets << QStringList{"3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50"};
    for (QStringList headers : headerSets) {
        while (headers.size() < CountSlotIndex::Bands)
            headers << QString();
        const QString list = CountSql::mixBandList(headers);
        for (const QString &column : AwardColumns) {
            for (int r = 0; r < CountSlotIndex::Slots; ++r) {
                for (const bool ft8 : {false, true})
                    expectSame(CountSql::mix(column, list, r, ft8));
            }
        }
    }
}

TEST_F(ProgramTexts, CountQueryAnswersAsSqliteDoes)
{
    const LogDatabase &db = *s_log->db;
    for (const QString &text : {CountSql::totalQsos(), CountSql::qso("14.0", 5, false), AwardCountSql("DXC", "*", 7, true),
                                AwardCountSql("SQR", "7.0", 3, false)}) {
        const Result<QString> viaCountQuery = CountQuery(db, text);
        ASSERT_TRUE(viaCountQuery) << viaCountQuery.error().toStdString();
        EXPECT_EQ(*viaCountQuery, *sqliteCount(db, text)) << text.toStdString();
    }
}

TEST(CaseFolding, TextsEqualWithoutRegardToCaseAreOneEntity)
{
    const OpenedLog log = openGenerated(0, 1);
    const LogDatabase &db = *log.db;
    struct Case {
        const char *text;
        const char *byHand; ///< worked out from caseVariantRows()
    };
    const Case cases[] = {
        // DL dl Dl | U+01C4 U+01C5 | Σ ς σ
        {"SELECT COUNT(DXC) AS Quanti FROM (SELECT DISTINCT DXC FROM LOG WHERE Banda = '14.0')", "3"},
        // U+212A k K
        {"SELECT COUNT(DXC) AS Quanti FROM (SELECT DISTINCT DXC FROM LOG WHERE Banda LIKE '21.0')", "1"},
        // ÀB àb
        {"SELECT COUNT(DXC) AS Quanti FROM (SELECT DISTINCT DXC FROM LOG WHERE Banda LIKE '2m')", "1"},
        // jn45 JN45, ÄB1 äb1
        {"SELECT COUNT(SQR) AS Quanti FROM (SELECT DISTINCT SQR FROM LOG WHERE Banda = '7.0')", "1"},
        {"SELECT COUNT(WPX) AS Quanti FROM (SELECT DISTINCT WPX FROM LOG WHERE Banda = '7.0')", "1"},
        // every band: '' and NULL, 2M/2m, 10g/10G, 14.0, 21.0, 7.0; COUNT(*) counts the NULL group
        {"SELECT COUNT(*) AS Quanti FROM (SELECT DISTINCT Banda FROM LOG)", "7"},
        {"SELECT COUNT(Banda) AS Quanti FROM (SELECT DISTINCT Banda FROM LOG)", "6"},
        // Mode: CW cw Cw; SSB ssb; FT8 ft8; FM fm; RTTY; ''; NULL
        {"SELECT COUNT(Mode) AS Quanti FROM (SELECT DISTINCT Mode FROM LOG)", "6"},
        {"SELECT COUNT(Mode) AS Quanti FROM LOG WHERE Mode LIKE 'c*'", "9"},
        {"SELECT COUNT(*) AS Quanti FROM LOG WHERE NOT (Mode LIKE '*')", "1"},
        {"SELECT COUNT(*) AS Quanti FROM LOG WHERE NOT (Mode = 'CW')", "9"},
        {"SELECT COUNT(*) AS Quanti FROM LOG WHERE NOTE = 'citt\xC3\xA0'", "2"},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const std::optional<QString> expected = sqliteCount(db, text);
        ASSERT_TRUE(expected) << c.text;
        const std::optional<CountAnswer> got = evaluatorCount(db, text);
        ASSERT_TRUE(got) << c.text;
        EXPECT_EQ(QString::number(got->count), *expected) << c.text;
        EXPECT_EQ(*expected, QString::fromUtf8(c.byHand)) << c.text;
    }
}
