// Texts outside the evaluator's forms are left to SQLite, and CountQuery then
// gives exactly SQLite's answer or its failure.
#include "CountQuery.h"
#include "CountTestLog.h"

#include <gtest/gtest.h>

using namespace counttest;

TEST(OutsideTheForms, LeftToSqlite)
{
    const OpenedLog log = openGenerated(400, 3);
    const LogDatabase &db = *log.db;
    const char *const texts[] = {
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE ID = '5'", // a Long column
        "SELECT COUNT(ID) AS Quanti FROM LOG",
        "SELECT COUNT(*) AS Quanti FROM (SELECT DISTINCT ID FROM LOG)",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda < '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda IS NULL",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda NOT LIKE '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda NOT LIKE '*'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = 14",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = Mode",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE '14.0' = Banda",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda IN ('14.0', '7.0')",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Left(Banda, 2) = '14'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE TDate = #1/1/2000#",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Bandx = '14.0'",   // no such column
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE [Bandx] = '14.0'", // SQLite reads "Bandx" as a text
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE LOG.Banda = '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '[14'", // malformed pattern
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '1[4'",
        "SELECT COUNT(DISTINCT DXC) AS Quanti FROM LOG",
        "SELECT COUNT(DXC) AS Quanti FROM (SELECT DISTINCT WPX FROM LOG)",
        "SELECT COUNT(*) AS Quanti FROM LOG GROUP BY Banda",
        "SELECT COUNT(*) AS Quanti FROM LOG ORDER BY 1",
        "SELECT TOP 5 COUNT(*) AS Quanti FROM LOG",
        "SELECT COUNT(*) AS Quanti FROM LOG; SELECT 1",
        "SELECT COUNT(*) AS Quanti FROM LOG -- every contact",
        "SELECT COUNT(*) AS Quanti FROM LOG /* every contact */",
        "SELECT COUNT(*) FROM LOG",
        "SELECT Banda AS Quanti FROM LOG",
        "SELECT COUNT(*) AS Quanti FROM LOG AS L",
        "SELECT COUNT(*) AS Quanti FROM (SELECT DISTINCT DXC FROM LOG) AS t",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE rowid = '1'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14.0' COLLATE BINARY",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda == '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda != '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14' & '.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = X'41'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Order = 'x'", // a keyword for a name
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE (Banda) = '14.0'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14.0' AND",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE",
        "SELECT COUNT(*) AS Quanti FROM LOGS",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE NOTE = 'a\x01" "b'",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14.0",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda = '14.0')",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE ((Banda = '14.0')",
        "SELECT COUNT(*) AS 'Quanti' FROM LOG",
        "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '*'AND Mode = 'CW'", // IS NOT NULLAND
        "SELECT COUNT(*) AS DISTINCTROW FROM LOG", // written as DISTINCT
        "DELETE FROM LOG",
        "",
        ";",
    };
    for (const char *t : texts) {
        const QString text = QString::fromUtf8(t);
        EXPECT_FALSE(evaluatorCount(db, text).has_value()) << "answered: " << t;
        const Result<QString> viaCountQuery = CountQuery(db, text);
        const std::optional<QString> expected = sqliteCount(db, text);
        EXPECT_EQ(viaCountQuery.ok(), expected.has_value()) << t;
        if (viaCountQuery && expected) {
            EXPECT_EQ(*viaCountQuery, *expected) << t;
        }
    }
}

TEST(OutsideTheForms, AnotherFieldNameIsAnsweredButCountQueryAsksSqlite)
{
    const OpenedLog log = openGenerated(200, 4);
    const LogDatabase &db = *log.db;
    const QString text = QStringLiteral("SELECT COUNT(*) AS n FROM LOG WHERE Banda = '14.0'");
    const std::optional<CountAnswer> got = evaluatorCount(db, text);
    ASSERT_TRUE(got);
    EXPECT_EQ(got->field, QStringLiteral("n"));
    EXPECT_EQ(QString::number(got->count), *sqliteCount(db, text, QStringLiteral("n")));
    // CountQuery reads the field Quanti, which this text does not name: SQLite says so.
    EXPECT_FALSE(CountQuery(db, text).ok());
}

TEST(OutsideTheForms, DeepNestingIsLeftToSqlite)
{
    const OpenedLog log = openGenerated(50, 4);
    QString condition = QStringLiteral("Banda = '14.0'");
    for (int i = 0; i < 200; ++i)
        condition = QStringLiteral("(") + condition + QStringLiteral(")");
    const QString text = QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG WHERE ") + condition;
    EXPECT_FALSE(evaluatorCount(*log.db, text).has_value());
    const Result<QString> viaCountQuery = CountQuery(*log.db, text);
    const std::optional<QString> expected = sqliteCount(*log.db, text);
    EXPECT_EQ(viaCountQuery.ok(), expected.has_value());
    if (viaCountQuery && expected) {
        EXPECT_EQ(*viaCountQuery, *expected);
    }
}
