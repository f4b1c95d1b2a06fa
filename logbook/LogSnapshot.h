#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountEvaluator.h"
#include "logbook/jet/LogDatabase.h"

#include <memory>

/// One state of a logbook file in memory. The columnar copy answers the
/// grid's counts; the SQLite copy (listings, inventories, custom queries and
/// the counts the columnar copy leaves to it) is filled the first time it is
/// asked for, so a statistics run never waits for it.
class LogSnapshot {
public:
    LogSnapshot(std::shared_ptr<const ColumnarLog> columnar, std::unique_ptr<LogDatabase> database);

    const ColumnarLog &columnar() const { return *m_columnar; }
    const CountEvaluator &counter() const { return m_counter; }

    /// The SQLite copy; its queries fill it first when it is not filled yet.
    const LogDatabase &database() const { return *m_database; }
    /// Starts filling the SQLite copy in the background (when the window is idle).
    void prefetch() const { m_database->prefetch(); }

private:
    std::shared_ptr<const ColumnarLog> m_columnar;
    CountEvaluator m_counter;
    std::unique_ptr<LogDatabase> m_database;
};

/// The SQLite copy of a snapshot, keeping the snapshot alive while it is held.
inline std::shared_ptr<const LogDatabase> sharedDatabase(const std::shared_ptr<const LogSnapshot> &snapshot)
{
    return snapshot ? std::shared_ptr<const LogDatabase>(snapshot, &snapshot->database()) : nullptr;
}
