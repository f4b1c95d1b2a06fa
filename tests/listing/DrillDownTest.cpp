#include "listing/DrillDown.h"

#include "logbook/count/CountSlot.h"

#include <gtest/gtest.h>

using namespace CountSlotIndex;

namespace {

QStringList headers(std::initializer_list<const char *> bands)
{
    QStringList h(20);
    int i = 0;
    for (const char *b : bands)
        h[i++] = QString::fromUtf8(b);
    return h;
}

const QString K2 = QStringLiteral(
    ", First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS First_BAND, First(LOG.Mode) AS First_MODE, First(LOG.TDate) AS First_DATE, "
    "First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) AS AWARD, First(LOG.DIPTEXT) AS DIPL_TEXT "
    "From Log Where ");

bool balanced(const QString &s)
{
    int depth = 0;
    bool quoted = false;
    for (const QChar c : s) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('('))
            ++depth;
        else if (!quoted && c == QLatin1Char(')') && --depth < 0)
            return false;
    }
    return depth == 0 && !quoted;
}

} // namespace

TEST(DrillDown, WorkedExamples)
{
    const QStringList h = headers({"14.0", "21.0"});
    const int band14 = 0;
    EXPECT_EQ(DrillDown::cell(cell(band14, 0), AwardKind::Qso, h, false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '14.0') AND (MODE = 'CW') order by CALLSIGN;");
    EXPECT_EQ(
        DrillDown::cell(cell(band14, 5), AwardKind::Dxc, h, false).sql,
        "SELECT DISTINCT LOG.DXC" + K2 +
            "(((Log.Banda) = '14.0') And (((Log.Mode) = 'FM') Or ((Log.Mode) = 'SSB') Or ((Log.Mode) = 'AM')) And ((Log.DXC) <> '??') And "
            "((Log.R) = 'Y') And ((Log.DXC) <> '')) GROUP BY LOG.DXC;");
    EXPECT_EQ(DrillDown::mix(3, AwardKind::Dxc, h, false).sql, "SELECT DISTINCT LOG.DXC" + K2 +
                                                                   "(((Log.Banda) =  '14.0'  Or Log.banda = '21.0' ) And ((Log.Mode) LIKE "
                                                                   "'*') And ((Log.DXC) <> '??') And ((Log.DXC) <> '')) GROUP "
                                                                   "BY LOG.DXC;");
}

TEST(DrillDown, FirstRecordFieldNamesOfWorkedCwAndWholeLogFt8)
{
    const QStringList h = headers({"14.0"});
    EXPECT_TRUE(DrillDown::cell(cell(0, 0), AwardKind::Waz, h, false).sql.contains("AS BAND_, First(LOG.Mode) AS MODE_"));
    EXPECT_TRUE(DrillDown::cell(cell(0, 1), AwardKind::Waz, h, false).sql.contains("AS First_BAND"));
    EXPECT_TRUE(DrillDown::full(2, AwardKind::Waz, true).sql.contains("AS BAND_"));
    EXPECT_TRUE(DrillDown::full(2, AwardKind::Waz, false).sql.contains("AS First_BAND"));
    EXPECT_EQ(DrillDown::full(0, AwardKind::Wac, false).sql,
              "SELECT DISTINCT LOG.WAC, First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS BAND_, First(LOG.Mode) AS MODE_, "
              "First(LOG.TDate) AS "
              "First_DATE, First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) AS AWARD, "
              "First(LOG.DIPTEXT) AS DIPL_TEXT From Log Where ((Log.Banda) LIKE '*') And (((Log.Mode) = 'CW') And ((Log.WAC) <> '??') And "
              "((Log.WAC) <> '')) GROUP BY LOG.WAC;");
}

TEST(DrillDown, EveryTextIsBalancedAndFt8SwitchesTheDataForm)
{
    const QStringList h = headers({"14.0", "", "21.0"});
    for (const std::optional<AwardKind> kind :
         {std::optional(AwardKind::Qso), std::optional(AwardKind::Dxc), std::optional(AwardKind::Sqr), std::optional<AwardKind>()}) {
        for (const bool ft8 : {false, true}) {
            for (int i = 0; i < Cells; ++i) {
                const DrillDown::Request q = DrillDown::cell(i, kind, h, ft8);
                if (q.outcome == DrillDown::Outcome::Listing) {
                    EXPECT_TRUE(balanced(q.sql)) << q.sql.toStdString();
                }
            }
            for (int r = 0; r < Slots; ++r) {
                for (const DrillDown::Request &q : {DrillDown::mix(r, kind, h, ft8), DrillDown::full(r, kind, ft8)}) {
                    if (q.outcome == DrillDown::Outcome::Listing) {
                        EXPECT_TRUE(balanced(q.sql)) << q.sql.toStdString();
                    }
                }
            }
        }
    }
    EXPECT_TRUE(DrillDown::cell(cell(0, 2), AwardKind::Qso, h, false).sql.contains("NOT (MODE = 'SSB'"));
    EXPECT_TRUE(DrillDown::cell(cell(0, 2), AwardKind::Qso, h, true).sql.contains("(MODE = 'FT8')"));
}

TEST(DrillDown, SilentStopsAndTheNotConfirmedNotice)
{
    const QStringList h = headers({"14.0", "", "21.0"});
    EXPECT_EQ(DrillDown::cell(cell(0, 9), AwardKind::Dxc, h, false).outcome, DrillDown::Outcome::NotConfirmedNotice);
    EXPECT_EQ(DrillDown::cell(cell(0, 9), AwardKind::Qso, h, false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '14.0') AND (MODE = 'SSB' OR MODE = 'AM' OR MODE = 'FM') AND (R = 'N') order by CALLSIGN;");
    EXPECT_EQ(DrillDown::mix(9, AwardKind::Dxc, h, false).outcome, DrillDown::Outcome::Nothing);
    EXPECT_EQ(DrillDown::full(9, AwardKind::Dxc, false).outcome, DrillDown::Outcome::Nothing);
    EXPECT_EQ(DrillDown::full(0, AwardKind::Qso, false).outcome, DrillDown::Outcome::Nothing);
    EXPECT_EQ(DrillDown::mix(0, AwardKind::Dxc, QStringList(20), false).outcome, DrillDown::Outcome::Nothing);
    // Every band shown is in the MIX list, also past a blank position.
    EXPECT_TRUE(DrillDown::mix(0, AwardKind::Dxc, h, false).sql.contains("(((Log.Banda) =  '14.0'  Or Log.banda = '21.0' ) And"));
    // A blank header lists with an empty band; before the first run cells list contacts.
    EXPECT_EQ(DrillDown::cell(cell(1, 3), std::nullopt, h, false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '') AND (MODE LIKE '*') order by CALLSIGN;");
    EXPECT_EQ(DrillDown::mix(7, AwardKind::Qso, headers({"14.0", "21.0"}), false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '14.0' OR BANDA = '21.0') AND (MODE LIKE '*') AND (R = 'Y') order by CALLSIGN;");
}

TEST(DrillDown, ListingsTestWhatTheirCountsTest)
{
    // ALL slots take in contacts that have a mode, the FULL line contacts that have a band.
    const QStringList h = headers({"14.0"});
    EXPECT_EQ(DrillDown::cell(cell(0, 3), AwardKind::Qso, h, false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '14.0') AND (MODE LIKE '*') order by CALLSIGN;");
    EXPECT_EQ(DrillDown::cell(cell(0, 7), AwardKind::Dxc, h, false).sql,
              "SELECT DISTINCT LOG.DXC" + K2 +
                  "(((Log.Banda) = '14.0') And ((Log.Mode) LIKE '*') And ((Log.DXC) <> "
                  "'??') And ((Log.R) = 'Y') And ((Log.DXC) <> '')) GROUP BY LOG.DXC;");
    EXPECT_EQ(DrillDown::full(3, AwardKind::Waz, false).sql,
              "SELECT DISTINCT LOG.WAZ" + K2 +
                  "((Log.Banda) LIKE '*') And ((Log.Mode) LIKE '*') And ((Log.WAZ) <> '??') And ((Log.WAZ) <> '') GROUP BY LOG.WAZ;");
    EXPECT_TRUE(DrillDown::full(1, AwardKind::Waz, false).sql.contains("Where ((Log.Banda) LIKE '*') And (((Log.Mode) = 'FM') Or"));
}

TEST(DrillDown, QuotesInBandLabelsAreDoubled)
{
    const QStringList h = headers({"14'0", "21.0' OR 'x'='x"});
    EXPECT_EQ(DrillDown::cell(cell(0, 0), AwardKind::Qso, h, false).sql,
              "SELECT * FROM LOG WHERE (BANDA = '14''0') AND (MODE = 'CW') order by CALLSIGN;");
    EXPECT_TRUE(DrillDown::cell(cell(1, 1), AwardKind::Dxc, h, false).sql.contains("(((Log.Banda) = '21.0'' OR ''x''=''x') And"));
    EXPECT_TRUE(
        DrillDown::mix(0, AwardKind::Dxc, h, false).sql.contains("(((Log.Banda) =  '14''0'  Or Log.banda = '21.0'' OR ''x''=''x' ) And"));
}
