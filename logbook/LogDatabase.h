#pragma once
#include "QueryTable.h"
#include "Result.h"

#include <QString>
#include <memory>

struct sqlite3;
class ColumnarLog;
class CountEvaluator;

/// An in-memory SQLite snapshot of a logbook's table, answering Jet SQL texts.
/// The snapshot is never written back: the logbook file is only ever read.
class LogDatabase {
public:
    /// An empty in-memory database with the Jet functions registered.
    static Result<std::unique_ptr<LogDatabase>> create();
    ~LogDatabase();

    sqlite3 *handle() const { return m_db; }

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
    std::shared_ptr<const ColumnarLog> m_columnar;
    std::shared_ptr<const CountEvaluator> m_counter;
};
