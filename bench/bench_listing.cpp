// Times the largest listing of a logbook (the contacts of its busiest band),
// filling the result grid's model, sorting it, and exporting 100,000 rows.
//   bench_listing [CONTACTS]     (default 1000000)
#include "GridRecordset.h"
#include "LogGenerator.h"
#include "LogbookEngine.h"
#include "XlsxExport.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {
double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
} // namespace

int main(int argc, char **argv)
{
    const size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const QString folder = QDir::temp().filePath(QStringLiteral("varkel-bench"));
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(QStringLiteral("bench%1dt.mdb").arg(n));
    if (!QFileInfo::exists(path) && !genlog::writeGeneratedLogbook(path.toStdString(), n, 42).empty())
        return 1;
    LogbookEngine engine;
    auto t = std::chrono::steady_clock::now();
    auto db = engine.open(path);
    if (!db)
        return 1;
    const double open = seconds(t);

    t = std::chrono::steady_clock::now();
    Result<QueryTable> rows = (*db)->select(QStringLiteral("SELECT * FROM LOG WHERE (BANDA = '14.0') order by CALLSIGN;"));
    if (!rows)
        return 1;
    const double query = seconds(t);
    const qsizetype count = rows->rowCount();
    t = std::chrono::steady_clock::now();
    GridRecordset model;
    model.setTable(std::move(rows.value()), false);
    const double fill = seconds(t);
    t = std::chrono::steady_clock::now();
    model.sort(2, Qt::DescendingOrder);
    const double sort = seconds(t);

    const qsizetype exported = std::min<qsizetype>(count, 100000);
    QStringList fields;
    for (int c = 0; c < model.columnCount(); ++c)
        fields << model.fieldName(c);
    const QString xlsx = QDir(folder).filePath(QStringLiteral("listing.xlsx"));
    t = std::chrono::steady_clock::now();
    if (!writeListingXlsx(xlsx, fields, exported, [&](qsizetype r, int c) { return model.text(int(r), c); }))
        return 1;
    const double exportTime = seconds(t);

    std::printf("contacts %zu: open %.3f s; listing of band 14.0: %lld rows, query %.3f s, model %.3f s, sort %.3f s; "
                "export of %lld rows: %.3f s (%.1f MB)\n",
                n, open, static_cast<long long>(count), query, fill, sort, static_cast<long long>(exported), exportTime,
                double(QFileInfo(xlsx).size()) / 1e6);
    return 0;
}
