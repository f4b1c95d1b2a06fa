// Times opening a logbook and the statistics runs of the grid on generated
// logbooks of several sizes, through the same code the window uses.
//   bench_counts [CONTACTS ...]     (default: 10000 100000 200000 1000000)
#include "Computations.h"
#include "LogGenerator.h"

#include <QDir>
#include <QFileInfo>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class QuietPrompter : public Prompter {
public:
    int message(const QString &text, int, const QString &title) override
    {
        std::fprintf(stderr, "message: %s (%s)\n", qPrintable(text), qPrintable(title));
        ++failures;
        return MsgAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    void beep() override {}
    int failures = 0;
};

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

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
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::strtoull(argv[i], nullptr, 10));
    if (sizes.empty())
        sizes = {10000, 100000, 200000, 1000000};

    const QString folder = QDir::temp().filePath(QStringLiteral("varkel-bench"));
    QDir().mkpath(folder);
    std::printf("%10s %9s %9s %11s %11s %11s %9s\n", "contacts", "file MB", "open s", "QSO run s", "DXC run s", "SQR run s", "peak MB");
    for (const size_t n : sizes) {
        const QString path = QDir(folder).filePath(QStringLiteral("bench%1dt.mdb").arg(n));
        if (!QFileInfo::exists(path)) {
            const std::string error = genlog::writeGeneratedLogbook(path.toStdString(), n, 42);
            if (!error.empty()) {
                std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
                return 1;
            }
        }
        LogState state;
        state.LogName = QStringLiteral("BENCHDT");
        state.LogPath = path;
        StatsMatrix matrix;
        LogbookEngine engine;
        QuietPrompter prompter;
        StatsContext ctx{state, matrix, engine, prompter};

        auto t = std::chrono::steady_clock::now();
        if (!engine.open(path)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        const double open = seconds(t);
        double runs[3];
        const int kinds[3] = {6, 0, 5}; // QSO, DXC, SQR
        for (int k = 0; k < 3; ++k) {
            t = std::chrono::steady_clock::now();
            runStatistics(ctx, kinds[k]);
            runs[k] = seconds(t);
        }
        std::printf("%10zu %9.1f %9.3f %11.3f %11.3f %11.3f %9.0f\n", n, double(QFileInfo(path).size()) / 1e6, open, runs[0], runs[1], runs[2],
                    double(peakRssKb()) / 1024.0);
        std::fflush(stdout);
        if (prompter.failures)
            return 1;
    }
    return 0;
}
