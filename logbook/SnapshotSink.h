#pragma once
#include "logbook/jet/SqliteHandles.h"
#include "logbook/mdb/ReaderStream.h"
#include "logbook/types/Result.h"

#include <QString>
#include <atomic>
#include <string>
#include <vector>

class LogDatabase;
struct sqlite3;

/// Writes the rows it receives into a new table of the SQLite copy of the
/// log, in one transaction: text columns compare without regard to case.
class SnapshotSink : public mdbreader::RowSink {
public:
    /// `cancelled`, when given, stops the writing as soon as it is set.
    SnapshotSink(sqlite3 *db, const QString &table, const std::atomic<bool> *cancelled = nullptr);
    SnapshotSink(LogDatabase &db, const QString &table);
    ~SnapshotSink() override;

    bool columns(const std::vector<mdbreader::Column> &columns) override;
    bool row(const std::vector<mdbreader::Value> &values) override;
    std::string error() const override { return m_error; }

    /// Commits the table; fails when no columns came.
    Status finish();

private:
    bool fail(std::string why);

    sqlite3 *m_handle;
    std::string m_table;
    const std::atomic<bool> *m_cancelled;
    SqliteStatement m_stmt;
    std::vector<mdbreader::Kind> m_kinds;
    bool m_inTransaction = false;
    std::string m_error;
};
