// Times the counting engine on generated logbooks against the plain route an
// operator would take without the program (mdb-export into the sqlite3 shell)
// and against one straight pass over the rows in memory.
//   bench_engine [CONTACTS ...]     (default: 10000 100000 1000000)
// Logbooks are generated once into /tmp/varkel-bench (seed 42, as bench_counts).
#include "bandwindow/BandStats.h"
#include "bench/BenchSupport.h"
#include "logbook/CountQuery.h"
#include "logbook/MdbLoader.h"
#include "logbook/count/AwardMatrix.h"
#include "logbook/count/ColumnarLog.h"
#include "logbook/jet/JetSql.h"
#include "stats/Computations.h"
#include "stats/CountSql.h"
#include "stats/EntityData.h"
#include "stats/MatrixReport.h"
#include "stats/NeededLists.h"
#include "tools/genlog/LogGenerator.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

using namespace CountSlotIndex;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

/// CPU seconds of this process, every thread included.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

/// Wall and CPU time of one call.
struct Timed {
    double wall;
    double cpu;
};

template<typename F>
Timed timed(F &&f)
{
    const auto t = Clock::now();
    const double c = cpuSeconds();
    f();
    return {seconds(t), cpuSeconds() - c};
}

std::string loadAverage()
{
    FILE *f = std::fopen("/proc/loadavg", "r");
    char buf[128] = {0};
    if (f) {
        if (!std::fgets(buf, sizeof buf, f))
            buf[0] = 0;
        std::fclose(f);
    }
    std::string s(buf);
    while (!s.empty() && s.back() == '\n')
        s.pop_back();
    return s;
}

long statusKb(const char *field)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long kb = -1;
    const size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            kb = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return kb;
}

/// The headless report as an operator runs it: start to exit, best of three,
/// and the peak resident size of the program or its largest reader, as GNU
/// time reports it (a process forked from this one would count this one's
/// memory as its own).
struct Headless {
    double wall = 1e9;
    long peakKb = -1;
    QString problem;
};

Headless headlessReport(const QString &path)
{
    Headless h;
    const std::string program = QFileInfo(mdbReaderProgram()).dir().filePath(QStringLiteral("varkelchecker")).toStdString();
    const std::string file = path.toStdString();
    const std::string peakFile = QDir::temp().filePath(QStringLiteral("varkel-bench/headless-peak.txt")).toStdString();
    const bool haveTime = access("/usr/bin/time", X_OK) == 0;
    for (int i = 0; i < 3; ++i) {
        const auto t = Clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            if (haveTime)
                execl("/usr/bin/time", "time", "-f", "%M", "-o", peakFile.c_str(), program.c_str(), "--report", "DXC", "--format", "json",
                      file.c_str(), static_cast<char *>(nullptr));
            else
                execl(program.c_str(), program.c_str(), "--report", "DXC", "--format", "json", file.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            h.problem = QStringLiteral("%1 --report DXC failed").arg(QString::fromStdString(program));
            return h;
        }
        h.wall = std::min(h.wall, seconds(t));
        if (FILE *f = haveTime ? std::fopen(peakFile.c_str(), "r") : nullptr) {
            long kb = -1;
            if (std::fscanf(f, "%ld", &kb) == 1)
                h.peakKb = std::max(h.peakKb, kb);
            std::fclose(f);
        }
    }
    return h;
}

/// Lets VmHWM start again from the current size.
void resetPeak()
{
    if (FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

/// The counts of a DXC run over `headers`, in the order the run asks them
/// (NOT CONFIRMED slots are differences, not counts).
std::vector<CountRequest> dxcRunTexts(const QStringList &headers)
{
    std::vector<CountRequest> texts{CountSql::totalQsos()};
    for (const QString &band : headers) {
        if (band.trimmed().isEmpty())
            continue;
        for (int r = 0; r < Slots; ++r) {
            if (!isDifference(r))
                texts.push_back(AwardCountSql("DXC", band, r, false));
        }
    }
    for (int r = 0; r < Slots; ++r) {
        if (!isDifference(r))
            texts.push_back(AwardCountSql("DXC", "*", r, false));
    }
    for (int r = 0; r < Slots; ++r) {
        if (!isDifference(r))
            texts.push_back(CountSql::mix("DXC", headers, r, false));
    }
    return texts;
}

/// The Jet texts of counts.
std::vector<QString> textsOf(const std::vector<CountRequest> &requests)
{
    std::vector<QString> texts;
    for (const CountRequest &r : requests)
        texts.push_back(r.text);
    return texts;
}

/// The counts of the QSO grid (every band and slot), for checking the one-pass numbers.
std::vector<CountRequest> qsoGridTexts(const QStringList &headers)
{
    std::vector<CountRequest> texts;
    for (const QString &band : headers) {
        for (int r = 0; r < Slots; ++r)
            texts.push_back(CountSql::qso(band, r, false));
    }
    return texts;
}

int runShell(const std::string &command)
{
    const int rc = std::system(("bash -c '" + command + "'").c_str());
    return rc;
}

// ---- the plain route: mdb-export into the sqlite3 shell ----------------------

struct PlainRoute {
    double load = -1;    ///< mdb-export | sqlite3 into a database file
    double queries = -1; ///< the DXC run's texts in one sqlite3 session
    std::vector<QString> answers;
    QString problem;
};

QString sqliteType(jet4::ColumnType t)
{
    switch (t) {
    case jet4::ColumnType::Long:
        return "INTEGER";
    case jet4::ColumnType::DateTime:
        return "TEXT";
    default:
        return "TEXT COLLATE NOCASE";
    }
}

PlainRoute plainRoute(const QString &mdb, const QString &folder, size_t n, const std::vector<QString> &texts)
{
    PlainRoute route;
    const QString db = QDir(folder).filePath(QStringLiteral("plain%1.sqlite").arg(n));
    const QString schema = QDir(folder).filePath(QStringLiteral("plain%1-schema.sql").arg(n));
    const QString queries = QDir(folder).filePath(QStringLiteral("plain%1-queries.sql").arg(n));
    const QString answers = QDir(folder).filePath(QStringLiteral("plain%1-answers.txt").arg(n));
    QFile::remove(db);
    {
        QFile f(schema);
        if (!f.open(QIODevice::WriteOnly)) {
            route.problem = "cannot write " + schema;
            return route;
        }
        QTextStream out(&f);
        out << "CREATE TABLE LOG (";
        bool first = true;
        for (const jet4::Column &c : genlog::logColumns()) {
            out << (first ? "" : ", ") << QString::fromStdString(c.name) << ' ' << sqliteType(c.type);
            first = false;
        }
        out << ");\nBEGIN;\n";
    }
    {
        // The texts as SQLite reads them: LIKE without wildcards is =, LIKE '*' is
        // IS NOT NULL; the NOCASE columns make = ignore case.
        QFile f(queries);
        if (!f.open(QIODevice::WriteOnly)) {
            route.problem = "cannot write " + queries;
            return route;
        }
        QTextStream out(&f);
        for (const QString &t : texts) {
            const Result<QString> sql = JetSql::toSqlite(t);
            if (!sql || sql->contains("LIKE", Qt::CaseInsensitive) || sql->contains("jet_")) {
                route.problem = "a text needs the program's own functions: " + t;
                return route;
            }
            out << *sql << ";\n";
        }
    }
    auto t = Clock::now();
    const std::string load = "{ cat " + schema.toStdString() + "; mdb-export -I sqlite -D \"%Y-%m-%d %H:%M:%S\" " + mdb.toStdString() +
                             " LOG; echo \"COMMIT;\"; } | sqlite3 " + db.toStdString();
    if (runShell(load) != 0) {
        route.problem = "mdb-export | sqlite3 failed";
        return route;
    }
    route.load = seconds(t);
    t = Clock::now();
    if (runShell("sqlite3 " + db.toStdString() + " < " + queries.toStdString() + " > " + answers.toStdString()) != 0) {
        route.problem = "sqlite3 failed on the texts";
        return route;
    }
    route.queries = seconds(t);
    QFile f(answers);
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : f.readAll().split('\n')) {
            if (!line.trimmed().isEmpty())
                route.answers.push_back(QString::fromUtf8(line.trimmed()));
        }
    }
    QFile::remove(db);
    return route;
}

// ---- one straight pass over the rows in memory -------------------------------

bool sameAscii(const genlog::Text &v, const char *text)
{
    if (!v)
        return false;
    const std::string &s = *v;
    size_t i = 0;
    for (; text[i]; ++i) {
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(text[i])))
            return false;
    }
    return i == s.size();
}

/// Every QSO cell of the 20 bands and 16 slots, and the DXC cells of the
/// bands, FULL and MIX, as sets of entity ids.
struct OnePassGrid {
    std::array<std::array<long, Slots>, Bands> qso{};
    std::array<std::array<std::vector<bool>, Slots>, Bands> dxc;
    std::array<std::vector<bool>, Slots> full, mix;

    long dxcCount(const std::vector<bool> &set) const { return long(std::count(set.begin(), set.end(), true)); }
};

/// What the one pass works out for a row, as it reads it.
struct RowClass {
    int band;        ///< header position, -1 for none
    bool hasBand;    ///< Banda not NULL: FULL
    unsigned modes;  ///< bit ModeClass
    unsigned status; ///< bit QslStatus
    int entity;      ///< DXC id; -1 when NULL, '' or '??'
};

RowClass classify(const genlog::LogRow &row, const std::vector<std::string> &headers, std::unordered_map<std::string, int> &entities)
{
    RowClass c{-1, row.Banda.has_value(), 0, 1u << int(QslStatus::Worked), -1};
    for (size_t b = 0; b < headers.size() && c.hasBand; ++b) {
        if (sameAscii(row.Banda, headers[b].c_str())) {
            c.band = int(b);
            break;
        }
    }
    if (row.Mode) {
        const bool cw = sameAscii(row.Mode, "CW");
        const bool phone = sameAscii(row.Mode, "SSB") || sameAscii(row.Mode, "FM") || sameAscii(row.Mode, "AM");
        c.modes = 1u << int(ModeClass::All);
        if (cw)
            c.modes |= 1u << int(ModeClass::Cw);
        if (phone)
            c.modes |= 1u << int(ModeClass::Phone);
        if (!cw && !phone)
            c.modes |= 1u << int(ModeClass::Data);
    }
    if (sameAscii(row.R, "Y"))
        c.status |= 1u << int(QslStatus::Confirmed);
    if (sameAscii(row.R, "N"))
        c.status |= 1u << int(QslStatus::NotConfirmed);
    if (sameAscii(row.D, "Y"))
        c.status |= 1u << int(QslStatus::Award);
    if (row.DXC && !row.DXC->empty() && *row.DXC != "??") {
        std::string key = *row.DXC;
        for (char &ch : key)
            ch = char(std::tolower(static_cast<unsigned char>(ch)));
        c.entity = entities.emplace(key, int(entities.size())).first->second;
    }
    return c;
}

void addRow(OnePassGrid &g, const RowClass &c)
{
    for (int r = 0; r < Slots; ++r) {
        if (!(c.modes >> int(mode(r)) & 1) || !(c.status >> int(status(r)) & 1))
            continue;
        if (c.band >= 0)
            ++g.qso[size_t(c.band)][size_t(r)];
        if (c.entity < 0 || isDifference(r))
            continue;
        auto mark = [&c](std::vector<bool> &set) {
            if (size_t(c.entity) >= set.size())
                set.resize(size_t(c.entity) + 64);
            set[size_t(c.entity)] = true;
        };
        if (c.band >= 0) {
            mark(g.dxc[size_t(c.band)][size_t(r)]);
            mark(g.mix[size_t(r)]);
        }
        if (c.hasBand)
            mark(g.full[size_t(r)]);
    }
}

/// The pass over the rows as the generator holds them (texts), classifying as it goes.
OnePassGrid onePassOverTexts(const std::vector<genlog::LogRow> &rows, const std::vector<std::string> &headers)
{
    OnePassGrid g;
    std::unordered_map<std::string, int> entities;
    for (const genlog::LogRow &row : rows)
        addRow(g, classify(row, headers, entities));
    return g;
}

/// The tightest loop: rows already reduced to small codes, entity sets as bit masks.
struct Coded {
    int8_t band;
    bool hasBand;
    uint8_t modes, status;
    int16_t entity;
};

struct CodedGrid {
    std::array<std::array<long, Slots>, Bands> qso{};
    std::array<std::array<uint64_t, Slots>, Bands> dxc{};
    std::array<uint64_t, Slots> full{}, mix{};
};

CodedGrid onePassOverCodes(const std::vector<Coded> &rows)
{
    CodedGrid g;
    for (const Coded &c : rows) {
        for (int r = 0; r < Slots; ++r) {
            if (!(c.modes >> int(mode(r)) & 1) || !(c.status >> int(status(r)) & 1))
                continue;
            const uint64_t bit = c.entity >= 0 && !isDifference(r) ? uint64_t(1) << c.entity : 0;
            if (c.band >= 0) {
                ++g.qso[size_t(c.band)][size_t(r)];
                g.dxc[size_t(c.band)][size_t(r)] |= bit;
                g.mix[size_t(r)] |= bit;
            }
            if (c.hasBand)
                g.full[size_t(r)] |= bit;
        }
    }
    return g;
}

QString number(long v) { return QString::number(v); }

/// The answers of a DXC run's texts (dxcRunTexts over every header) from a one-pass grid.
std::vector<QString> dxcAnswers(const OnePassGrid &g, size_t rowCount)
{
    std::vector<QString> out{QString::number(rowCount)};
    for (int c = 0; c < Bands; ++c) {
        for (int r = 0; r < Slots; ++r) {
            if (!isDifference(r))
                out.push_back(number(g.dxcCount(g.dxc[size_t(c)][size_t(r)])));
        }
    }
    for (const bool isMix : {false, true}) {
        for (int r = 0; r < Slots; ++r) {
            if (!isDifference(r))
                out.push_back(number(g.dxcCount(isMix ? g.mix[size_t(r)] : g.full[size_t(r)])));
        }
    }
    return out;
}

/// The rows as mdb-export writes them: every empty text as NULL.
std::vector<genlog::LogRow> asExported(std::vector<genlog::LogRow> rows)
{
    for (genlog::LogRow &row : rows) {
        for (genlog::Text *t : {&row.Callsign, &row.Banda, &row.Mode, &row.MANAGER, &row.S, &row.R, &row.D, &row.DIPTEXT, &row.DXC,
                                &row.WPX, &row.WAZ, &row.ITU, &row.WAC, &row.SQR, &row.NOTE}) {
            if (*t && (*t)->empty())
                t->reset();
        }
    }
    return rows;
}

int differences(const std::vector<QString> &a, const std::vector<QString> &b)
{
    int n = 0;
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        if (i >= a.size() || i >= b.size() || a[i] != b[i])
            ++n;
    }
    return n;
}

void line(const char *what, double s, const char *note = "") { std::printf("  %-46s %9.4f s  %s\n", what, s, note); }

void line(const char *what, const Timed &t, const char *note = "")
{
    std::printf("  %-46s %9.4f s  (cpu %.4f s)  %s\n", what, t.wall, t.cpu, note);
}

/// What every logbook is measured with: the band headers and the texts of the
/// DXC run and the QSO grid.
struct Setup {
    QString folder;
    QStringList headers;
    std::vector<std::string> headerTexts;
    std::vector<CountRequest> dxcTexts;
    std::vector<CountRequest> qsoTexts;
    bool haveTools = false; ///< mdb-export and sqlite3, for the plain route
};

Setup makeSetup()
{
    Setup s;
    s.folder = QDir::temp().filePath(QStringLiteral("varkel-bench"));
    QDir().mkpath(s.folder);
    s.headers = StatsMatrix::startupBands();
    for (const QString &h : s.headers)
        s.headerTexts.push_back(h.toStdString());
    s.dxcTexts = dxcRunTexts(s.headers);
    s.qsoTexts = qsoGridTexts(s.headers);
    s.haveTools = std::system("command -v mdb-export >/dev/null && command -v sqlite3 >/dev/null") == 0;
    return s;
}

/// The generated logbook of `n` contacts, written on first use, and its
/// heading; nothing when it cannot be written.
std::optional<QString> announcedLogbook(const QString &folder, size_t n)
{
    const QString path = QDir(folder).filePath(QStringLiteral("bench%1dt.mdb").arg(n));
    if (!QFileInfo::exists(path)) {
        const auto t = Clock::now();
        const std::string error = genlog::writeGeneratedLogbook(path.toStdString(), n, 42);
        if (!error.empty()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path), error.c_str());
            return std::nullopt;
        }
        std::printf("(generated %s in %.1f s)\n", qPrintable(path), seconds(t));
    }
    std::printf("\n== %zu contacts (%s, %.1f MB) ==\n", n, qPrintable(QFileInfo(path).fileName()), double(QFileInfo(path).size()) / 1e6);
    return path;
}

/// Our figures for one logbook, all measured before any is printed.
struct OurFigures {
    Timed open{};
    Timed firstOpen{}; ///< the first open of the process, its memory still to be had
    ColumnarOpenTimes openTimes;
    long peakOpen = -1;
    Timed runs[3]{}; ///< QSO, DXC and SQR, each the first
    Timed dxcAgain{1e9, 1e9};
    Timed start{};
    Timed needed{};
    size_t neededRows = 0;
    Timed sqrMatrix{};
    size_t matrixRows = 0;
    Timed sqrCells{};
    Timed dxcMatrix{};
    Timed fill{};
    Timed listing{};
    qsizetype listingRows = -1;
    long peakOurs = -1;
};

/// The logbook opened, timed (the best of three opens, each after the last
/// one's copy is let go; the peak memory after the first); nothing (and why,
/// on stderr) when it cannot be opened.
std::shared_ptr<const LogSnapshot> openTimed(LogbookEngine &engine, const QString &path, OurFigures &f)
{
    using Opened = Result<std::shared_ptr<const LogSnapshot>>;
    Opened opened = Opened::failure({});
    ColumnarOpenTimes best;
    for (int i = 0; i < 3; ++i) {
        opened = Opened::failure({});
        engine.clear(); // read again, not handed out as it was
        const Timed t = timed([&] { opened = engine.open(path); });
        if (!opened) {
            std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(opened.error()));
            return nullptr;
        }
        if (i == 0) {
            f.peakOpen = statusKb("VmHWM");
            f.firstOpen = t;
        }
        if (i == 0 || t.wall < f.open.wall) {
            f.open = t;
            best = f.openTimes;
        }
    }
    f.openTimes = best;
    return *opened;
}

/// The grid's statistics runs: each kind once, then DXC again, best of three.
void timeRuns(StatsContext &ctx, OurFigures &f)
{
    const AwardKind kinds[3] = {AwardKind::Qso, AwardKind::Dxc, AwardKind::Sqr};
    for (int k = 0; k < 3; ++k)
        f.runs[k] = timed([&] { runStatistics(ctx, kinds[k]); });
    for (int i = 0; i < 3; ++i) {
        const Timed t = timed([&] { runStatistics(ctx, AwardKind::Dxc); });
        if (t.wall < f.dxcAgain.wall)
            f.dxcAgain = t;
    }
}

/// The windows opened after the grid, then the SQLite copy and its largest listing.
void timeWindows(const std::shared_ptr<const LogSnapshot> &snapshot, const QStringList &headers, OurFigures &f)
{
    // NEEDED after the grid: both chase lists and their tables, from the columnar copy, for
    // the kind with the most entities (locator squares).
    f.needed = timed([&] {
        if (const Result<Needed::Report> r = Needed::report(*snapshot, AwardKind::Sqr, headers, false))
            f.neededRows = size_t(r->tables.qsl.rowCount() + r->tables.bandSlots.rowCount());
    });

    // The award matrix after the grid, from the columnar copy: SQR (the
    // kind with the most entities) as the window shows it, the matrix
    // alone, and DXC with its names and DXCC figures.
    const MatrixReport::Basis sqrBasis{snapshot, AwardKind::Sqr, headers, false};
    f.sqrMatrix = timed([&] {
        if (const auto r = MatrixReport::report(sqrBasis, ModeClass::All))
            f.matrixRows = r->rows.size();
    });
    std::vector<std::string> bandPatterns;
    for (const QString &h : headers)
        bandPatterns.push_back(h.trimmed().isEmpty() ? std::string() : h.toStdString());
    f.sqrCells = timed([&] { AwardMatrix::compute(snapshot->columnar(), {"SQR", bandPatterns, ModeClass::All, false}); });
    (void)EntityData::table(); // read once, as the window has it by then
    f.dxcMatrix = timed([&] { MatrixReport::report({snapshot, AwardKind::Dxc, headers, false}, ModeClass::All); });

    // The SQLite copy is filled the first time it is asked for (the window
    // starts it once a run is over); the listing then runs on it.
    const LogDatabase *db = &snapshot->database();
    f.fill = timed([&] { db->ready(); });
    Result<QueryTable> listing = Result<QueryTable>::failure({});
    f.listing = timed([&] { listing = db->select(QStringLiteral("SELECT * FROM LOG WHERE (BANDA = '14.0') order by CALLSIGN;")); });
    f.listingRows = listing ? listing->rowCount() : -1;
}

void printOurs(const OurFigures &f)
{
    line("open (LogbookEngine::open, best of 3)", f.open);
    line("  the first of the three", f.firstOpen);
    line("  reading: the readers side by side", f.openTimes.reading, "(wall)");
    line("  decoding: their parts into the columnar copy", f.openTimes.decoding, "(wall)");
    line("  the rest: fingerprints, checks", f.open.wall - f.openTimes.reading - f.openTimes.decoding, "(by difference)");
    std::printf("  %-46s %9.1f MB\n", "peak memory (VmHWM) after the open", double(f.peakOpen) / 1024.0);
    line("QSO run (runStatistics, first)", f.runs[0]);
    line("DXC run (runStatistics, first)", f.runs[1]);
    line("SQR run (runStatistics, first)", f.runs[2]);
    line("DXC run again (best of 3, texts compiled)", f.dxcAgain);
    line("START, single-band window, 14.0", f.start);
    line("NEEDED lists, SQR (QSL chase and band slots)", f.needed, qPrintable(QStringLiteral("%1 rows").arg(f.neededRows)));
    line("MATRIX, SQR, MIX (as the window shows it)", f.sqrMatrix, qPrintable(QStringLiteral("%1 rows").arg(f.matrixRows)));
    line("  of which the cells (AwardMatrix::compute)", f.sqrCells);
    line("MATRIX, DXC, MIX (names, DXCC figures)", f.dxcMatrix);
    line("SQLite copy filled when first asked for", f.fill);
    line("largest listing (14.0 by CALLSIGN, SQLite)", f.listing, qPrintable(QStringLiteral("%1 rows").arg(f.listingRows)));
    std::printf("  %-46s %9.1f MB\n", "peak memory (VmHWM) after our runs", double(f.peakOurs) / 1024.0);
    std::printf("  (load average after: %s)\n", loadAverage().c_str());
}

/// What the other routes took, for the ratios.
struct OtherRoutes {
    double sqliteRun = 0;
    PlainRoute plain;
    double passTexts = 0;
    double passCodes = 0;
};

/// The DXC run's texts through the in-process SQLite snapshot, timed; how many
/// answers differ from ours.
int snapshotTexts(const LogDatabase &db, const std::vector<CountRequest> &texts, const std::vector<QString> &ours, OtherRoutes &o)
{
    const auto t = Clock::now();
    int differ = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        const Result<QString> r = db.scalar(texts[i].text, QStringLiteral("Quanti"));
        if (!r || *r != ours[i])
            ++differ;
    }
    o.sqliteRun = seconds(t);
    line("DXC run's texts through the SQLite snapshot", o.sqliteRun,
         qPrintable(QStringLiteral("(%1 texts, %2 differ from ours)").arg(texts.size()).arg(differ)));
    return differ;
}

/// The plain route's load and texts, when its tools are there, with how many answers differ from ours.
void plainRouteLines(const Setup &setup, const QString &path, size_t n, const std::vector<QString> &ours, OtherRoutes &o)
{
    if (setup.haveTools)
        o.plain = plainRoute(path, setup.folder, n, textsOf(setup.dxcTexts));
    else
        o.plain.problem = "mdb-export or sqlite3 is missing";
    if (!o.plain.problem.isEmpty()) {
        std::printf("  plain route not timed: %s\n", qPrintable(o.plain.problem));
        return;
    }
    int differ = 0;
    for (size_t i = 0; i < setup.dxcTexts.size(); ++i) {
        if (i >= o.plain.answers.size() || o.plain.answers[i] != ours[i])
            ++differ;
    }
    line("plain route: mdb-export | sqlite3 (load)", o.plain.load);
    line("plain route: DXC run's texts in sqlite3", o.plain.queries,
         qPrintable(QStringLiteral("(%1 of %2 answers differ from ours)").arg(differ).arg(setup.dxcTexts.size())));
}

/// The headless report, start to exit, beside the plain route; 1 when it failed.
int headlessLines(const QString &path, const PlainRoute &plain)
{
    const Headless headless = headlessReport(path);
    if (!headless.problem.isEmpty()) {
        std::printf("  headless report not timed: %s\n", qPrintable(headless.problem));
        return 1;
    }
    line("headless --report DXC, start to exit (best of 3)", headless.wall);
    if (headless.peakKb >= 0)
        std::printf("  %-46s %9.1f MB  (/usr/bin/time: the program or its largest reader)\n", "  its peak memory",
                    double(headless.peakKb) / 1024.0);
    if (plain.problem.isEmpty())
        std::printf("  %-46s %9.1f x  (%.3f s / %.3f s)\n", "  plain route / headless report", (plain.load + plain.queries) / headless.wall,
                    plain.load + plain.queries, headless.wall);
    return 0;
}

/// The rows as small codes; nothing (and why, on stderr) when they name more
/// entities than a mask holds.
std::optional<std::vector<Coded>> codedRows(const std::vector<genlog::LogRow> &rows, const std::vector<std::string> &headerTexts)
{
    std::unordered_map<std::string, int> entities;
    std::vector<Coded> coded;
    coded.reserve(rows.size());
    for (const genlog::LogRow &row : rows) {
        const RowClass c = classify(row, headerTexts, entities);
        coded.push_back({int8_t(c.band), c.hasBand, uint8_t(c.modes), uint8_t(c.status), int16_t(c.entity)});
    }
    if (entities.size() > 64) {
        std::fprintf(stderr, "more than 64 entities: the coded pass needs wider masks\n");
        return std::nullopt;
    }
    return coded;
}

/// The coded pass's grid with its masks as entity sets.
OnePassGrid gridOfCodes(const CodedGrid &coded)
{
    OnePassGrid g;
    for (int c = 0; c < Bands; ++c) {
        for (int r = 0; r < Slots; ++r)
            g.dxc[size_t(c)][size_t(r)] = std::vector<bool>(64);
    }
    auto bitsToSet = [](uint64_t bits) {
        std::vector<bool> set(64);
        for (int b = 0; b < 64; ++b)
            set[size_t(b)] = bits >> b & 1;
        return set;
    };
    for (int r = 0; r < Slots; ++r) {
        for (int c = 0; c < Bands; ++c)
            g.dxc[size_t(c)][size_t(r)] = bitsToSet(coded.dxc[size_t(c)][size_t(r)]);
        g.full[size_t(r)] = bitsToSet(coded.full[size_t(r)]);
        g.mix[size_t(r)] = bitsToSet(coded.mix[size_t(r)]);
    }
    return g;
}

/// The cells where the one pass, over texts or codes, does not give our grid:
/// QSO cells, DXC cells, FULL and MIX.
int passDifferences(const LogSnapshot &snapshot, const Setup &setup, const OnePassGrid &grid, const CodedGrid &coded, size_t rowCount,
                    const std::vector<QString> &ours)
{
    int differ = 0;
    for (int c = 0; c < Bands; ++c) {
        for (int r = 0; r < Slots; ++r) {
            const QString q = CountQuery(snapshot, setup.qsoTexts[size_t(c * Slots + r)]).value();
            if (q != number(grid.qso[size_t(c)][size_t(r)]) || q != number(coded.qso[size_t(c)][size_t(r)]))
                ++differ;
        }
    }
    differ += differences(dxcAnswers(grid, rowCount), ours);
    differ += differences(dxcAnswers(gridOfCodes(coded), rowCount), ours);
    return differ;
}

/// The one pass over the rows, as texts and as codes, checked against our
/// grid and the plain route's answers; the differences, or nothing when the
/// rows cannot be coded.
std::optional<int> onePassLines(const Setup &setup, const LogSnapshot &snapshot, size_t n, const std::vector<QString> &ours, OtherRoutes &o)
{
    const std::vector<genlog::LogRow> rows = genlog::generate(n, 42);
    auto t = Clock::now();
    const OnePassGrid grid = onePassOverTexts(rows, setup.headerTexts);
    o.passTexts = seconds(t);
    const std::optional<std::vector<Coded>> coded = codedRows(rows, setup.headerTexts);
    if (!coded)
        return std::nullopt;
    t = Clock::now();
    const CodedGrid codedGrid = onePassOverCodes(*coded);
    o.passCodes = seconds(t);

    int failures = passDifferences(snapshot, setup, grid, codedGrid, rows.size(), ours);
    line("one pass over the row texts (QSO + DXC grids)", o.passTexts);
    line("one pass over rows as small codes (the limit)", o.passCodes,
         qPrintable(QStringLiteral("(%1 cells differ from ours)").arg(failures)));
    if (o.plain.problem.isEmpty()) {
        // The plain route's answers are those of the rows as exported.
        const int unexplained =
            differences(dxcAnswers(onePassOverTexts(asExported(rows), setup.headerTexts), rows.size()), o.plain.answers);
        std::printf("  %-46s %d of %zu answers differ\n", "plain route vs one pass, rows with '' as NULL", unexplained,
                    o.plain.answers.size());
        failures += unexplained;
    }
    return failures;
}

void ratioLines(const OurFigures &f, const OtherRoutes &o)
{
    const double oursOpenDxc = f.open.wall + f.runs[1].wall;
    const double plainTotal = o.plain.load + o.plain.queries;
    std::printf("  ratios, open + DXC run:\n");
    if (o.plain.problem.isEmpty())
        std::printf("    ours / plain route            %8.4f   (%.3f s / %.3f s)\n", oursOpenDxc / plainTotal, oursOpenDxc, plainTotal);
    std::printf("    ours / one pass over texts    %8.1f   (%.3f s / %.4f s)\n", oursOpenDxc / o.passTexts, oursOpenDxc, o.passTexts);
    std::printf("    ours / one pass over codes    %8.1f   (%.3f s / %.4f s)\n", oursOpenDxc / o.passCodes, oursOpenDxc, o.passCodes);
    std::printf("  ratios, DXC run alone:\n");
    if (o.plain.problem.isEmpty())
        std::printf("    ours / plain route's texts    %8.4f\n", f.runs[1].wall / o.plain.queries);
    std::printf("    ours / SQLite snapshot        %8.4f\n", f.runs[1].wall / o.sqliteRun);
    std::printf("    ours / one pass over texts    %8.2f\n", f.runs[1].wall / o.passTexts);
    std::printf("    ours / one pass over codes    %8.2f\n", f.runs[1].wall / o.passCodes);
}

/// Every figure of one logbook, printed; the failures found, or nothing when
/// it cannot be opened or its rows cannot be coded.
std::optional<int> benchLogbook(const Setup &setup, size_t n, const QString &path)
{
    resetPeak();
    // ---- ours ----
    const LoadedLog state{QStringLiteral("BENCHDT"), path};
    StatsMatrix matrix;
    OurFigures f;
    MdbReaderOptions readerOptions;
    readerOptions.times = &f.openTimes;
    LogbookEngine engine(readerOptions);
    bench::QuietPrompter prompter;
    StatsContext ctx{state, matrix, engine, prompter};

    std::printf("  (load average before: %s)\n", loadAverage().c_str());
    const std::shared_ptr<const LogSnapshot> snapshot = openTimed(engine, path, f);
    if (!snapshot)
        return std::nullopt;
    timeRuns(ctx, f);
    BandMatrix bandMatrix;
    BandContext band{state, QStringLiteral("14.0"), bandMatrix, engine, prompter};
    f.start = timed([&] { startBandRun(band); });
    timeWindows(snapshot, setup.headers, f);
    f.peakOurs = statusKb("VmHWM");
    printOurs(f);
    int failures = prompter.failures;

    // Our answers to the DXC run's texts, to compare the other routes with.
    std::vector<QString> ours;
    for (const CountRequest &request : setup.dxcTexts)
        ours.push_back(CountQuery(*snapshot, request).value());
    OtherRoutes o;
    failures += snapshotTexts(snapshot->database(), setup.dxcTexts, ours, o);
    plainRouteLines(setup, path, n, ours, o);
    failures += headlessLines(path, o.plain);
    const std::optional<int> pass = onePassLines(setup, *snapshot, n, ours, o);
    if (!pass)
        return std::nullopt;
    ratioLines(f, o);
    std::fflush(stdout);
    return failures + *pass;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<size_t> sizes = bench::sizes(argc, argv, {10000, 100000, 1000000});
    const Setup setup = makeSetup();
#if defined(__POPCNT__) && defined(__SSE4_2__)
    std::printf("counting loops built for x86-64-v2 (POPCNT, SSE4.2)\n");
#else
    std::printf("counting loops built for generic x86-64 (software bit counting)\n");
#endif
    int failures = 0;
    for (const size_t n : sizes) {
        const std::optional<QString> path = announcedLogbook(setup.folder, n);
        if (!path)
            return 1;
        const std::optional<int> found = benchLogbook(setup, n, *path);
        if (!found)
            return 1;
        failures += *found;
    }
    return failures ? 1 : 0;
}
