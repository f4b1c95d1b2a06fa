// Times opening a logbook and the statistics runs of the grid on generated
// logbooks of several sizes, through the same code the window uses.
//   bench_counts [CONTACTS ...]     (default: 10000 100000 200000 1000000)
#include "bench/BenchSupport.h"
#include "stats/Computations.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

long peakRssKb()
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    }
    std::fclose(f);
    return kb;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<size_t> sizes = bench::sizes(argc, argv, {10000, 100000, 200000, 1000000});
    std::printf("%10s %9s %9s %11s %11s %11s %9s\n", "contacts", "file MB", "open s", "QSO run s", "DXC run s", "SQR run s", "peak MB");
    for (const size_t n : sizes) {
        const std::optional<QString> file = bench::logbook(n);
        if (!file)
            return 1;
        const QString path = *file;
        const LoadedLog state{QStringLiteral("BENCHDT"), path};
        StatsMatrix matrix;
        LogbookEngine engine;
        bench::QuietPrompter prompter;
        StatsContext ctx{state, matrix, engine, prompter};

        auto t = bench::Clock::now();
        if (!engine.open(path)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        const double open = bench::seconds(t);
        double runs[3];
        const AwardKind kinds[3] = {AwardKind::Qso, AwardKind::Dxc, AwardKind::Sqr};
        for (int k = 0; k < 3; ++k) {
            t = bench::Clock::now();
            runStatistics(ctx, kinds[k]);
            runs[k] = bench::seconds(t);
        }
        std::printf("%10zu %9.1f %9.3f %11.3f %11.3f %11.3f %9.0f\n", n, double(QFileInfo(path).size()) / 1e6, open, runs[0], runs[1],
                    runs[2], double(peakRssKb()) / 1024.0);
        std::fflush(stdout);
        if (prompter.failures)
            return 1;
    }
    return 0;
}
