#pragma once
#include "logbook/jet/QueryTable.h"
#include "logbook/jet/SqliteHandles.h"
#include "logbook/types/Result.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct sqlite3;

/// Runs SQLite's own text on a connection; the failure carries SQLite's message.
Status execSqlite(sqlite3 *db, const char *sql);

/// What the read-only rules of the snapshot refused in a query text. It is
/// found while the text is prepared, so nothing of it ran.
struct Refusal {
    enum class Kind {
        None,
        Statement,     ///< a statement that is not a query; `name` is its keyword (DELETE, ATTACH, PRAGMA, ...)
        MoreThanOne,   ///< a second statement follows; `name` is the first one's keyword
        Function,      ///< a function that reaches outside the query (load_extension, fts3_tokenizer)
        Table,         ///< a table other than LOG (the schema tables); `name` is the table
        TableFunction, ///< a table-valued function (pragma_..., json_each)
    };
    Kind kind = Kind::None;
    QString name;
    bool refused() const { return kind != Kind::None; }
};

/// How much of a result a read keeps; 0 is no limit.
struct ReadLimits {
    qsizetype maxRows = 0;
    qsizetype maxBytes = 0; ///< the memory the rows may take, as LogDatabase::cellBytes counts it
};

/// Shared between a thread that reads and the one that waits for it: asks the
/// read to stop, and tells how many rows it holds so far.
struct ReadControl {
    std::atomic<bool> cancelled{false};
    std::atomic<qsizetype> rows{0};

    // Kept by LogDatabase only:
    std::mutex mutex;     ///< guards `running` against an interrupt arriving as the statement ends
    bool running = false; ///< the read's statement holds the snapshot: an interrupt reaches only it
};

/// The rows of a read and how it ended.
struct ReadResult {
    enum class End {
        Complete,  ///< every row of the result
        RowLimit,  ///< cut at ReadLimits::maxRows: more rows followed
        ByteLimit, ///< cut before the row that would pass ReadLimits::maxBytes
        Cancelled, ///< stopped through ReadControl
        Refused,   ///< refused by the read-only rules; nothing ran
        Failed,    ///< the text could not be translated or SQLite failed; `error` says why
    };
    End end = End::Failed;
    QueryTable table; ///< the rows read (for RowLimit and ByteLimit, those before the cut)
    Refusal refusal;
    QString error;
};

/// An in-memory SQLite snapshot of a logbook's table, answering Jet SQL texts.
/// The snapshot is never written back: the logbook file is only ever read.
/// The texts it answers are read-only by construction: an authorizer lets them
/// read the table LOG and the tables of their own sub-queries, call functions
/// that only compute, and nothing else (no writes, no ATTACH, no PRAGMA, no
/// transactions, no extensions). Its statements run one at a time, from any
/// thread.

class LogDatabase {
public:
    /// An empty in-memory database with the Jet functions registered.
    static Result<std::unique_ptr<LogDatabase>> create();
    ~LogDatabase();

    /// The SQLite handle, once the fill is done.
    sqlite3 *handle() const;

    /// How the database gets its rows: `fill` gets the handle and a flag that
    /// is set when the database is being destroyed (the fill should then stop
    /// early). It runs on a thread of its own, started the first time a query
    /// needs the rows or prefetch() is called; every query waits for it, and a
    /// fill that fails makes them fail with its reason. Set before any query.
    using Fill = std::function<Status(sqlite3 *db, const std::atomic<bool> &cancelled)>;
    void setFill(Fill fill);
    /// Starts the fill now, in the background, when it has not started yet.
    void prefetch() const;
    /// setFill, then prefetch.
    void fillInBackground(Fill fill);
    /// Waits for the fill (starting it if need be); its failure, if it failed.
    Status ready() const;

    /// Runs a Jet query text and returns the value of its field `field` in the
    /// first row as text ("0" when there is no row or the value is NULL).
    Result<QString> scalar(const QString &jetText, const QString &field) const;

    /// Runs a Jet query text and returns all its rows. Statements that would
    /// change data are refused.
    Result<QueryTable> select(const QString &jetText) const;

    /// Runs a Jet query text and returns its rows, at most as many as `limits`
    /// admit. With a `control`, another thread can stop it (cancel()) and see
    /// its progress. Throws nothing: a lack of memory ends it as Failed.
    ReadResult read(const QString &jetText, const ReadLimits &limits = {}, ReadControl *control = nullptr) const;

    /// What the read-only rules refuse in a text, found by preparing it without
    /// running it; Kind::None when it may run (or fails on its own, for a
    /// mistake that the run reports).
    Refusal check(const QString &jetText) const;

    /// Stops the read of another thread that shares `control`: sets its flag
    /// and, while that read's statement runs, interrupts it (sqlite3_interrupt),
    /// never another statement of the snapshot (the fill's, or a later one).
    void cancel(ReadControl &control) const;

    /// The memory a cell of `text` takes in a QueryTable, as ReadLimits::maxBytes counts it.
    static qsizetype cellBytes(const QString &text);

    /// Runs SQLite's own text (for building the snapshot).
    Status exec(const char *sql) const;

    /// The authorizer's state (LogDatabase.cpp).
    struct QueryRules;
    class Cancellable;

private:
    explicit LogDatabase(SqliteConnection db);
    SqliteConnection m_connection;
    sqlite3 *m_db;                       ///< m_connection's handle
    std::unique_ptr<QueryRules> m_rules; ///< the authorizer's state
    mutable std::mutex m_statementMutex; ///< one statement at a time on m_db
    mutable std::mutex m_fillMutex;
    mutable std::condition_variable m_filled;
    mutable Fill m_fill; ///< set and not started yet
    mutable bool m_filling = false;
    mutable Status m_fillStatus;
    std::atomic<bool> m_cancelled{false};
    mutable std::jthread m_filler;
};
