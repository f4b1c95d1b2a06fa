#include "logbook/jet/JetSql.h"

#include <gtest/gtest.h>

namespace {
QString tr(const char *jet)
{
    const Result<QString> r = JetSql::toSqlite(QString::fromUtf8(jet));
    EXPECT_TRUE(r.ok()) << r.error().toStdString();
    return r.ok() ? *r : QString();
}
} // namespace

TEST(JetSql, LiteralLikeBecomesEqualitySoAnIndexAnswersIt)
{
    EXPECT_EQ(tr("SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '14.0' AND (Mode LIKE 'CW') "),
              "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14.0' AND (Mode = 'CW') ");
    EXPECT_EQ(tr("SELECT * FROM LOG WHERE Mode NOT LIKE 'CW'"), "SELECT * FROM LOG WHERE Mode <> 'CW'");
    EXPECT_EQ(tr("SELECT * FROM LOG WHERE NOT Mode LIKE 'CW'"), "SELECT * FROM LOG WHERE NOT Mode = 'CW'");
}

TEST(JetSql, StarPatternAdmitsEveryValueButNull)
{
    EXPECT_EQ(tr("SELECT * FROM LOG WHERE Banda LIKE '*' AND Mode LIKE '*' "),
              "SELECT * FROM LOG WHERE Banda IS NOT NULL AND Mode IS NOT NULL ");
}

TEST(JetSql, WildcardPatternsStayLike)
{
    EXPECT_EQ(tr("SELECT * FROM LOG WHERE Mode LIKE 'FT#'"), "SELECT * FROM LOG WHERE Mode LIKE 'FT#'");
}

TEST(JetSql, FirstAndLastFollowTableOrder)
{
    EXPECT_EQ(tr("SELECT DXC, First(LOG.Callsign) AS c, Last(Mode) FROM LOG GROUP BY DXC"),
              "SELECT DXC, jet_first(LOG.Callsign, _rowid_) AS c, jet_last(Mode, _rowid_) FROM LOG GROUP BY DXC");
    const Result<QString> plain = JetSql::toSqlite(QStringLiteral("SELECT First(x) FROM t"), JetSql::Options{false});
    EXPECT_EQ(*plain, "SELECT jet_first(x) FROM t");
}

TEST(JetSql, OperatorLiteralsAndNames)
{
    EXPECT_EQ(tr("SELECT Callsign & \" - \" & [Banda] FROM LOG"), "SELECT Callsign || ' - ' || \"Banda\" FROM LOG");
    EXPECT_EQ(tr("SELECT * FROM LOG WHERE TDate >= #1/31/2020# AND TDate < #2021-02-01 10:30:00#"),
              "SELECT * FROM LOG WHERE TDate >= '2020-01-31' AND TDate < '2021-02-01 10:30:00'");
    EXPECT_EQ(tr("SELECT 'it''s' FROM LOG"), "SELECT 'it''s' FROM LOG");
}

TEST(JetSql, TopBecomesLimitOfItsOwnSelect)
{
    EXPECT_EQ(tr("SELECT TOP 5 * FROM LOG ORDER BY Callsign;"), "SELECT * FROM LOG ORDER BY Callsign LIMIT 5;");
    EXPECT_EQ(tr("SELECT COUNT(*) FROM (SELECT DISTINCT TOP 3 DXC FROM LOG)"),
              "SELECT COUNT(*) FROM (SELECT DISTINCT DXC FROM LOG LIMIT 3)");
}

TEST(JetSql, FunctionsTakeTheirSqliteNames)
{
    EXPECT_EQ(tr("SELECT UCase(Mode), Left(Callsign, 2), Mid(Callsign, 2, 1), Len(Callsign), Nz(R, 'x') FROM LOG"),
              "SELECT upper(Mode), jet_left(Callsign, 2), jet_mid(Callsign, 2, 1), length(Callsign), jet_nz(R, 'x') FROM LOG");
}

TEST(JetSql, BrokenTextsAreRefused)
{
    EXPECT_FALSE(JetSql::toSqlite(QStringLiteral("SELECT * FROM LOG WHERE Mode = 'CW")).ok());
    EXPECT_FALSE(JetSql::toSqlite(QStringLiteral("SELECT * FROM LOG WHERE Mode = 'CW')")).ok());
    EXPECT_FALSE(JetSql::toSqlite(QStringLiteral("SELECT * FROM LOG WHERE TDate > #13/45/2020#")).ok());
}

TEST(JetSql, CommentsPassAsTheyAreAndHoldNothingToTranslate)
{
    EXPECT_EQ(tr("-- don't [look] at #this\nSELECT a & b FROM LOG"), "-- don't [look] at #this\nSELECT a || b FROM LOG");
    EXPECT_EQ(tr("/* it's a & b */ SELECT a & b FROM LOG"), "/* it's a & b */ SELECT a || b FROM LOG");
    EXPECT_EQ(tr("SELECT TOP 5 * FROM LOG -- the first five"), "SELECT * FROM LOG -- the first five\n LIMIT 5");
    EXPECT_EQ(tr("SELECT TOP 2 * FROM LOG /* left open"), "SELECT * FROM LOG /* left open*/ LIMIT 2");
}
