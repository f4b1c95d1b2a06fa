#pragma once
#include "QueryTable.h"
#include "Result.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct sqlite3;
class ColumnarLog;
class CountEvaluator;

/// An in-memory SQLite snapshot of a logbook's table, answering Jet SQL texts.
/// The snapshot is never written back: the logbook file is only ever read.
/// Runs SQLite's own text on a connection; the failure carries SQLite's message.
Status execSqlite(sqlite3 *db, const char *sql);

class LogDatabase {
public:
    /// An empty in-memory database with the Jet functions registered.
    static Result<std::unique_ptr<LogDatabase>> create();
    ~LogDatabase();

    /// The SQLite handle, once a background fill (fillInBackground) is done.
    sqlite3 *handle() const;

    /// Fills the database on a thread of its own: `fill` gets the handle and a
    /// flag that is set when the database is being destroyed (the fill should
    /// then stop early). Every query waits for the fill; a fill that fails
    /// makes them fail with its reason. Called at most once, before any query.
    using Fill = std::function<Status(sqlite3 *db, const std::atomic<bool> &cancelled)>;
    void fillInBackground(Fill fill);
    /// Waits for a background fill; its failure, if it failed.
    Status ready() const;

    /// Runs a Jet query text and returns the value of its field `field` in the
    /// first row as text ("0" when there is no row or the value is NULL).
    Result<QString> scalar(const QString &jetText, const QString &field) const;

    /// Runs a Jet query text and returns all its rows. Statements that would
    /// change data are refused.
    Result<QueryTable> select(const QString &jetText) const;

    /// Runs SQLite's own text (for building the snapshot).
    Status exec(const char *sql) const;

    /// A columnar copy of LOG that answers count texts without SQLite.
    void setColumnar(std::shared_ptr<const ColumnarLog> log);
    const ColumnarLog *columnar() const { return m_columnar.get(); }
    /// Answers count texts from the columnar copy; nullptr when there is none.
    const CountEvaluator *counter() const { return m_counter.get(); }

private:
    explicit LogDatabase(sqlite3 *db) : m_db(db) {}
    sqlite3 *m_db;
    mutable std::mutex m_fillMutex;
    mutable std::condition_variable m_filled;
    bool m_filling = false;
    Status m_fillStatus;
    std::atomic<bool> m_cancelled{false};
    std::thread m_filler;
    std::shared_ptr<const ColumnarLog> m_columnar;
    std::shared_ptr<const CountEvaluator> m_counter;
};
