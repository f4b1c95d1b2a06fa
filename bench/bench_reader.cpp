// Compares reading a logbook inside the program with reading it through the
// reader process (what the program does), on generated logbooks.
//   bench_reader [CONTACTS ...]     (default: 100000 1000000)
// Prints the best of three runs of each way, in seconds.
#include "BenchSupport.h"
#include "ColumnarLog.h"
#include "LoaderTesting.h"
#include "LogDatabase.h"
#include "MdbLoader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Loader = Status (*)(const QString &, const QString &, LogDatabase &);

double timeOnce(Loader load, const QString &path)
{
    Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
    if (!db) {
        std::fprintf(stderr, "%s\n", qPrintable(db.error()));
        std::exit(1);
    }
    const auto start = std::chrono::steady_clock::now();
    const Status s = load(path, QStringLiteral("LOG"), **db);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!s) {
        std::fprintf(stderr, "%s\n", qPrintable(s.error()));
        std::exit(1);
    }
    return seconds;
}

double best(Loader load, const QString &path)
{
    double b = 1e9;
    for (int i = 0; i < 3; ++i)
        b = std::min(b, timeOnce(load, path));
    return b;
}

Status isolated(const QString &p, const QString &t, LogDatabase &db) { return loadMdbTable(p, t, db); }

/// The columnar copy, as the program's open makes it (readers side by side);
/// `filled` gets the time until the SQLite table filled behind it is ready.
Status columnarFirst(const QString &p, const QString &t, LogDatabase &db)
{
    const Result<std::shared_ptr<const ColumnarLog>> log = loadMdbTableColumnarFirst(p, t, db, nullptr);
    return log ? Status() : Status::failure(log.error());
}

double filledAfter(const QString &path)
{
    double b = 1e9;
    for (int i = 0; i < 3; ++i) {
        Result<std::unique_ptr<LogDatabase>> db = LogDatabase::create();
        const auto start = std::chrono::steady_clock::now();
        if (!db || !columnarFirst(path, QStringLiteral("LOG"), **db) || !(*db)->ready())
            std::exit(1);
        b = std::min(b, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<size_t> sizes = bench::sizes(argc, argv, {100000, 1000000});
    std::printf("reader: %s\n", qPrintable(mdbReaderProgram()));
    std::printf("%10s %9s %14s %13s %9s %15s %13s\n", "contacts", "file MB", "in-process s", "isolated s", "cost", "columnar first",
                "+ SQLite s");
    for (const size_t n : sizes) {
        const std::optional<QString> file = bench::logbook(n);
        if (!file)
            return 1;
        const QString path = *file;
        const double inProcess = best(loadMdbTableInProcess, path);
        const double separate = best(isolated, path);
        const double columnar = best(columnarFirst, path);
        const double filled = filledAfter(path);
        std::printf("%10zu %9.1f %14.3f %13.3f %+8.1f%% %15.3f %13.3f\n", n, double(QFileInfo(path).size()) / 1e6, inProcess, separate,
                    100.0 * (separate - inProcess) / inProcess, columnar, filled);
        std::fflush(stdout);
    }
    return 0;
}
