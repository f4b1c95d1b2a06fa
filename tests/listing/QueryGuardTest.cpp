#include "listing/QueryGuard.h"

#include <gtest/gtest.h>

TEST(QueryGuard, WhatIsNoSingleQueryIsRefusedByName)
{
    const std::pair<const char *, const char *> cases[] = {
        {"DELETE FROM LOG", "DELETE"},
        {"update LOG set R='Y'", "UPDATE"},
        {"INSERT INTO LOG (Banda) VALUES ('x')", "INSERT"},
        {"DROP TABLE LOG", "DROP"},
        {"ALTER TABLE LOG ADD x TEXT", "ALTER"},
        {"CREATE TABLE t (a int)", "CREATE"},
        {"ATTACH DATABASE 'x.db' AS x", "ATTACH"},
        {"PRAGMA writable_schema = 1", "PRAGMA"},
        {"-- a note first\nDELETE FROM LOG", "DELETE"},
        {"/* SELECT */ VACUUM", "VACUUM"},
        {"SELECT * INTO copy FROM LOG", "INTO"},
        {"SELECT * FROM LOG; DELETE FROM LOG", "SELECT is followed by another statement"},
        {"SELECT 'a;b' FROM LOG; /* c */ SELECT 1", "SELECT is followed by another statement"},
        {"; DELETE FROM LOG", "; DELETE FROM LOG"},
    };
    for (const auto &[q, word] : cases) {
        const QString why = QueryGuard::refusal(q);
        EXPECT_TRUE(why.contains(word)) << q << " -> " << why.toStdString();
        EXPECT_TRUE(why.endsWith("\r\n\r\nVarkelChecker only reads your logbook and never changes it: nothing was run.")) << q;
    }
    EXPECT_EQ(QueryGuard::refusal("DELETE FROM LOG"), "The statement DELETE is not a query.\r\n\r\n"
                                                      "VarkelChecker only reads your logbook and never changes it: nothing was run.");
}

TEST(QueryGuard, WhatTheSnapshotRefusesIsWordedWithItsName)
{
    using K = Refusal::Kind;
    const QString footer = "\r\n\r\nVarkelChecker only reads your logbook and never changes it: nothing was run.";
    EXPECT_EQ(QueryGuard::message({K::None, {}}), "");
    EXPECT_EQ(QueryGuard::message({K::Statement, "DELETE"}), QueryGuard::refusal("DELETE FROM LOG"));
    EXPECT_EQ(QueryGuard::message({K::MoreThanOne, "SELECT"}), QueryGuard::refusal("SELECT 1; SELECT 2"));
    EXPECT_EQ(QueryGuard::message({K::Function, "load_extension"}), "The function load_extension cannot be used in a query." + footer);
    EXPECT_EQ(QueryGuard::message({K::Table, "sqlite_master"}), "The query reads sqlite_master: only the table LOG can be read." + footer);
    EXPECT_EQ(QueryGuard::message({K::TableFunction, {}}),
              "The query reads a table-valued function: only the table LOG can be read." + footer);
}
