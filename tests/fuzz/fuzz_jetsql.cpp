// Jet query texts, as the program writes them and operators type them: the
// translation to SQLite, then the text run on a small snapshot both as a count
// and as a listing. Neither may crash, and no text may change the snapshot or
// reach a file (ATTACH).
#include "logbook/CountQuery.h"
#include "logbook/LogbookEngine.h"
#include "logbook/jet/JetSql.h"
#include "tools/genlog/LogGenerator.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

std::shared_ptr<const LogDatabase> snapshot;
int progressCalls = 0;
sqlite3_int64 changesBefore = 0;

/// Long queries are legal (an operator may join the log with itself); they
/// are cut short so that only real hangs show as timeouts.
int stopLongQueries(void *) { return ++progressCalls > 2000; }

int attachedDatabases(sqlite3 *db)
{
    sqlite3_stmt *s = nullptr;
    int n = 0;
    if (sqlite3_prepare_v2(db, "SELECT name FROM pragma_database_list WHERE name NOT IN ('main', 'temp')", -1, &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW)
            ++n;
    }
    sqlite3_finalize(s);
    return n;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fuzzdt.mdb"));
    if (!dir.isValid() || !genlog::writeGeneratedLogbook(path.toStdString(), 60, 11).empty())
        std::abort();
    static LogbookEngine engine;
    auto db = engine.open(path);
    if (!db) {
        std::fprintf(stderr, "cannot open the fuzzing logbook: %s\n", qPrintable(db.error()));
        std::abort();
    }
    snapshot = sharedDatabase(*db);
    sqlite3 *h = snapshot->handle();
    sqlite3_progress_handler(h, 1000, stopLongQueries, nullptr);
    sqlite3_limit(h, SQLITE_LIMIT_LENGTH, 1 << 20);
    changesBefore = sqlite3_total_changes64(h);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return -1;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<QString> sql = JetSql::toSqlite(text);
    JetSql::toSqlite(text, JetSql::Options{false});
    if (!sql)
        return 0;
    progressCalls = 0;
    snapshot->scalar(text, QStringLiteral("Quanti"));
    progressCalls = 0;
    snapshot->select(text);
    sqlite3 *h = snapshot->handle();
    if (sqlite3_total_changes64(h) != changesBefore) {
        std::fprintf(stderr, "the text changed the snapshot: %s\n", qPrintable(text));
        std::abort();
    }
    if (attachedDatabases(h) != 0) {
        std::fprintf(stderr, "the text attached a database file: %s\n", qPrintable(text));
        std::abort();
    }
    return 0;
}
