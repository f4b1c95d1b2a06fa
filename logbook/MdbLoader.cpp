#include "MdbLoader.h"

#include "ChildProcess.h"
#include "ColumnarLogBuilder.h"
#include "LoadChecks.h"
#include "LogDatabase.h"
#include "ReaderProcess.h"
#include "SnapshotSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>
#include <thread>

namespace {

using mdbreader::Column;
using mdbreader::Kind;
using mdbreader::Value;

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

namespace {

/// The reader run of the whole table that `options` ask for.
mdbreader::ReaderRun readerRun(const QString &mdbPath, const QString &tableName, std::uint64_t size, const MdbReaderOptions &options)
{
    mdbreader::ReaderRun run;
    run.program = (options.program.isEmpty() ? mdbReaderProgram() : options.program).toStdString();
    run.file = mdbPath.toStdString();
    run.table = tableName.toStdString();
    run.seconds = options.seconds >= 0 ? options.seconds : mdbreader::readerSeconds(size);
    return run;
}

/// Runs one reader per part side by side, each converting the rows of its
/// share of the table's pages: part 0 goes into `columnar` as it arrives, the
/// later parts are checked as they arrive and appended in order at the end.
/// Every stream is copied into `kept`. Returns why the reading failed.
std::string readParts(const mdbreader::ReaderRun &base, std::uint64_t size, ColumnarSink &columnar,
                      const std::vector<std::shared_ptr<KeptStream>> &kept)
{
    const unsigned parts = unsigned(kept.size());
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
        return why;
    for (unsigned k = 1; k < parts; ++k) {
        if (!segments[k].hasColumns() || !columnar.append(segments[k].tableColumns(), segments[k].segment()))
            return "the parts of the table differ in their columns";
    }
    return {};
}

/// Lets `db` fill its SQLite copy from the kept streams, checked once more,
/// when it is first asked for; each piece is let go as soon as its rows are in.
void fillLater(LogDatabase &db, std::vector<std::shared_ptr<KeptStream>> kept, std::uint64_t size, const QString &tableName,
               std::function<Status(sqlite3 *)> afterFill)
{
    db.setFill([kept = std::move(kept), size, tableName, afterFill = std::move(afterFill)](sqlite3 *handle,
                                                                                           const std::atomic<bool> &cancelled) -> Status {
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
}

} // namespace

Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db, const MdbReaderOptions &options)
{
    if (Status s = precheck(mdbPath); !s)
        return s;
    const std::uint64_t size = std::uint64_t(QFileInfo(mdbPath).size());
    SnapshotSink snapshot(db, tableName);
    mdbreader::StreamDecoder decoder(snapshot, limitsFor(size));
    if (const std::string why = mdbreader::runReader(readerRun(mdbPath, tableName, size, options), decoder); !why.empty())
        return readFailure(mdbPath, why);
    return snapshot.finish();
}

Result<std::shared_ptr<const ColumnarLog>> loadMdbTableColumnarFirst(const QString &mdbPath, const QString &tableName, LogDatabase &db,
                                                                     std::function<Status(sqlite3 *)> afterFill,
                                                                     const MdbReaderOptions &options,
                                                                     const std::vector<std::string> &textOnly)
{
    using R = Result<std::shared_ptr<const ColumnarLog>>;
    if (Status s = precheck(mdbPath); !s)
        return R::failure(s.error());
    const std::uint64_t size = std::uint64_t(QFileInfo(mdbPath).size());
    // Two readers when there are two cores.
    const unsigned parts = options.parts > 0 ? options.parts : (std::thread::hardware_concurrency() >= 2 ? 2u : 1u);
    std::vector<std::shared_ptr<KeptStream>> kept;
    for (unsigned k = 0; k < parts; ++k)
        kept.push_back(std::make_shared<KeptStream>());
    ColumnarSink columnar(tableName.toStdString(), textOnly);
    if (const std::string why = readParts(readerRun(mdbPath, tableName, size, options), size, columnar, kept); !why.empty())
        return R::failure(readFailure(mdbPath, why).error());
    R log = columnar.finish();
    if (log)
        fillLater(db, std::move(kept), size, tableName, std::move(afterFill));
    return log;
}
