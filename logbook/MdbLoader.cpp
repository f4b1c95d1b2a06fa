#include "MdbLoader.h"

#include "LogDatabase.h"
#include "MdbReader.h"
#include "ReaderProcess.h"
#include "ReaderStream.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>
#include <string>

namespace {

using mdbreader::Column;
using mdbreader::Kind;
using mdbreader::Value;

struct StmtDeleter {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};

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

/// Writes the rows it receives into a table of the snapshot, in one transaction.
class SnapshotSink : public mdbreader::RowSink {
public:
    SnapshotSink(LogDatabase &db, const QString &table) : m_db(db), m_table(table.toStdString()) {}
    ~SnapshotSink() override
    {
        if (m_inTransaction)
            m_db.exec("ROLLBACK");
    }

    bool columns(const std::vector<Column> &columns) override
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
        if (Status s = m_db.exec(create.c_str()); !s)
            return fail(s.error().toStdString());
        sqlite3_stmt *raw = nullptr;
        if (sqlite3_prepare_v2(m_db.handle(), insert.c_str(), -1, &raw, nullptr) != SQLITE_OK)
            return fail(sqlite3_errmsg(m_db.handle()));
        m_stmt.reset(raw);
        if (Status s = m_db.exec("BEGIN"); !s)
            return fail(s.error().toStdString());
        m_inTransaction = true;
        m_kinds.clear();
        for (const Column &c : columns)
            m_kinds.push_back(c.kind);
        return true;
    }

    bool row(const std::vector<Value> &values) override
    {
        if (!m_stmt || values.size() != m_kinds.size())
            return fail("a row does not match the columns");
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
            return fail(sqlite3_errmsg(m_db.handle()));
        return true;
    }

    std::string error() const override { return m_error; }

    Status finish()
    {
        if (!m_stmt)
            return Status::failure(QStringLiteral("the table came without columns"));
        m_stmt.reset();
        m_inTransaction = false;
        return m_db.exec("COMMIT");
    }

private:
    bool fail(std::string why)
    {
        m_error = std::move(why);
        return false;
    }

    LogDatabase &m_db;
    std::string m_table;
    std::unique_ptr<sqlite3_stmt, StmtDeleter> m_stmt;
    std::vector<Kind> m_kinds;
    bool m_inTransaction = false;
    std::string m_error;
};

/// The checks that need no reader: the file is there and starts like a Jet file.
Status precheck(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Status::failure(QStringLiteral("file not found: %1").arg(path));
    if (!info.isFile())
        return Status::failure(QStringLiteral("not a file: %1").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray head = file.read(20);
    const std::string why = mdbreader::checkHeader(std::string_view(head.constData(), std::size_t(head.size())), std::uint64_t(file.size()));
    if (!why.empty())
        return Status::failure(QStringLiteral("%1: %2").arg(QString::fromStdString(why), path));
    return {};
}

Status readFailure(const QString &path, const std::string &why)
{
    return Status::failure(QStringLiteral("cannot read the logbook %1: %2").arg(path, QString::fromStdString(why)));
}

mdbreader::StreamDecoder::Limits limitsFor(std::uint64_t fileSize)
{
    // A page holds at most about a thousand rows; the rows of a real logbook
    // take less room in the stream than in the file.
    return {fileSize / 2048 * 1024 + 1024, fileSize * 8 + (64u << 20)};
}

QString programFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

} // namespace

QString mdbReaderProgram()
{
    static const QString program = QDir(programFolder()).filePath(QStringLiteral("varkel-reader"));
    return program;
}

Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db)
{
    return loadMdbTable(mdbPath, tableName, db, MdbReaderOptions{});
}

Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db, const MdbReaderOptions &options)
{
    if (Status s = precheck(mdbPath); !s)
        return s;
    const std::uint64_t size = std::uint64_t(QFileInfo(mdbPath).size());
    mdbreader::ReaderRun run;
    run.program = QFile::encodeName(options.program.isEmpty() ? mdbReaderProgram() : options.program).toStdString();
    run.file = QFile::encodeName(mdbPath).toStdString();
    run.table = tableName.toStdString();
    run.seconds = options.seconds >= 0 ? options.seconds : mdbreader::readerSeconds(size);

    SnapshotSink snapshot(db, tableName);
    mdbreader::StreamDecoder decoder(snapshot, limitsFor(size));
    if (const std::string why = mdbreader::runReader(run, decoder); !why.empty())
        return readFailure(mdbPath, why);
    return snapshot.finish();
}

Status loadMdbTableInProcess(const QString &mdbPath, const QString &tableName, LogDatabase &db)
{
    if (Status s = precheck(mdbPath); !s)
        return s;
    SnapshotSink snapshot(db, tableName);
    if (const std::string why = mdbreader::readTable(QFile::encodeName(mdbPath).toStdString(), tableName.toStdString(), snapshot); !why.empty())
        return readFailure(mdbPath, why);
    return snapshot.finish();
}

Status loadTableStream(const void *data, std::size_t size, std::uint64_t fileSize, const QString &tableName, LogDatabase &db)
{
    SnapshotSink snapshot(db, tableName);
    mdbreader::StreamDecoder decoder(snapshot, limitsFor(fileSize));
    if (!decoder.feed(static_cast<const char *>(data), size))
        return Status::failure(QString::fromStdString(decoder.error()));
    if (decoder.readerFailed())
        return Status::failure(QString::fromStdString(decoder.readerError()));
    if (!decoder.complete())
        return Status::failure(QStringLiteral("the table stream ends early"));
    return snapshot.finish();
}

Status loadMdbImage(const void *data, std::size_t size, const QString &tableName, LogDatabase &db)
{
    std::string stream;
    mdbreader::StreamEncoder encoder([&stream](const char *bytes, std::size_t n) {
        stream.append(bytes, n);
        return true;
    });
    const std::string why = mdbreader::readTableFromMemory(data, size, tableName.toStdString(), encoder);
    if (why.empty())
        encoder.finish();
    else
        encoder.fail(why);
    return loadTableStream(stream.data(), stream.size(), size, tableName, db);
}
