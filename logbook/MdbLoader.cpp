#include "logbook/MdbLoader.h"

#include "logbook/ColumnarParts.h"
#include "logbook/LoadChecks.h"
#include "logbook/ProgramFolder.h"
#include "logbook/SnapshotSink.h"
#include "logbook/count/ColumnarLog.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/mdb/ReaderProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <chrono>
#include <memory>
#include <sqlite3.h>
#include <string>
#include <thread>

namespace {

using mdbreader::Column;
using mdbreader::Kind;

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

/// Why the columnar copy cannot be made of a table with these columns: a
/// column named in `textOnly` that is not text, or two columns of one name.
std::string refusedColumns(const std::vector<Column> &columns, const std::vector<std::string> &textOnly, const std::string &table)
{
    if (std::string why = notTextColumn(columns, textOnly, table); !why.empty())
        return why;
    // The snapshot's table could not be made with these.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (sqlite3_stricmp(columns[i].name.c_str(), columns[j].name.c_str()) == 0)
                return "duplicate column name: " + columns[i].name;
        }
    }
    return {};
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

/// Runs one reader per part side by side, each sending the text columns of
/// its share of the table's pages in the columnar form, checked as it arrives
/// into `tables` (one per part). Returns why the reading failed.
std::string readParts(const mdbreader::ReaderRun &base, std::uint64_t size, std::vector<mdbreader::ColumnarTable> &tables,
                      const mdbreader::ColumnarDecoder::ColumnCheck &check)
{
    const unsigned parts = unsigned(tables.size());
    std::atomic<bool> stop{false};
    std::vector<std::string> why(parts);
    const auto read = [&](unsigned k) {
        // Errors come back as values: not even a lack of memory leaves the thread.
        try {
            mdbreader::ReaderRun run = base;
            run.columnar = true;
            run.part = {k, parts};
            if (k > 0)
                run.cancelled = &stop;
            mdbreader::ColumnarDecoder decoder(tables[k], limitsFor(size), check);
            why[k] = mdbreader::runReader(run, decoder);
        } catch (const std::bad_alloc &) {
            why[k] = "not enough memory for the logbook";
        }
        if (!why[k].empty())
            stop = true;
    };
    {
        std::vector<std::jthread> later;
        for (unsigned k = 1; k < parts; ++k)
            later.emplace_back(read, k);
        read(0);
    }
    for (const std::string &w : why) {
        if (!w.empty())
            return w;
    }
    return {};
}

/// Lets `db` fill its SQLite copy when it is first asked for, by the reader
/// once more. The rows must be those the columnar copy was made of: as many,
/// from the file as it was (`unchanged`, when given, tells).
void fillLater(LogDatabase &db, mdbreader::ReaderRun run, std::uint64_t size, const QString &mdbPath, const QString &tableName,
               std::uint64_t rows, std::function<bool()> unchanged, std::function<Status(sqlite3 *)> afterFill)
{
    db.setFill([run = std::move(run), size, mdbPath, tableName, rows, unchanged = std::move(unchanged),
                afterFill = std::move(afterFill)](sqlite3 *handle, const std::atomic<bool> &cancelled) -> Status {
        SnapshotSink snapshot(handle, tableName, &cancelled);
        mdbreader::StreamDecoder decoder(snapshot, limitsFor(size));
        mdbreader::ReaderRun again = run;
        again.cancelled = &cancelled;
        const std::string why = mdbreader::runReader(again, decoder);
        if ((unchanged && !unchanged()) || (why.empty() && decoder.rows() != rows))
            return Status::failure(QStringLiteral("the logbook changed since it was opened: %1").arg(mdbPath));
        if (!why.empty())
            return readFailure(mdbPath, why);
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

Result<std::shared_ptr<const ColumnarLog>>
loadMdbTableColumnarFirst(const QString &mdbPath, const QString &tableName, LogDatabase &db, std::function<Status(sqlite3 *)> afterFill,
                          const MdbReaderOptions &options, const std::vector<std::string> &textOnly, std::function<bool()> unchanged)
{
    using R = Result<std::shared_ptr<const ColumnarLog>>;
    if (Status s = precheck(mdbPath); !s)
        return R::failure(s.error());
    const std::uint64_t size = std::uint64_t(QFileInfo(mdbPath).size());
    // Two readers when there are two cores.
    const unsigned parts = options.parts > 0 ? options.parts : (std::thread::hardware_concurrency() >= 2 ? 2u : 1u);
    std::vector<mdbreader::ColumnarTable> tables(parts);
    const std::string table = tableName.toStdString();
    const auto check = [&textOnly, &table](const std::vector<Column> &columns) { return refusedColumns(columns, textOnly, table); };
    const mdbreader::ReaderRun run = readerRun(mdbPath, tableName, size, options);
    const auto start = std::chrono::steady_clock::now();
    if (const std::string why = readParts(run, size, tables, check); !why.empty())
        return R::failure(readFailure(mdbPath, why).error());
    const auto read = std::chrono::steady_clock::now();
    R log = columnarLogOf(tables);
    if (options.times) {
        options.times->reading = std::chrono::duration<double>(read - start).count();
        options.times->decoding = std::chrono::duration<double>(std::chrono::steady_clock::now() - read).count();
    }
    if (!log)
        return R::failure(readFailure(mdbPath, log.error().toStdString()).error());
    fillLater(db, run, size, mdbPath, tableName, (*log)->rowCount(), std::move(unchanged), std::move(afterFill));
    return log;
}
