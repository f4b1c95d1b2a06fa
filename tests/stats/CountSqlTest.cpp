#include "stats/CountSql.h"
#include "bands/BandSet.h"
#include "stats/Val.h"

#include <gtest/gtest.h>

TEST(CountSql, QsoTextsOfOneBand)
{
    EXPECT_EQ(
        CountSql::qso("14.0", 5, false).text,
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '14.0' AND (Mode LIKE 'SSB' OR MODE LIKE 'FM' OR MODE LIKE 'AM') AND R ='Y' ");
    EXPECT_EQ(CountSql::qso("14.0", 0, false).text, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '14.0' AND (Mode LIKE 'CW') ");
    EXPECT_EQ(CountSql::qso("7.0", 3, false).text, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '7.0' AND Mode LIKE '*' ");
    EXPECT_EQ(CountSql::qso("7.0", 11, false).text,
              "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '7.0' AND Mode LIKE '*' AND R ='N' ");
    EXPECT_EQ(CountSql::qso("7.0", 14, true).text,
              "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '7.0' AND (Mode LIKE 'FT8') AND D ='Y' ");
    EXPECT_EQ(CountSql::qso("*", 2, false).text, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '*' AND NOT (Mode LIKE 'SSB' OR MODE "
                                                 "LIKE 'FM' OR MODE LIKE 'AM' OR MODE LIKE 'CW') ");
}

TEST(CountSql, EntityTextsPerBandAndWholeLog)
{
    EXPECT_EQ(AwardCountSql("WAZ", "14.0", 6, false).text, "SELECT COUNT(WAZ) AS Quanti FROM (Select Distinct WAZ From LOG WHERE Banda "
                                                           "LIKE '14.0' AND NOT (Mode LIKE 'SSB' OR MODE LIKE 'FM' OR "
                                                           "MODE LIKE 'AM' OR MODE LIKE 'CW') AND R ='Y' AND WAZ <> '??' AND WAZ <>'')");
    EXPECT_EQ(AwardCountSql("DXC", "*", 3, false).text, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE Banda LIKE "
                                                        "'*' AND (Mode LIKE '*') AND DXC <> '??' AND DXC <>'')");
    EXPECT_EQ(AwardCountSql("SQR", "50", 15, true).text, "SELECT COUNT(SQR) AS Quanti FROM (Select Distinct SQR From LOG WHERE Banda LIKE "
                                                         "'50' AND Mode LIKE '*' AND D ='Y' AND SQR <> '??' AND SQR <>'')");
    EXPECT_EQ(AwardCountSql("DXC", "50", 14, true).text, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE Banda LIKE "
                                                         "'50' AND (Mode LIKE 'FT8') AND D ='Y' AND DXC <> '??' AND DXC <>'')");
}

TEST(CountSql, MixTextsOverTheSelectedBands)
{
    QStringList headers(20);
    headers[0] = "14.0";
    headers[1] = "21.0";
    EXPECT_EQ(BandSet(headers).activeCount(), 2);
    EXPECT_EQ(CountSql::mix("DXC", headers, 4, false).text, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE (Banda = "
                                                            " '14.0'  OR banda = '21.0' ) AND (Mode LIKE 'CW') AND R "
                                                            "='Y' AND DXC <> '??' AND DXC <>'')");
    EXPECT_EQ(CountSql::mix("DXC", headers, 7, false).text, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE (Banda = "
                                                            " '14.0'  OR banda = '21.0' ) AND Mode LIKE '*' AND R ='Y' "
                                                            "AND DXC <> '??' AND DXC <>'')");
    // Gaps and blank positions: every band shown is in the list, no blank one is.
    headers[1] = "";
    headers[2] = "28.0";
    EXPECT_EQ(CountSql::mixBandList(headers), " '14.0'  OR banda = '28.0' ");
    headers[0] = "  ";
    headers[19] = "24G";
    EXPECT_EQ(CountSql::mixBandList(headers), " '28.0'  OR banda = '24G' ");
}

TEST(CountSql, QuotesInBandLabelsAreDoubled)
{
    EXPECT_EQ(CountSql::qso("14'0", 3, false).text, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '14''0' AND Mode LIKE '*' ");
    EXPECT_EQ(AwardCountSql("DXC", "14.0' OR 'x'='x", 7, false).text, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG "
                                                                      "WHERE Banda LIKE '14.0'' OR ''x''=''x' AND Mode LIKE '*' AND R ='Y' "
                                                                      "AND DXC <> '??' AND DXC <>'')");
    QStringList headers(20);
    headers[0] = "a'b";
    headers[1] = "14.0";
    EXPECT_EQ(CountSql::mixBandList(headers), " 'a''b'  OR banda = '14.0' ");
}

TEST(Val, LeadingNumberAndShortestText)
{
    EXPECT_EQ(Val::of("-"), 0);
    EXPECT_EQ(Val::of(""), 0);
    EXPECT_EQ(Val::of("12"), 12);
    EXPECT_EQ(Val::of(" 12abc"), 12);
    EXPECT_EQ(Val::of("3.5"), 3.5);
    EXPECT_EQ(Val::text(12 - 5), "7");
    EXPECT_EQ(Val::text(-3), "-3");
    EXPECT_EQ(Val::text(2.5), "2.5");
}
