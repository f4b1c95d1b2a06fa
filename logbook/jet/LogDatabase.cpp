#include "logbook/jet/LogDatabase.h"

#include "logbook/jet/SqliteHandles.h"

#include "logbook/jet/JetFunctions.h"
#include "logbook/jet/JetSql.h"

#include <cctype>
#include <cstring>
#include <optional>
#include <sqlite3.h>

namespace {

using Stmt = SqliteStatement;

QString lastError(sqlite3 *db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

bool named(const char *name, const char *expected) { return name && sqlite3_stricmp(name, expected) == 0; }
bool startsWith(const char *name, const char *prefix) { return name && sqlite3_strnicmp(name, prefix, int(strlen(prefix))) == 0; }

/// The keyword a statement starts with, after blanks, comments and
/// parentheses, for naming it ("VACUUM").
QString leadingWord(const QByteArray &sql)
{
    qsizetype i = 0;
    while (i < sql.size()) {
        if (sql.mid(i, 2) == "--") {
            const qsizetype end = sql.indexOf('\n', i);
            i = end < 0 ? sql.size() : end + 1;
        } else if (sql.mid(i, 2) == "/*") {
            const qsizetype end = sql.indexOf("*/", i + 2);
            i = end < 0 ? sql.size() : end + 2;
        } else if (std::isspace(static_cast<unsigned char>(sql[i])) || sql[i] == '(') {
            ++i;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j])))
        ++j;
    return QString::fromLatin1(sql.mid(i, j - i)).toUpper();
}

/// True when `tail` holds nothing but blanks, semicolons and comments.
bool onlyBlanks(const char *tail)
{
    for (const char *p = tail; p && *p;) {
        if (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\f' || *p == ';') {
            ++p;
        } else if (p[0] == '-' && p[1] == '-') {
            while (*p && *p != '\n')
                ++p;
        } else if (p[0] == '/' && p[1] == '*') {
            const char *close = strstr(p + 2, "*/");
            if (!close)
                return true;
            p = close + 2;
        } else {
            return false;
        }
    }
    return true;
}

QString columnText(sqlite3_stmt *stmt, int column)
{
    if (sqlite3_column_type(stmt, column) == SQLITE_NULL)
        return QString();
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    const int n = sqlite3_column_bytes(stmt, column);
    if (n == 0)
        return QString(QLatin1String(""));
    return QString::fromUtf8(p, n);
}

} // namespace

/// The state of the authorizer: whether it is guarding the statement being
/// prepared, and the first thing it refused.
struct LogDatabase::QueryRules {
    bool active = false;     ///< only texts prepared for queries are guarded, never the fill's own statements
    bool selectSeen = false; ///< the statement is a SELECT
    QString keyword;         ///< the statement's leading keyword
    Refusal refused;

    void start(const QString &leadingKeyword)
    {
        active = true;
        selectSeen = false;
        refused = {};
        keyword = leadingKeyword;
    }

    int deny(Refusal::Kind kind, const QString &name)
    {
        if (!refused.refused())
            refused = {kind, name};
        return SQLITE_DENY;
    }

    static int authorize(void *data, int action, const char *a1, const char *a2, const char *database, const char *)
    {
        auto *rules = static_cast<QueryRules *>(data);
        return rules->active ? rules->decide(action, a1, a2, database) : SQLITE_OK;
    }

    int decide(int action, const char *a1, const char *a2, const char *database)
    {
        using K = Refusal::Kind;
        switch (action) {
        case SQLITE_SELECT:
            selectSeen = true;
            return SQLITE_OK;
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_READ:
            // The logbook's table, in any column; a table named without any of
            // its columns read and the tables of WITH come without a database.
            // The schema tables (sqlite_...) are not the logbook's.
            if (named(a1, "LOG") || (!database && !startsWith(a1, "sqlite_")))
                return SQLITE_OK;
            return deny(K::Table, QString::fromUtf8(a1 ? a1 : ""));
        case SQLITE_FUNCTION:
            if (named(a2, "load_extension") || named(a2, "fts3_tokenizer"))
                return deny(K::Function, QString::fromUtf8(a2));
            return SQLITE_OK;
        case SQLITE_INSERT:
        case SQLITE_UPDATE:
        case SQLITE_DELETE:
            // A change of the schema table comes first for CREATE, DROP and
            // the like (named by their keyword); inside a query it is how a
            // table-valued function announces itself.
            if (startsWith(a1, "sqlite_"))
                return selectSeen ? deny(K::TableFunction, QString()) : deny(K::Statement, keyword);
            return deny(K::Statement, action == SQLITE_INSERT   ? QStringLiteral("INSERT")
                                      : action == SQLITE_UPDATE ? QStringLiteral("UPDATE")
                                                                : QStringLiteral("DELETE"));
        case SQLITE_CREATE_INDEX:
        case SQLITE_CREATE_TABLE:
        case SQLITE_CREATE_TEMP_INDEX:
        case SQLITE_CREATE_TEMP_TABLE:
        case SQLITE_CREATE_TEMP_TRIGGER:
        case SQLITE_CREATE_TEMP_VIEW:
        case SQLITE_CREATE_TRIGGER:
        case SQLITE_CREATE_VIEW:
        case SQLITE_CREATE_VTABLE:
            return deny(K::Statement, QStringLiteral("CREATE"));
        case SQLITE_DROP_INDEX:
        case SQLITE_DROP_TABLE:
        case SQLITE_DROP_TEMP_INDEX:
        case SQLITE_DROP_TEMP_TABLE:
        case SQLITE_DROP_TEMP_TRIGGER:
        case SQLITE_DROP_TEMP_VIEW:
        case SQLITE_DROP_TRIGGER:
        case SQLITE_DROP_VIEW:
        case SQLITE_DROP_VTABLE:
            return deny(K::Statement, QStringLiteral("DROP"));
        case SQLITE_ALTER_TABLE:
            return deny(K::Statement, QStringLiteral("ALTER"));
        case SQLITE_ATTACH:
            return deny(K::Statement, QStringLiteral("ATTACH"));
        case SQLITE_DETACH:
            return deny(K::Statement, QStringLiteral("DETACH"));
        case SQLITE_PRAGMA:
            return deny(K::Statement, QStringLiteral("PRAGMA"));
        case SQLITE_TRANSACTION:
            return deny(K::Statement, QString::fromUtf8(a1 ? a1 : "BEGIN").toUpper());
        case SQLITE_SAVEPOINT:
            return deny(K::Statement,
                        named(a1, "BEGIN") ? QStringLiteral("SAVEPOINT") : QString::fromUtf8(a1 ? a1 : "SAVEPOINT").toUpper());
        case SQLITE_REINDEX:
            return deny(K::Statement, QStringLiteral("REINDEX"));
        case SQLITE_ANALYZE:
            return deny(K::Statement, QStringLiteral("ANALYZE"));
        default:
            return deny(K::Statement, QStringLiteral("?"));
        }
    }
};

namespace {

/// Guards the statements of one query from their preparation to their end.
class Guarded {
public:
    Guarded(std::mutex &statements, LogDatabase::QueryRules &rules) : m_lock(statements), m_rules(rules) {}
    ~Guarded() { m_rules.active = false; }
    LogDatabase::QueryRules &rules() { return m_rules; }

private:
    std::lock_guard<std::mutex> m_lock;
    LogDatabase::QueryRules &m_rules;
};

struct Prepared {
    Stmt stmt;
    Refusal refusal;
    QString error;
};

/// Translates and prepares a Jet text under the read-only rules. First/Last are
/// ordered by row when the statement reads one table; otherwise they take the
/// rows as they come.
Prepared prepare(sqlite3 *db, LogDatabase::QueryRules &rules, const QString &jetText)
{
    Prepared out;
    for (const bool byRowid : {true, false}) {
        const Result<QString> sql = JetSql::toSqlite(jetText, JetSql::Options{byRowid});
        if (!sql) {
            out.error = sql.error();
            return out;
        }
        const QByteArray utf8 = sql->toUtf8();
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        rules.start(leadingWord(utf8));
        const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, &tail);
        Stmt stmt(raw);
        if (rules.refused.refused()) {
            out.refusal = rules.refused;
            return out;
        }
        if (rc == SQLITE_OK && stmt) {
            if (!onlyBlanks(tail)) {
                out.refusal = {Refusal::Kind::MoreThanOne, leadingWord(utf8)};
                return out;
            }
            if (!sqlite3_stmt_readonly(stmt.get())) {
                out.refusal = {Refusal::Kind::Statement, leadingWord(utf8)};
                return out;
            }
            out.stmt = std::move(stmt);
            return out;
        }
        if (rc == SQLITE_OK) {
            out.error = QStringLiteral("empty statement");
            return out;
        }
        out.error = lastError(db);
        if (!byRowid || !sql->contains(QLatin1String("_rowid_")))
            break;
    }
    return out;
}

QString refusalText(const Refusal &r)
{
    return r.name.isEmpty() ? QStringLiteral("not a query") : QStringLiteral("not a query: %1").arg(r.name);
}

/// While a read runs: stops it when its control is cancelled.
int stopWhenCancelled(void *control) { return static_cast<ReadControl *>(control)->cancelled.load() ? 1 : 0; }

/// Sets a limit of the connection for the time of one read.
class ScopedLimit {
public:
    ScopedLimit(sqlite3 *db, int id, qsizetype value) : m_db(db), m_id(id), m_old(sqlite3_limit(db, id, -1))
    {
        if (value > 0 && value < m_old)
            sqlite3_limit(db, id, int(value));
    }
    ~ScopedLimit() { sqlite3_limit(m_db, m_id, m_old); }

private:
    sqlite3 *m_db;
    int m_id;
    int m_old;
};

} // namespace

/// While a read that can be cancelled runs: its progress handler, and the mark
/// that lets LogDatabase::cancel interrupt it.
class LogDatabase::Cancellable {
public:
    Cancellable(sqlite3 *db, ReadControl *control) : m_db(db), m_control(control)
    {
        if (!m_control)
            return;
        sqlite3_progress_handler(m_db, 1000, stopWhenCancelled, m_control);
        std::lock_guard lock(m_control->mutex);
        m_control->running = true;
    }
    ~Cancellable()
    {
        if (!m_control)
            return;
        {
            std::lock_guard lock(m_control->mutex);
            m_control->running = false;
        }
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
    }

private:
    sqlite3 *m_db;
    ReadControl *m_control;
};

Result<std::unique_ptr<LogDatabase>> LogDatabase::create()
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteConnection db(raw);
    if (rc != SQLITE_OK)
        return Result<std::unique_ptr<LogDatabase>>::failure(db ? lastError(db.get()) : QStringLiteral("out of memory"));
    if (!registerJetFunctions(db.get()))
        return Result<std::unique_ptr<LogDatabase>>::failure(lastError(db.get()));
    // No query may reach another database file.
    sqlite3_limit(db.get(), SQLITE_LIMIT_ATTACHED, 0);
    return Result<std::unique_ptr<LogDatabase>>(std::unique_ptr<LogDatabase>(new LogDatabase(std::move(db))));
}

LogDatabase::LogDatabase(SqliteConnection db)
    : m_connection(std::move(db)), m_db(m_connection.get()), m_rules(std::make_unique<QueryRules>())
{
    // The rules apply only while a query text is prepared (QueryRules::active),
    // so the fill's CREATE TABLE, INSERT and CREATE INDEX pass.
    sqlite3_set_authorizer(m_db, &QueryRules::authorize, m_rules.get());
}

LogDatabase::~LogDatabase()
{
    m_cancelled = true;
    if (m_filler.joinable())
        m_filler.join();
}

void LogDatabase::setFill(Fill fill)
{
    std::lock_guard lock(m_fillMutex);
    m_fill = std::move(fill);
}

void LogDatabase::fillInBackground(Fill fill)
{
    setFill(std::move(fill));
    prefetch();
}

void LogDatabase::prefetch() const
{
    std::lock_guard lock(m_fillMutex);
    if (!m_fill)
        return;
    m_filling = true;
    m_filler = std::jthread([this, fill = std::move(m_fill)] {
        Status status;
        // Errors come back as values; not even a lack of memory may leave the thread.
        try {
            status = fill(m_db, m_cancelled);
        } catch (const std::exception &e) {
            status = Status::failure(QStringLiteral("cannot fill the snapshot: %1").arg(QString::fromUtf8(e.what())));
        }
        std::lock_guard lock(m_fillMutex);
        m_fillStatus = std::move(status);
        m_filling = false;
        m_filled.notify_all();
    });
    m_fill = nullptr;
}

Status LogDatabase::ready() const
{
    prefetch();
    std::unique_lock lock(m_fillMutex);
    m_filled.wait(lock, [this] { return !m_filling; });
    return m_fillStatus;
}

sqlite3 *LogDatabase::handle() const
{
    ready();
    return m_db;
}

Status LogDatabase::exec(const char *sql) const
{
    if (Status s = ready(); !s)
        return s;
    std::lock_guard lock(m_statementMutex);
    return execSqlite(m_db, sql);
}

Status execSqlite(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString why = QString::fromUtf8(message ? message : "SQLite error");
        sqlite3_free(message);
        return Status::failure(why);
    }
    return {};
}

Result<QString> LogDatabase::scalar(const QString &jetText, const QString &field) const
{
    if (Status s = ready(); !s)
        return Result<QString>::failure(s.error());
    Guarded guard(m_statementMutex, *m_rules);
    Prepared prepared = prepare(m_db, guard.rules(), jetText);
    if (prepared.refusal.refused())
        return Result<QString>::failure(refusalText(prepared.refusal));
    if (!prepared.stmt)
        return Result<QString>::failure(prepared.error);
    sqlite3_stmt *s = prepared.stmt.get();
    int column = -1;
    for (int i = 0; i < sqlite3_column_count(s); ++i) {
        if (field.compare(QString::fromUtf8(sqlite3_column_name(s, i)), Qt::CaseInsensitive) == 0)
            column = i;
    }
    if (column < 0)
        return Result<QString>::failure(QStringLiteral("no field %1 in the result").arg(field));
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return QStringLiteral("0");
    if (rc != SQLITE_ROW)
        return Result<QString>::failure(lastError(m_db));
    const QString value = columnText(s, column);
    return value.isNull() ? QStringLiteral("0") : value;
}

Result<QueryTable> LogDatabase::select(const QString &jetText) const
{
    ReadResult r = read(jetText);
    switch (r.end) {
    case ReadResult::End::Complete:
        return std::move(r.table);
    case ReadResult::End::Refused:
        return Result<QueryTable>::failure(refusalText(r.refusal));
    default:
        return Result<QueryTable>::failure(r.error);
    }
}

qsizetype LogDatabase::cellBytes(const QString &text)
{
    // The QString itself, and its shared block (a header and UTF-16 text) when it has text.
    constexpr qsizetype BlockHeader = 32;
    return qsizetype(sizeof(QString)) + (text.isEmpty() ? 0 : BlockHeader + 2 * text.size());
}

namespace {

/// How a step ends the read, or nothing when it brought a row.
std::optional<ReadResult::End> stepEnd(sqlite3 *db, sqlite3_stmt *s, ReadControl *control, QString &error)
{
    using End = ReadResult::End;
    if (control && control->cancelled)
        return End::Cancelled;
    const int rc = sqlite3_step(s);
    if (rc == SQLITE_DONE)
        return End::Complete;
    if (rc == SQLITE_ROW)
        return std::nullopt;
    if (control && control->cancelled)
        return End::Cancelled;
    error = lastError(db);
    return End::Failed;
}

/// The cells of the row a statement stands on, into `row`; the memory they take.
qsizetype rowCells(sqlite3_stmt *s, std::vector<QString> &row)
{
    qsizetype bytes = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        row[i] = columnText(s, int(i));
        bytes += LogDatabase::cellBytes(row[i]);
    }
    return bytes;
}

/// Steps through a statement's rows into `out` until they end, a limit cuts
/// them or the read is cancelled.
void readRows(sqlite3 *db, sqlite3_stmt *s, int columns, const ReadLimits &limits, ReadControl *control, ReadResult &out)
{
    using End = ReadResult::End;
    std::vector<QString> row(static_cast<size_t>(columns));
    qsizetype rows = 0;
    qsizetype bytes = 0;
    for (;;) {
        if (const std::optional<End> end = stepEnd(db, s, control, out.error)) {
            out.end = *end;
            break;
        }
        if (limits.maxRows > 0 && rows == limits.maxRows) {
            out.end = End::RowLimit;
            break;
        }
        const qsizetype rowBytes = rowCells(s, row);
        if (limits.maxBytes > 0 && bytes + rowBytes > limits.maxBytes) {
            out.end = End::ByteLimit;
            break;
        }
        for (QString &cell : row)
            out.table.cells.push_back(std::move(cell));
        bytes += rowBytes;
        ++rows;
        if (control)
            control->rows = rows;
    }
}

/// The fields and rows of a prepared statement, within the limits of a read.
void readStatement(sqlite3 *db, sqlite3_stmt *s, const ReadLimits &limits, ReadControl *control, ReadResult &out)
{
    const int columns = sqlite3_column_count(s);
    if (columns == 0) {
        out.error = QStringLiteral("the statement returns no rows");
        return;
    }
    for (int i = 0; i < columns; ++i)
        out.table.fields << QString::fromUtf8(sqlite3_column_name(s, i));

    // No single value may be larger than the whole result may be.
    const ScopedLimit length(db, SQLITE_LIMIT_LENGTH, limits.maxBytes / 2);
    const LogDatabase::Cancellable cancellable(db, control);
    readRows(db, s, columns, limits, control, out);
}

} // namespace

ReadResult LogDatabase::read(const QString &jetText, const ReadLimits &limits, ReadControl *control) const
{
    ReadResult out;
    if (Status s = ready(); !s) {
        out.error = s.error();
        return out;
    }
    try {
        Guarded guard(m_statementMutex, *m_rules);
        Prepared prepared = prepare(m_db, guard.rules(), jetText);
        if (prepared.refusal.refused()) {
            out.end = ReadResult::End::Refused;
            out.refusal = prepared.refusal;
            return out;
        }
        if (!prepared.stmt) {
            out.error = prepared.error;
            return out;
        }
        readStatement(m_db, prepared.stmt.get(), limits, control, out);
    } catch (const std::bad_alloc &) {
        out = ReadResult();
        out.error = QStringLiteral("out of memory");
    }
    return out;
}

Refusal LogDatabase::check(const QString &jetText) const
{
    if (!ready())
        return {};
    Guarded guard(m_statementMutex, *m_rules);
    return prepare(m_db, guard.rules(), jetText).refusal;
}

void LogDatabase::cancel(ReadControl &control) const
{
    std::lock_guard lock(control.mutex);
    control.cancelled = true;
    if (control.running)
        sqlite3_interrupt(m_db);
}
