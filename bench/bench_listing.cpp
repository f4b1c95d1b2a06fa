// Times the largest listing of a logbook (the contacts of its busiest band),
// filling the result grid's model, sorting it, and exporting 100,000 rows.
//   bench_listing [CONTACTS]     (default 1000000)
#include "bench/BenchSupport.h"
#include "listing/GridRecordset.h"
#include "listing/XlsxExport.h"
#include "logbook/LogbookEngine.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1000000;
    const std::optional<QString> file = bench::logbook(n);
    if (!file)
        return 1;
    const QString path = *file;
    LogbookEngine engine;
    auto t = bench::Clock::now();
    auto db = engine.open(path);
    if (!db)
        return 1;
    const double open = bench::seconds(t);

    t = bench::Clock::now();
    Result<QueryTable> rows = (*db)->database().select(QStringLiteral("SELECT * FROM LOG WHERE (BANDA = '14.0') order by CALLSIGN;"));
    if (!rows)
        return 1;
    const double query = bench::seconds(t);
    const qsizetype count = rows->rowCount();
    t = bench::Clock::now();
    GridRecordset model;
    model.setTable(std::move(rows.value()), false);
    const double fill = bench::seconds(t);
    t = bench::Clock::now();
    model.sort(2, Qt::DescendingOrder);
    const double sort = bench::seconds(t);

    const qsizetype exported = std::min<qsizetype>(count, 100000);
    QStringList fields;
    for (int c = 0; c < model.columnCount(); ++c)
        fields << model.fieldName(c);
    const QString xlsx = QFileInfo(path).dir().filePath(QStringLiteral("listing.xlsx"));
    t = bench::Clock::now();
    if (!writeListingXlsx(xlsx, fields, exported, [&](qsizetype r, int c) { return model.text(int(r), c); }))
        return 1;
    const double exportTime = bench::seconds(t);

    std::printf("contacts %zu: open %.3f s; listing of band 14.0: %lld rows, query %.3f s, model %.3f s, sort %.3f s; "
                "export of %lld rows: %.3f s (%.1f MB)\n",
                n, open, static_cast<long long>(count), query, fill, sort, static_cast<long long>(exported), exportTime,
                double(QFileInfo(xlsx).size()) / 1e6);
    return 0;
}
