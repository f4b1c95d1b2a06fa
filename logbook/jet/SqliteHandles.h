#pragma once
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

/// Releases SQLite's handles: closes a connection, finalizes a statement.
struct SqliteRelease {
    void operator()(sqlite3 *db) const;
    void operator()(sqlite3_stmt *statement) const;
};

using SqliteConnection = std::unique_ptr<sqlite3, SqliteRelease>;
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteRelease>;
