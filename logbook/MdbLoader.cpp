// glib must come in before mdbtools.h wraps it in extern "C".
#include <glib.h>
#include <mdbtools.h>

#include "MdbLoader.h"

#include "LogDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct MdbCloser {
    void operator()(MdbHandle *h) const { mdb_close(h); }
};
struct TableFreer {
    void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); }
};
struct StmtDeleter {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

constexpr int BindSize = 65536;
constexpr int OffsetMask = 0x1fff;

/// The header every Jet 3/4 (and ACE) file starts with.
bool looksLikeJet(const QString &path, QString *why)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *why = QStringLiteral("file not found: %1").arg(path);
        return false;
    }
    if (!info.isFile()) {
        *why = QStringLiteral("not a file: %1").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() < 2 * MDB_PGSIZE || file.size() % MDB_PGSIZE != 0) {
        *why = QStringLiteral("not a complete Jet database: %1").arg(path);
        return false;
    }
    const QByteArray head = file.read(20);
    if (head.mid(4, 15) != "Standard Jet DB" && head.mid(4, 15) != "Standard ACE DB") {
        *why = QStringLiteral("not a Jet database: %1").arg(path);
        return false;
    }
    return true;
}

QString sqliteType(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return QStringLiteral("INTEGER");
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return QStringLiteral("REAL");
    default:
        return QStringLiteral("TEXT COLLATE JETCI");
    }
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

} // namespace

Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db)
{
    QString why;
    if (!looksLikeJet(mdbPath, &why))
        return Status::failure(why);

    const QByteArray path = QFile::encodeName(mdbPath);
    std::unique_ptr<MdbHandle, MdbCloser> mdb(mdb_open(path.constData(), MDB_NOFLAGS));
    if (!mdb)
        return Status::failure(QStringLiteral("cannot open %1 as a Jet database").arg(mdbPath));
    mdb_set_bind_size(mdb.get(), BindSize);
    mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb.get());

    if (!mdb_read_catalog(mdb.get(), MDB_TABLE))
        return Status::failure(QStringLiteral("cannot read the catalog of %1").arg(mdbPath));
    MdbCatalogEntry *entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && tableName.compare(QString::fromUtf8(e->object_name), Qt::CaseInsensitive) == 0) {
            entry = e;
            break;
        }
    }
    if (!entry)
        return Status::failure(QStringLiteral("no table %1 in %2").arg(tableName, mdbPath));

    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(entry));
    if (!table || !mdb_read_columns(table.get()))
        return Status::failure(QStringLiteral("cannot read the table %1 of %2").arg(tableName, mdbPath));
    const unsigned columnCount = table->num_cols;
    if (columnCount == 0)
        return Status::failure(QStringLiteral("the table %1 has no columns").arg(tableName));

    QString create = QStringLiteral("CREATE TABLE ") + quoted(tableName) + QStringLiteral(" (");
    QString insert = QStringLiteral("INSERT INTO ") + quoted(tableName) + QStringLiteral(" VALUES (");
    std::vector<int> types(columnCount);
    for (unsigned i = 0; i < columnCount; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        types[i] = col->col_type;
        create += (i ? QStringLiteral(", ") : QString()) + quoted(QString::fromUtf8(col->name)) + QLatin1Char(' ') + sqliteType(col->col_type);
        insert += i ? QStringLiteral(", ?") : QStringLiteral("?");
    }
    create += QLatin1Char(')');
    insert += QLatin1Char(')');
    if (Status s = db.exec(create.toUtf8().constData()); !s)
        return s;

    sqlite3_stmt *raw = nullptr;
    const QByteArray insertUtf8 = insert.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), insertUtf8.constData(), -1, &raw, nullptr) != SQLITE_OK)
        return Status::failure(QString::fromUtf8(sqlite3_errmsg(db.handle())));
    std::unique_ptr<sqlite3_stmt, StmtDeleter> stmt(raw);

    std::vector<std::vector<char>> buffers(columnCount, std::vector<char>(BindSize + 1));
    std::vector<int> lengths(columnCount);
    for (unsigned i = 0; i < columnCount; ++i)
        mdb_bind_column(table.get(), int(i + 1), buffers[i].data(), &lengths[i]);
    std::vector<MdbField> fields(columnCount);
    std::vector<char> isNull(columnCount);

    if (Status s = db.exec("BEGIN"); !s)
        return s;
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        // The bound texts do not tell NULL from the empty text; the row's null mask does.
        std::fill(isNull.begin(), isNull.end(), 0);
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb.get(), int(table->cur_row) - 1, &start, &size) == 0 && size > 0) {
            const int cracked = mdb_crack_row(table.get(), start & OffsetMask, size, fields.data());
            for (int f = 0; f < cracked && f < int(columnCount); ++f) {
                if (fields[f].colnum >= 0 && unsigned(fields[f].colnum) < columnCount)
                    isNull[unsigned(fields[f].colnum)] = fields[f].is_null && types[unsigned(fields[f].colnum)] != MDB_BOOL;
            }
        }
        for (unsigned i = 0; i < columnCount; ++i) {
            const int p = int(i + 1);
            if (isNull[i]) {
                sqlite3_bind_null(stmt.get(), p);
                continue;
            }
            std::string_view text(buffers[i].data(), size_t(lengths[i]));
            switch (types[i]) {
            case MDB_BOOL:
            case MDB_BYTE:
            case MDB_INT:
            case MDB_LONGINT:
                sqlite3_bind_int64(stmt.get(), p, std::strtoll(buffers[i].data(), nullptr, 10));
                break;
            case MDB_FLOAT:
            case MDB_DOUBLE:
            case MDB_MONEY:
            case MDB_NUMERIC:
                sqlite3_bind_double(stmt.get(), p, std::strtod(buffers[i].data(), nullptr));
                break;
            case MDB_DATETIME:
                if (text.size() == 19 && text.substr(10) == " 00:00:00")
                    text = text.substr(0, 10);
                sqlite3_bind_text(stmt.get(), p, text.data(), int(text.size()), SQLITE_STATIC);
                break;
            default:
                sqlite3_bind_text(stmt.get(), p, text.data(), int(text.size()), SQLITE_STATIC);
                break;
            }
        }
        if (sqlite3_step(stmt.get()) != SQLITE_DONE) {
            const QString err = QString::fromUtf8(sqlite3_errmsg(db.handle()));
            db.exec("ROLLBACK");
            return Status::failure(err);
        }
        sqlite3_reset(stmt.get());
    }
    return db.exec("COMMIT");
}
