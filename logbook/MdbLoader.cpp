#include "MdbLoader.h"

#include "ChildProcess.h"
#include "LogDatabase.h"
#include "LogFingerprint.h"
#include "MdbReader.h"
#include "ReaderProcess.h"
#include "ReaderStream.h"
#include "SqliteHandles.h"
#include "count/ColumnarLogBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <deque>
#include <optional>
#include <thread>
#include <memory>
#include <sqlite3.h>
#include <string>

namespace {

using mdbreader::Column;
using mdbreader::Kind;
using mdbreader::Value;

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
    SnapshotSink(sqlite3 *db, const QString &table, const std::atomic<bool> *cancelled = nullptr)
        : m_handle(db), m_table(table.toStdString()), m_cancelled(cancelled)
    {
    }
    SnapshotSink(LogDatabase &db, const QString &table) : SnapshotSink(db.handle(), table) {}
    ~SnapshotSink() override
    {
        if (m_inTransaction)
            execSqlite(m_handle, "ROLLBACK");
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

    bool row(const std::vector<Value> &values) override
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

    std::string error() const override { return m_error; }

    Status finish()
    {
        if (!m_stmt)
            return Status::failure(QStringLiteral("the table came without columns"));
        m_stmt.reset();
        m_inTransaction = false;
        return execSqlite(m_handle, "COMMIT");
    }

private:
    bool fail(std::string why)
    {
        m_error = std::move(why);
        return false;
    }

    sqlite3 *m_handle;
    std::string m_table;
    const std::atomic<bool> *m_cancelled;
    SqliteStatement m_stmt;
    std::vector<Kind> m_kinds;
    bool m_inTransaction = false;
    std::string m_error;
};

bool sameColumns(const std::vector<Column> &a, const std::vector<Column> &b)
{
    bool same = a.size() == b.size();
    for (std::size_t i = 0; same && i < a.size(); ++i)
        same = a[i].name == b[i].name && a[i].kind == b[i].kind;
    return same;
}

/// The cells of a row for the columnar copy: its texts; NULL and the other columns as none.
void textCells(const std::vector<Value> &values, const std::vector<bool> &text, std::vector<ColumnarLogBuilder::Cell> &cells)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        ColumnarLogBuilder::Cell &cell = cells[i];
        cell.reset();
        if (!text[i] || values[i].null)
            continue;
        const std::string_view t = values[i].text;
        cell.emplace(t.data() ? t.data() : "", t.data() ? t.size() : 0);
    }
}

/// The first of the columns named in `textOnly` (without regard to case)
/// that the table has as anything but text, as the reason to refuse it.
std::string notTextColumn(const std::vector<Column> &columns, const std::vector<std::string> &textOnly, const std::string &table)
{
    for (const Column &c : columns) {
        if (c.kind == Kind::Text)
            continue;
        for (const std::string &name : textOnly) {
            if (sqlite3_stricmp(c.name.c_str(), name.c_str()) == 0)
                return "the column " + c.name + " of table " + table + " is not a text column";
        }
    }
    return {};
}

/// Builds the columnar copy of the text columns from the rows it receives.
class ColumnarSink : public mdbreader::RowSink {
public:
    /// A table whose columns named in `textOnly` are not all text is refused.
    ColumnarSink(std::string table, std::vector<std::string> textOnly) : m_table(std::move(table)), m_textOnly(std::move(textOnly)) {}

    bool columns(const std::vector<Column> &columns) override
    {
        if (m_builder)
            return fail("the columns came twice");
        if (std::string why = notTextColumn(columns, m_textOnly, m_table); !why.empty())
            return fail(std::move(why));
        std::vector<std::string> names;
        std::vector<bool> text;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            // The snapshot's table could not be made with these.
            for (std::size_t j = 0; j < i; ++j) {
                if (sqlite3_stricmp(columns[i].name.c_str(), columns[j].name.c_str()) == 0)
                    return fail("duplicate column name: " + columns[i].name);
            }
            names.push_back(columns[i].name);
            // Declared TEXT COLLATE JETCI in the snapshot, and only ever given texts or NULL.
            text.push_back(columns[i].kind == Kind::Text);
        }
        m_text = text;
        m_columns = columns;
        m_builder = std::make_unique<ColumnarLogBuilder>(std::move(names), std::move(text));
        m_cells.assign(columns.size(), std::nullopt);
        return true;
    }

    bool row(const std::vector<Value> &values) override
    {
        if (!m_builder || values.size() != m_cells.size())
            return fail("a row does not match the columns");
        textCells(values, m_text, m_cells);
        m_builder->addRow(m_cells);
        return true;
    }

    std::string error() const override { return m_error; }

    /// The rows of a later part, gathered while this part's came in.
    bool append(const std::vector<Column> &columns, ColumnarLogBuilder::Segment &&rows)
    {
        if (!m_builder)
            return fail("the table came without columns");
        if (!sameColumns(columns, m_columns))
            return fail("the parts of the table differ in their columns");
        m_builder->append(std::move(rows));
        return true;
    }

    Result<std::shared_ptr<const ColumnarLog>> finish()
    {
        using R = Result<std::shared_ptr<const ColumnarLog>>;
        if (!m_builder)
            return R::failure(QStringLiteral("the table came without columns"));
        std::shared_ptr<const ColumnarLog> log;
        try {
            log = m_builder->finish();
        } catch (const std::bad_alloc &) {
        }
        if (!log)
            return R::failure(QStringLiteral("not enough memory for the logbook"));
        return R(std::move(log));
    }

private:
    bool fail(std::string why)
    {
        m_error = std::move(why);
        return false;
    }

    std::string m_table;
    std::vector<std::string> m_textOnly;
    std::unique_ptr<ColumnarLogBuilder> m_builder;
    std::vector<Column> m_columns;
    std::vector<bool> m_text;
    std::vector<ColumnarLogBuilder::Cell> m_cells;
    std::string m_error;
};

/// Gathers the rows of a later part for the columnar copy while the parts
/// before it are still coming in.
class SegmentSink : public mdbreader::RowSink {
public:
    bool columns(const std::vector<Column> &columns) override
    {
        if (m_segment)
            return fail("the columns came twice");
        m_columns = columns;
        for (const Column &c : columns)
            m_text.push_back(c.kind == Kind::Text);
        m_segment.emplace(m_text);
        m_cells.assign(columns.size(), std::nullopt);
        return true;
    }
    bool row(const std::vector<Value> &values) override
    {
        if (!m_segment || values.size() != m_cells.size())
            return fail("a row does not match the columns");
        textCells(values, m_text, m_cells);
        m_segment->addRow(m_cells);
        return true;
    }
    std::string error() const override { return m_error; }

    const std::vector<Column> &tableColumns() const { return m_columns; }
    ColumnarLogBuilder::Segment &&segment() { return std::move(*m_segment); }
    bool hasColumns() const { return m_segment.has_value(); }

private:
    bool fail(std::string why)
    {
        m_error = std::move(why);
        return false;
    }

    std::vector<Column> m_columns;
    std::vector<bool> m_text;
    std::optional<ColumnarLogBuilder::Segment> m_segment;
    std::vector<ColumnarLogBuilder::Cell> m_cells;
    std::string m_error;
};

/// Hands the parts of a table, each a stream of its own, on as one table:
/// the columns once (every part must have the same), the rows in order.
class PartsSink : public mdbreader::RowSink {
public:
    explicit PartsSink(mdbreader::RowSink &to) : m_to(to) {}

    bool columns(const std::vector<Column> &columns) override
    {
        if (!m_seen) {
            m_seen = true;
            m_columns = columns;
            return m_to.columns(columns);
        }
        const bool same = sameColumns(columns, m_columns);
        if (!same)
            m_error = "the parts of the table differ in their columns";
        return same;
    }
    bool row(const std::vector<Value> &values) override { return m_to.row(values); }
    std::string error() const override { return m_error.empty() ? m_to.error() : m_error; }

private:
    mdbreader::RowSink &m_to;
    std::vector<Column> m_columns;
    bool m_seen = false;
    std::string m_error;
};

/// The table stream as it came from the reader, kept until the snapshot is filled from it.
struct KeptStream {
    static constexpr std::size_t PieceBytes = 4u << 20;
    std::deque<std::string> pieces;

    void append(const char *data, std::size_t size)
    {
        if (pieces.empty() || pieces.back().size() + size > PieceBytes) {
            pieces.emplace_back();
            pieces.back().reserve(std::max(PieceBytes, size));
        }
        pieces.back().append(data, size);
    }
};

/// The checks that need no reader: the file is there and starts like a Jet file.
Status precheck(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Status::failure(QStringLiteral("file not found: %1").arg(path));
    if (!info.isFile())
        return Status::failure(QStringLiteral("not a file: %1").arg(path));
    qint64 size = 0;
    const Result<QByteArray> head = LogFingerprint::readHead(path, 20, size);
    if (!head)
        return Status::failure(QStringLiteral("cannot read %1: %2").arg(path, head.error()));
    const std::string why = mdbreader::checkHeader(std::string_view(head->constData(), std::size_t(head->size())), std::uint64_t(size));
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
    return QFileInfo(QString::fromStdString(ChildProcess::runningProgram())).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

} // namespace

QString mdbReaderProgram()
{
    static const QString program = QDir(programFolder()).filePath(QStringLiteral("varkel-reader" VARKEL_EXECUTABLE_SUFFIX));
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
    run.program = (options.program.isEmpty() ? mdbReaderProgram() : options.program).toStdString();
    run.file = mdbPath.toStdString();
    run.table = tableName.toStdString();
    run.seconds = options.seconds >= 0 ? options.seconds : mdbreader::readerSeconds(size);

    SnapshotSink snapshot(db, tableName);
    mdbreader::StreamDecoder decoder(snapshot, limitsFor(size));
    if (const std::string why = mdbreader::runReader(run, decoder); !why.empty())
        return readFailure(mdbPath, why);
    return snapshot.finish();
}

Result<std::shared_ptr<const ColumnarLog>> loadMdbTableColumnarFirst(const QString &mdbPath, const QString &tableName, LogDatabase &db,
                                                                     std::function<Status(sqlite3 *)> afterFill, const MdbReaderOptions &options,
                                                                     const std::vector<std::string> &textOnly)
{
    using R = Result<std::shared_ptr<const ColumnarLog>>;
    if (Status s = precheck(mdbPath); !s)
        return R::failure(s.error());
    const std::uint64_t size = std::uint64_t(QFileInfo(mdbPath).size());
    mdbreader::ReaderRun base;
    base.program = (options.program.isEmpty() ? mdbReaderProgram() : options.program).toStdString();
    base.file = mdbPath.toStdString();
    base.table = tableName.toStdString();
    base.seconds = options.seconds >= 0 ? options.seconds : mdbreader::readerSeconds(size);

    // Two readers, each converting the rows of half the table's pages, when
    // there are two cores; the first half goes into the columnar copy as it
    // arrives, the second is checked as it arrives and kept until then.
    const unsigned parts = options.parts > 0 ? options.parts : (std::thread::hardware_concurrency() >= 2 ? 2u : 1u);
    std::vector<std::shared_ptr<KeptStream>> kept;
    for (unsigned k = 0; k < parts; ++k)
        kept.push_back(std::make_shared<KeptStream>());
    const auto runFor = [&](unsigned k) {
        mdbreader::ReaderRun run = base;
        run.part = {k, parts};
        run.copy = [stream = kept[k].get()](const char *data, std::size_t n) { stream->append(data, n); };
        return run;
    };

    std::atomic<bool> stop{false};
    std::vector<std::string> laterWhy(parts);
    std::vector<SegmentSink> segments(parts);
    std::vector<std::jthread> later;
    for (unsigned k = 1; k < parts; ++k) {
        later.emplace_back([&, k] {
            // Errors come back as values: not even a lack of memory leaves the thread.
            try {
                mdbreader::ReaderRun run = runFor(k);
                run.cancelled = &stop;
                mdbreader::StreamDecoder decoder(segments[k], limitsFor(size));
                laterWhy[k] = mdbreader::runReader(run, decoder);
            } catch (const std::bad_alloc &) {
                laterWhy[k] = "not enough memory for the logbook";
            }
        });
    }
    ColumnarSink columnar(base.table, textOnly);
    PartsSink intoColumnar(columnar);
    std::string why;
    {
        mdbreader::StreamDecoder decoder(intoColumnar, limitsFor(size));
        why = mdbreader::runReader(runFor(0), decoder);
    }
    if (!why.empty())
        stop = true;
    for (std::jthread &t : later)
        t.join();
    for (unsigned k = 1; k < parts && why.empty(); ++k)
        why = laterWhy[k];
    if (!why.empty())
        return R::failure(readFailure(mdbPath, why).error());
    // The later parts, gathered as they came, follow in order.
    for (unsigned k = 1; k < parts; ++k) {
        if (!segments[k].hasColumns() || !columnar.append(segments[k].tableColumns(), segments[k].segment()))
            return R::failure(readFailure(mdbPath, "the parts of the table differ in their columns").error());
    }
    R log = columnar.finish();
    if (!log)
        return log;

    // The same streams, checked once more, go into the SQLite copy when it is
    // first asked for; each piece is let go as soon as its rows are in.
    db.setFill([kept, size, tableName, afterFill = std::move(afterFill)](sqlite3 *handle, const std::atomic<bool> &cancelled) -> Status {
        SnapshotSink snapshot(handle, tableName, &cancelled);
        PartsSink parts(snapshot);
        for (const std::shared_ptr<KeptStream> &stream : kept) {
            mdbreader::StreamDecoder decoder(parts, limitsFor(size));
            while (!stream->pieces.empty()) {
                const std::string &piece = stream->pieces.front();
                if (!decoder.feed(piece.data(), piece.size()))
                    return Status::failure(QString::fromStdString(decoder.error()));
                stream->pieces.pop_front();
            }
            if (!decoder.complete())
                return Status::failure(QStringLiteral("the table stream ends early"));
        }
        if (Status s = snapshot.finish(); !s)
            return s;
        return afterFill ? afterFill(handle) : Status();
    });
    return log;
}

Status loadMdbTableInProcess(const QString &mdbPath, const QString &tableName, LogDatabase &db)
{
    if (Status s = precheck(mdbPath); !s)
        return s;
    SnapshotSink snapshot(db, tableName);
    if (const std::string why = mdbreader::readTable(mdbPath.toStdString(), tableName.toStdString(), snapshot); !why.empty())
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
