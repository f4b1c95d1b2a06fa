// Times the window following its logbook: from the last write of a contact
// appended (or deleted) by another program to the grid counted again, and the
// CPU the program uses in an idle minute while it follows an unchanged file.
//   bench_live [--idle SECONDS] [CONTACTS ...]   (default: 100000 1000000; idle 60 s)
// Runs the real window offscreen. Logbooks are generated into /tmp/varkel-bench.
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "bench/BenchSupport.h"
#include "print/PrinterPort.h"
#include "stats/Computations.h"
#include "tools/jet4/Jet4Writer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

/// The generated logbook of `contacts` contacts with one contact more at its end.
std::optional<QString> appended(size_t contacts)
{
    const QString path = QDir::temp().filePath(QStringLiteral("varkel-bench/bench%1plus1dt.mdb").arg(contacts));
    if (QFileInfo::exists(path))
        return path;
    jet4::Jet4Writer writer("LOG", genlog::logColumns());
    genlog::LogRow last;
    genlog::generate(contacts, 42, [&](const genlog::LogRow &r) {
        writer.addRow(genlog::toValues(r));
        last = r;
    });
    last.ID += 1;
    last.DXC = "XX9NEW";
    last.Callsign = "XX9A";
    writer.addRow(genlog::toValues(last));
    const std::string error = writer.save(path.toStdString());
    if (!error.empty()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
        return std::nullopt;
    }
    return path;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Writes `bytes` over the file in place, as the host program writes its pages.
bool overwrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || f.write(bytes) != bytes.size() || !f.resize(bytes.size()))
        return false;
    f.close();
    return true;
}

/// CPU seconds of this process, every thread included.
double cpuOfProcess()
{
#ifdef _WIN32
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
#else
    // The reader processes the program starts count too, once they have ended.
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage u{};
        getrusage(who, &u);
        total += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    return total;
#endif
}

/// Runs the event loop for `ms` milliseconds.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

/// Runs the event loop until the process has used almost no CPU for a second
/// (the SQLite copy a run fills in the background has filled), at most
/// `limitSeconds`; gives the seconds it waited.
double untilQuiet(int limitSeconds = 120)
{
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const double cpu = cpuOfProcess();
        idle(1000);
        if (cpuOfProcess() - cpu < 0.02 || waited.elapsed() > limitSeconds * 1000)
            return double(waited.elapsed()) / 1000 - 1;
    }
}

/// Wall and CPU seconds of the steps of one update, each the fastest of three.
void breakdown(MainController &controller, const QString &log)
{
    const auto time = [](const char *what, const std::function<void()> &step) {
        double wall = 1e9, cpu = 1e9;
        for (int i = 0; i < 3; ++i) {
            const double c = cpuOfProcess();
            const auto t = bench::Clock::now();
            step();
            wall = std::min(wall, bench::seconds(t));
            cpu = std::min(cpu, cpuOfProcess() - c);
        }
        std::printf("    %-34s %8.3f s wall %8.3f s CPU\n", what, wall, cpu);
    };
    const auto shown = controller.shownLog();
    const QStringList headers = controller.matrix().headers();
    time("read the file (a fresh engine)", [&] {
        LogbookEngine engine;
        (void)engine.open(log);
    });
    const LoadedLog state = controller.state();
    time("count the DXC run again", [&] {
        StatsMatrix fresh;
        bench::QuietPrompter quiet;
        LogbookEngine &engine = controller.engine();
        engine.hold();
        runDetached(fresh, state, engine, quiet, AwardKind::Dxc, headers, false);
        engine.release();
    });
    time("NOT CONFIRMED hints (chase lists)", [&] { (void)Needed::lists(*shown, AwardKind::Dxc, headers, false); });
    time("new entities (both versions)", [&] { (void)LiveUpdate::newEntities(*shown, *shown, AwardKind::Dxc, headers, false); });
    std::fflush(stdout);
}

/// Prints nothing.
class NoPrinter : public PrinterPort {
public:
    QPrinter *printer() override { return nullptr; }
};

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int idleSeconds = 60;
    std::vector<char *> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--idle") == 0 && i + 1 < argc)
            idleSeconds = std::atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    QApplication app(argc, argv);
    const std::vector<size_t> sizes = bench::sizes(int(rest.size()), rest.data(), {100000, 1000000});

    std::printf("%10s %6s %14s %14s %10s\n", "contacts", "change", "write->grid s", "after quiet s", "CPU s");
    for (const size_t contacts : sizes) {
        const std::optional<QString> base = bench::logbook(contacts);
        const std::optional<QString> plus = appended(contacts);
        if (!base || !plus)
            return 1;
        const QByteArray versions[2] = {bytesOf(*base), bytesOf(*plus)};
        const QString folder = QDir::temp().filePath(QStringLiteral("varkel-bench/live"));
        QDir().mkpath(folder);
        const QString log = QDir(folder).filePath(QStringLiteral("livedt.mdb"));
        if (!overwrite(log, versions[0]))
            return 1;

        bench::QuietPrompter prompter;
        NoPrinter printer;
        MainController controller(prompter, folder);
        MainWindow window(controller, nullptr, &printer);
        controller.setLive(true);
        window.show();
        controller.startUp({log, {1600, 1000}, QStringLiteral("BENCH")});
        controller.runStats(0); // DXC
        // The operator looks at the grid long before the next contact: what a
        // run starts in the background has ended.
        std::printf("%10zu busy for %.1f s after the run (the SQLite copy filling)\n", contacts, untilQuiet());

        QElapsedTimer sinceWrite;
        QEventLoop waiting;
        QObject::connect(&controller, &MainController::logbookUpdated, &waiting, [&] { waiting.quit(); });
        for (int round = 0; round < 4; ++round) {
            const int next = (round + 1) % 2;
            if (!overwrite(log, versions[next]))
                return 1;
            sinceWrite.start();
            const double cpu = cpuOfProcess();
            QTimer::singleShot(60000, &waiting, &QEventLoop::quit);
            waiting.exec();
            const double total = double(sinceWrite.elapsed()) / 1000;
            std::printf("%10zu %6s %14.3f %14.3f %10.3f\n", contacts, next ? "+1" : "-1", total,
                        total - controller.watcher().quietMs() / 1000.0, cpuOfProcess() - cpu);
            std::fflush(stdout);
            idle(300);
        }
        breakdown(controller, log);
        if (prompter.failures)
            return 1;
        if (contacts == sizes.back() && idleSeconds > 0) {
            for (const bool live : {true, false}) {
                controller.setLive(live);
                std::printf("LIVE %s: busy for %.1f s after the last update\n", live ? "on " : "off", untilQuiet());
                const double cpu = cpuOfProcess();
                idle(idleSeconds * 1000);
                std::printf("idle %d s, LIVE %s: %.3f s CPU (%.4f %% of one core)\n", idleSeconds, live ? "on " : "off",
                            cpuOfProcess() - cpu, 100 * (cpuOfProcess() - cpu) / idleSeconds);
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
