// Compares reading a logbook inside the program with reading it through the
// reader process (what the program does), on generated logbooks.
//   bench_reader [CONTACTS ...]     (default: 100000 1000000)
// Prints the best of three runs of each way, in seconds: the floor (every
// page of the file touched), the table read in-process and by the reader
// process, and the columnar open with its reading and decoding apart.
#include "bench/BenchSupport.h"
#include "logbook/MdbLoader.h"
#include "logbook/count/ColumnarLog.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/testing/LoaderTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

/// The parts of the last columnar open.
ColumnarOpenTimes lastOpen;

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

/// The best of three runs; `times` gets the open's parts of that run.
double best(Loader load, const QString &path, ColumnarOpenTimes *times = nullptr)
{
    double b = 1e9;
    for (int i = 0; i < 3; ++i) {
        const double t = timeOnce(load, path);
        if (t < b && times)
            *times = lastOpen;
        b = std::min(b, t);
    }
    return b;
}

Status isolated(const QString &p, const QString &t, LogDatabase &db) { return loadMdbTable(p, t, db); }

/// The columnar copy, as the program's open makes it (readers side by side).
Status columnarFirst(const QString &p, const QString &t, LogDatabase &db)
{
    MdbReaderOptions options;
    options.times = &lastOpen;
    const Result<std::shared_ptr<const ColumnarLog>> log = loadMdbTableColumnarFirst(p, t, db, nullptr, options);
    return log ? Status() : Status::failure(log.error());
}

/// The floor of any reading: the file mapped and one byte of every page
/// touched (the file in the page cache), best of three.
double pagesOnly(const QString &path)
{
    double b = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            std::exit(1);
        const qint64 size = file.size();
        const uchar *data = file.map(0, size);
        if (!data)
            std::exit(1);
        volatile unsigned sum = 0;
        for (qint64 at = 0; at < size; at += 4096)
            sum = sum + data[at];
        file.unmap(const_cast<uchar *>(data));
        b = std::min(b, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return b;
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
    std::printf("%10s %9s %8s %14s %13s %9s %15s %10s %10s %13s\n", "contacts", "file MB", "pages s", "in-process s", "isolated s", "cost",
                "columnar first", "reading s", "decoding s", "+ SQLite s");
    for (const size_t n : sizes) {
        const std::optional<QString> file = bench::logbook(n);
        if (!file)
            return 1;
        const QString path = *file;
        const double pages = pagesOnly(path);
        const double inProcess = best(loadMdbTableInProcess, path);
        const double separate = best(isolated, path);
        ColumnarOpenTimes parts;
        const double columnar = best(columnarFirst, path, &parts);
        const double filled = filledAfter(path);
        std::printf("%10zu %9.1f %8.4f %14.3f %13.3f %+8.1f%% %15.3f %10.3f %10.3f %13.3f\n", n, double(QFileInfo(path).size()) / 1e6,
                    pages, inProcess, separate, 100.0 * (separate - inProcess) / inProcess, columnar, parts.reading, parts.decoding,
                    filled);
        std::fflush(stdout);
    }
    return 0;
}
