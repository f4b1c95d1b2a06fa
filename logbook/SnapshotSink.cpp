#include "logbook/SnapshotSink.h"

#include "logbook/jet/LogDatabase.h"

#include <sqlite3.h>

using mdbreader::Column;
using mdbreader::Kind;
using mdbreader::Value;

namespace {

std::string sqlName(std::string_view name)
{
    std::string q = "\"";
    for (const char c : name) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return q + '"';
}

const char *sqliteType(Kind kind)
{
    switch (kind) {
    case Kind::Integer:
        return "INTEGER";
    case Kind::Real:
        return "REAL";
    case Kind::Text:
        break;
    }
    return "TEXT COLLATE JETCI";
}

} // namespace

SnapshotSink::SnapshotSink(sqlite3 *db, const QString &table, const std::atomic<bool> *cancelled)
    : m_handle(db), m_table(table.toStdString()), m_cancelled(cancelled)
{
}

SnapshotSink::SnapshotSink(LogDatabase &db, const QString &table) : SnapshotSink(db.handle(), table) {}

SnapshotSink::~SnapshotSink()
{
    if (m_inTransaction)
        execSqlite(m_handle, "ROLLBACK");
}

bool SnapshotSink::columns(const std::vector<Column> &columns)
{
    if (m_stmt)
        return fail("the columns came twice");
    std::string create = "CREATE TABLE " + sqlName(m_table) + " (";
    std::string insert = "INSERT INTO " + sqlName(m_table) + " VALUES (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        create += (i ? ", " : "") + sqlName(columns[i].name) + ' ' + sqliteType(columns[i].kind);
        insert += i ? ", ?" : "?";
    }
    create += ')';
    insert += ')';
    if (Status s = execSqlite(m_handle, create.c_str()); !s)
        return fail(s.error().toStdString());
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(m_handle, insert.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        return fail(sqlite3_errmsg(m_handle));
    m_stmt.reset(raw);
    if (Status s = execSqlite(m_handle, "BEGIN"); !s)
        return fail(s.error().toStdString());
    m_inTransaction = true;
    m_kinds.clear();
    for (const Column &c : columns)
        m_kinds.push_back(c.kind);
    return true;
}

bool SnapshotSink::row(const std::vector<Value> &values)
{
    if (!m_stmt || values.size() != m_kinds.size())
        return fail("a row does not match the columns");
    if (m_cancelled && m_cancelled->load(std::memory_order_relaxed))
        return fail("cancelled");
    sqlite3_stmt *s = m_stmt.get();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int p = int(i + 1);
        const Value &v = values[i];
        if (v.null) {
            sqlite3_bind_null(s, p);
            continue;
        }
        switch (m_kinds[i]) {
        case Kind::Integer:
            sqlite3_bind_int64(s, p, v.integer);
            break;
        case Kind::Real:
            sqlite3_bind_double(s, p, v.real);
            break;
        case Kind::Text:
            // A null pointer would bind NULL; the empty text is not NULL.
            sqlite3_bind_text(s, p, v.text.data() ? v.text.data() : "", int(v.text.size()), SQLITE_STATIC);
            break;
        }
    }
    const int rc = sqlite3_step(s);
    sqlite3_reset(s);
    if (rc != SQLITE_DONE)
        return fail(sqlite3_errmsg(m_handle));
    return true;
}

Status SnapshotSink::finish()
{
    if (!m_stmt)
        return Status::failure(QStringLiteral("the table came without columns"));
    m_stmt.reset();
    m_inTransaction = false;
    return execSqlite(m_handle, "COMMIT");
}

bool SnapshotSink::fail(std::string why)
{
    m_error = std::move(why);
    return false;
}
