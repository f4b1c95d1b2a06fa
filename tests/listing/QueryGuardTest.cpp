#include "QueryGuard.h"

#include <gtest/gtest.h>

TEST(QueryGuard, QueriesPass)
{
    for (const char *q : {"SELECT * FROM LOG", "select Callsign from log where Mode = 'CW';", "  (SELECT DXC FROM LOG)",
                          "SELECT * FROM LOG WHERE DIPTEXT = 'DELETE; INSERT INTO x'", "SELECT [Update] FROM LOG"})
        EXPECT_EQ(QueryGuard::refusal(q), "") << q;
}

TEST(QueryGuard, ChangesAreRefusedByName)
{
    const std::pair<const char *, const char *> cases[] = {
        {"DELETE FROM LOG", "DELETE"},      {"update LOG set R='Y'", "UPDATE"},    {"INSERT INTO LOG (Banda) VALUES ('x')", "INSERT"},
        {"DROP TABLE LOG", "DROP"},         {"ALTER TABLE LOG ADD x TEXT", "ALTER"}, {"CREATE TABLE t (a int)", "CREATE"},
        {"SELECT * INTO copy FROM LOG", "INTO"}, {"SELECT * FROM LOG; DELETE FROM LOG", "SELECT"},
    };
    for (const auto &[q, word] : cases) {
        const QString why = QueryGuard::refusal(q);
        EXPECT_TRUE(why.contains(word)) << q << " -> " << why.toStdString();
        EXPECT_TRUE(why.contains("never changes")) << q;
    }
}
