#include "LogDatabase.h"

#include "JetFunctions.h"
#include "JetSql.h"
#include "count/CountEvaluator.h"

#include <sqlite3.h>

namespace {

struct StmtDeleter {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

QString lastError(sqlite3 *db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

/// Translates and prepares a Jet text. First/Last are ordered by row when the
/// statement reads one table; otherwise they take the rows as they come.
Result<Stmt> prepare(sqlite3 *db, const QString &jetText)
{
    QString lastFailure;
    for (const bool byRowid : {true, false}) {
        const Result<QString> sql = JetSql::toSqlite(jetText, JetSql::Options{byRowid});
        if (!sql)
            return Result<Stmt>::failure(sql.error());
        const QByteArray utf8 = sql->toUtf8();
        sqlite3_stmt *raw = nullptr;
        const char *tail = nullptr;
        if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &raw, &tail) == SQLITE_OK && raw) {
            Stmt stmt(raw);
            for (; tail && *tail; ++tail) {
                if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
                    return Result<Stmt>::failure(QStringLiteral("more than one statement"));
            }
            return Result<Stmt>(std::move(stmt));
        }
        if (raw)
            sqlite3_finalize(raw);
        if (!raw && sqlite3_errcode(db) == SQLITE_OK)
            return Result<Stmt>::failure(QStringLiteral("empty statement"));
        lastFailure = lastError(db);
        if (!byRowid || !sql->contains(QLatin1String("_rowid_")))
            break;
    }
    return Result<Stmt>::failure(lastFailure);
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

Result<std::unique_ptr<LogDatabase>> LogDatabase::create()
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const QString why = db ? lastError(db) : QStringLiteral("out of memory");
        sqlite3_close(db);
        return Result<std::unique_ptr<LogDatabase>>::failure(why);
    }
    if (!registerJetFunctions(db)) {
        const QString why = lastError(db);
        sqlite3_close(db);
        return Result<std::unique_ptr<LogDatabase>>::failure(why);
    }
    return Result<std::unique_ptr<LogDatabase>>(std::unique_ptr<LogDatabase>(new LogDatabase(db)));
}

LogDatabase::~LogDatabase()
{
    m_cancelled = true;
    if (m_filler.joinable())
        m_filler.join();
    sqlite3_close(m_db);
}

void LogDatabase::fillInBackground(Fill fill)
{
    {
        std::lock_guard lock(m_fillMutex);
        m_filling = true;
    }
    m_filler = std::thread([this, fill = std::move(fill)] {
        Status status = fill(m_db, m_cancelled);
        std::lock_guard lock(m_fillMutex);
        m_fillStatus = std::move(status);
        m_filling = false;
        m_filled.notify_all();
    });
}

Status LogDatabase::ready() const
{
    std::unique_lock lock(m_fillMutex);
    m_filled.wait(lock, [this] { return !m_filling; });
    return m_fillStatus;
}

sqlite3 *LogDatabase::handle() const
{
    ready();
    return m_db;
}

void LogDatabase::setColumnar(std::shared_ptr<const ColumnarLog> log)
{
    m_counter = log ? std::make_shared<const CountEvaluator>(log) : nullptr;
    m_columnar = std::move(log);
}

Status LogDatabase::exec(const char *sql) const
{
    if (Status s = ready(); !s)
        return s;
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
    Result<Stmt> stmt = prepare(m_db, jetText);
    if (!stmt)
        return Result<QString>::failure(stmt.error());
    sqlite3_stmt *s = stmt->get();
    if (!sqlite3_stmt_readonly(s))
        return Result<QString>::failure(QStringLiteral("not a query"));
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
    if (Status s = ready(); !s)
        return Result<QueryTable>::failure(s.error());
    Result<Stmt> stmt = prepare(m_db, jetText);
    if (!stmt)
        return Result<QueryTable>::failure(stmt.error());
    sqlite3_stmt *s = stmt->get();
    if (!sqlite3_stmt_readonly(s))
        return Result<QueryTable>::failure(QStringLiteral("not a query"));
    QueryTable table;
    const int columns = sqlite3_column_count(s);
    if (columns == 0)
        return Result<QueryTable>::failure(QStringLiteral("the statement returns no rows"));
    for (int i = 0; i < columns; ++i)
        table.fields << QString::fromUtf8(sqlite3_column_name(s, i));
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        for (int i = 0; i < columns; ++i)
            table.cells.push_back(columnText(s, i));
    }
    if (rc != SQLITE_DONE)
        return Result<QueryTable>::failure(lastError(m_db));
    return table;
}
