// --matrix read back in every format, for every kind and class, on a
// generated logbook with case variants, '??', '' and NULL entities, NULL and
// '' bands and modes, deleted and unknown DXC texts: each cell against a
// plain loop over the rows, each band's totals against the grid's WORKED and
// CONFIRMED cells of the same band and class (--report), the DXCC figures
// and the Challenge against their own loops.
#include "app/HeadlessReport.h"
#include "stats/EntityData.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/CsvFields.h"
#include "tests/support/ReferenceCounts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace CountSlotIndex;

namespace {

const QStringList KindNames = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};
const QStringList ClassNames = {"CW", "PHONE", "DATA", "MIX"};
/// Position 1 blank; "7" and "2m" labels the generator writes besides the presets'.
const QString BandArgument = QStringLiteral("14.0,,7.0,2M,1*,10G,7");

/// What a matrix output says, whatever its format.
struct ReadBack {
    QStringList bands;
    std::map<std::string, QStringList> cells; ///< folded entity -> C/W/"" per band
    std::map<std::string, QString> names;     ///< DXC: folded entity -> name ("" for none)
    std::map<std::string, std::pair<int, int>> rowTotals;
    std::vector<long> worked, confirmed;
    std::vector<long> dxcc; ///< worked all, current, deleted, none; confirmed the same; Challenge
};

struct Outcome {
    int status = -1;
    QString out, err;
};

class HeadlessMatrix : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_log = new counttest::OpenedLog(openLog());
        s_bands = BandArgument.split(QLatin1Char(','));
    }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }

    static counttest::OpenedLog openLog()
    {
        // Deleted entities (East Germany as DM, in two spellings) and a text that names none.
        std::vector<genlog::LogRow> extra;
        extra.push_back(makeRow("14.0", "CW", "Y", "N", "dm"));
        extra.push_back(makeRow("21.0", "SSB", "N", "N", "DM"));
        extra.push_back(makeRow("7.0", "RTTY", "N", "N", "Dm"));
        extra.push_back(makeRow("14.0", "FT8", "Y", "N", "QQ9"));
        extra.push_back(makeRow("50", "CW", "Y", "N", "zs8"));
        extra.push_back(makeRow("28.0", "cw", "Y", "N", "Zs8"));
        counttest::OpenedLog log = counttest::openGenerated(2500, 31);
        log.rows.insert(log.rows.end(), extra.begin(), extra.end());
        for (size_t i = 0; i < log.rows.size(); ++i)
            log.rows[i].ID = int32_t(i + 1);
        log.folder->write(log.rows);
        return log;
    }

    static Outcome run(const QStringList &arguments)
    {
        Outcome r;
        const auto options = HeadlessReport::parseArguments(arguments + QStringList{logPath()});
        if (!options) {
            r.err = options.error();
            r.status = 2;
            return r;
        }
        QTextStream out(&r.out), err(&r.err);
        r.status = HeadlessReport::run(*options, s_log->folder->folder(), out, err);
        return r;
    }

    static QString logPath() { return s_log->folder->path(QStringLiteral("testdt.mdb")); }

    static counttest::OpenedLog *s_log;
    static QStringList s_bands;
};

counttest::OpenedLog *HeadlessMatrix::s_log = nullptr;
QStringList HeadlessMatrix::s_bands;

std::string key(const QString &entity) { return reference::folded(entity.toStdString()); }

/// The fields of one line of the table: entity, [name, continent,] bands..., worked, confirmed.
void readTableLine(ReadBack &b, const QStringList &f, bool named)
{
    const qsizetype first = named ? 3 : 1;
    const qsizetype n = b.bands.size();
    if (f[0] == QLatin1String("WORKED") || f[0] == QLatin1String("CONFIRMED")) {
        std::vector<long> &totals = f[0] == QLatin1String("WORKED") ? b.worked : b.confirmed;
        for (qsizetype c = 0; c < n; ++c)
            totals.push_back(f[first + c].toLong());
        return;
    }
    const std::string k = key(f[0]);
    b.cells[k] = f.mid(first, n);
    if (named)
        b.names[k] = f[1];
    b.rowTotals[k] = {f[first + n].toInt(), f[first + n + 1].toInt()};
}

ReadBack readJson(const QString &out)
{
    ReadBack b;
    const QJsonObject root = QJsonDocument::fromJson(out.toUtf8()).object();
    for (const QJsonValue v : root.value("bands").toArray()) {
        b.bands << v.toObject().value("band").toString();
        b.worked.push_back(v.toObject().value("worked").toInteger());
        b.confirmed.push_back(v.toObject().value("confirmed").toInteger());
    }
    for (const QJsonValue v : root.value("entities").toArray()) {
        const QJsonObject e = v.toObject();
        const std::string k = key(e.value("entity").toString());
        for (const QJsonValue c : e.value("cells").toArray())
            b.cells[k] << c.toString();
        if (e.contains("name"))
            b.names[k] = e.value("name").toString();
        b.rowTotals[k] = {e.value("worked").toInt(), e.value("confirmed").toInt()};
    }
    if (root.contains("dxcc")) {
        const QJsonObject d = root.value("dxcc").toObject();
        for (const char *what : {"worked", "confirmed"}) {
            for (const char *part : {"all", "current", "deleted", "noEntity"})
                b.dxcc.push_back(d.value(what).toObject().value(part).toInteger());
        }
        b.dxcc.push_back(d.value("challenge").toInteger());
    }
    return b;
}

ReadBack readCsv(const QString &out)
{
    ReadBack b;
    const QStringList lines = out.trimmed().split(QLatin1Char('\n'));
    const QStringList head = csvFields(lines.first());
    const bool named = head.value(2) == QLatin1String("NAME");
    b.bands = head.mid(named ? 4 : 2, head.size() - (named ? 6 : 4));
    for (const QString &line : lines.mid(1)) {
        const QStringList f = csvFields(line);
        if (f[0] == QLatin1String("DXCC")) {
            for (const QString &n : f.mid(2))
                b.dxcc.push_back(n.toLong());
        } else if (f[0] == QLatin1String("CHALLENGE")) {
            b.dxcc.push_back(f[1].toLong());
        } else {
            readTableLine(b, f[0] == QLatin1String("ENTITY") ? f.mid(1) : QStringList{f[0]} + f.mid(2), named);
        }
    }
    return b;
}

/// The text table is cut at the columns its heading line starts them.
ReadBack readText(const QString &out)
{
    ReadBack b;
    QStringList lines = out.split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    qsizetype at = 1;
    if (lines.value(1).startsWith(QLatin1String("DXCC "))) {
        // "DXCC worked W (current C, deleted D) / confirmed ... - DXCC Challenge N"
        static const QRegularExpression number(QStringLiteral("\\d+"));
        QList<long> n;
        for (auto m = number.globalMatch(lines[1]); m.hasNext();)
            n << m.next().captured().toLong();
        b.dxcc = {n.value(0), n.value(1), n.value(2), 0, n.value(3), n.value(4), n.value(5), 0, n.value(n.size() - 1)};
        if (n.size() == 9) { // ", no entity W / C" before the Challenge
            b.dxcc[3] = n[6];
            b.dxcc[7] = n[7];
        }
        at = 2;
    }
    const QString head = lines[at];
    std::vector<qsizetype> starts;
    for (qsizetype i = 0; i < head.size(); ++i) {
        if (head[i] != QLatin1Char(' ') && (i == 0 || head[i - 1] == QLatin1Char(' ')))
            starts.push_back(i);
    }
    const auto cut = [&](const QString &line) {
        QStringList f;
        for (size_t c = 0; c < starts.size(); ++c)
            f << line.mid(starts[c], c + 1 < starts.size() ? starts[c + 1] - starts[c] : -1).trimmed();
        return f;
    };
    const QStringList titles = cut(head);
    const bool named = titles.value(1) == QLatin1String("NAME");
    b.bands = titles.mid(named ? 3 : 1, titles.size() - (named ? 5 : 3));
    for (const QString &line : lines.mid(at + 1))
        readTableLine(b, cut(line), named);
    return b;
}

/// Per folded entity of the log, its cells on the bands in one class, by plain loops.
std::map<std::string, QStringList> expectedCells(const std::vector<genlog::LogRow> &rows, const QString &kind, const QStringList &bands,
                                                 ModeClass mode, bool ft8)
{
    std::map<std::string, QStringList> cells;
    for (const genlog::LogRow &row : rows) {
        const genlog::Text &v = reference::column(row, kind.toStdString());
        if (!v || v->empty() || *v == "??")
            continue;
        QStringList &line = cells[reference::folded(*v)];
        line.resize(bands.size());
        for (qsizetype c = 0; c < bands.size(); ++c) {
            CountDescription d{
                kind.toStdString(), CountDescription::Bands::Pattern, {bands[c].toStdString()}, mode, QslStatus::Worked, ft8};
            if (!reference::counts(row, d))
                continue;
            d.status = QslStatus::Confirmed;
            if (reference::counts(row, d))
                line[c] = QStringLiteral("C");
            else if (line[c].isEmpty())
                line[c] = QStringLiteral("W");
        }
    }
    return cells;
}

} // namespace

TEST_F(HeadlessMatrix, EveryFormatAgreesWithPlainLoopsAndTheGrid)
{
    QStringList shown;
    for (const QString &b : s_bands) {
        if (!b.isEmpty())
            shown << b;
    }
    for (qsizetype kind = 0; kind < KindNames.size(); ++kind) {
        const QString &name = KindNames[kind];
        const Outcome grid = run({"--report", name, "--bands", BandArgument, "--format", "json"});
        ASSERT_EQ(grid.status, 0) << qPrintable(grid.err);
        const QJsonArray gridBands = QJsonDocument::fromJson(grid.out.toUtf8()).object().value("bands").toArray();
        ASSERT_EQ(gridBands.size(), shown.size());
        for (int m = 0; m < 4; ++m) {
            for (const bool ft8 : {false, true}) {
                if (ft8 && ModeClass(m) != ModeClass::Data)
                    continue;
                const auto expected = expectedCells(s_log->rows, name, shown, ModeClass(m), ft8);
                for (const char *format : {"text", "csv", "json"}) {
                    QStringList args{"--matrix", name, "--class", ClassNames[m], "--bands", BandArgument, "--format", format};
                    if (ft8)
                        args << "--ft8";
                    const Outcome r = run(args);
                    const std::string what = (name + " " + ClassNames[m] + " " + format + (ft8 ? " ft8" : "")).toStdString();
                    ASSERT_EQ(r.status, 0) << what << ": " << qPrintable(r.err);
                    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);
                    const ReadBack b = QLatin1String(format) == QLatin1String("json")  ? readJson(r.out)
                                       : QLatin1String(format) == QLatin1String("csv") ? readCsv(r.out)
                                                                                       : readText(r.out);
                    ASSERT_EQ(b.bands, shown) << what;
                    EXPECT_EQ(b.cells, expected) << what;
                    ASSERT_EQ(b.worked.size(), size_t(shown.size())) << what;
                    ASSERT_EQ(b.confirmed.size(), size_t(shown.size())) << what;
                    for (qsizetype c = 0; c < shown.size(); ++c) {
                        const QJsonArray counts = gridBands[c].toObject().value("counts").toArray();
                        const int worked = slot(QslStatus::Worked, ModeClass(m)), confirmed = slot(QslStatus::Confirmed, ModeClass(m));
                        if (!ft8) { // the grid's report above counts DATA as every data mode
                            EXPECT_EQ(b.worked[size_t(c)], counts[worked].toInteger()) << what << " " << qPrintable(shown[c]);
                            EXPECT_EQ(b.confirmed[size_t(c)], counts[confirmed].toInteger()) << what << " " << qPrintable(shown[c]);
                        }
                        const std::vector<std::string> band{shown[c].toStdString()};
                        EXPECT_EQ(b.worked[size_t(c)], reference::entityCount(s_log->rows, int(kind), band, worked, ft8)) << what;
                        EXPECT_EQ(b.confirmed[size_t(c)], reference::entityCount(s_log->rows, int(kind), band, confirmed, ft8)) << what;
                    }
                    for (const auto &[entity, cells] : expected) {
                        const auto [w, k] = b.rowTotals.at(entity);
                        EXPECT_EQ(w, cells.size() - cells.count(QString())) << what << " " << entity;
                        EXPECT_EQ(k, cells.count(QStringLiteral("C"))) << what << " " << entity;
                    }
                    EXPECT_EQ(b.names.empty(), name != QLatin1String("DXC")) << what;
                    EXPECT_EQ(b.dxcc.empty(), name != QLatin1String("DXC")) << what;
                }
            }
        }
    }
}

TEST_F(HeadlessMatrix, DxccFiguresAndNamesByTheAwardsRules)
{
    const EntityTable &table = EntityData::table();
    for (int m = 0; m < 4; ++m) {
        // Plain loops: the FULL line's entities of the class by what they match,
        // and the Challenge's confirmed (entity, band) pairs, every mode. An
        // entity spelt in several ways is matched as the log spells it first.
        std::map<std::string, std::string> first;
        for (const genlog::LogRow &row : s_log->rows) {
            if (row.DXC && !row.DXC->empty() && *row.DXC != "??")
                first.emplace(reference::folded(*row.DXC), *row.DXC);
        }
        std::set<std::string> worked[3], confirmed[3];
        std::set<std::pair<int, std::string>> challenge;
        for (const genlog::LogRow &row : s_log->rows) {
            if (!row.DXC || !first.count(reference::folded(*row.DXC)))
                continue;
            const std::string k = reference::folded(*row.DXC);
            const DxccEntity *e = table.lookup(first.at(k));
            const int part = !e ? 2 : e->deleted ? 1 : 0;
            CountDescription d{"DXC", CountDescription::Bands::Pattern, {"*"}, ModeClass(m), QslStatus::Worked, false};
            if (reference::counts(row, d)) {
                worked[part].insert(k);
                d.status = QslStatus::Confirmed;
                if (reference::counts(row, d))
                    confirmed[part].insert(k);
            }
            for (const char *b : {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50"}) {
                const CountDescription c{"DXC", CountDescription::Bands::Pattern, {b}, ModeClass::All, QslStatus::Confirmed, false};
                if (e && !e->deleted && reference::counts(row, c))
                    challenge.emplace(e->adif, b);
            }
        }
        const auto all = [](const std::set<std::string> *parts) { return long(parts[0].size() + parts[1].size() + parts[2].size()); };
        const std::vector<long> expected = {
            all(worked),           long(worked[0].size()),    long(worked[1].size()),    long(worked[2].size()),
            all(confirmed),        long(confirmed[0].size()), long(confirmed[1].size()), long(confirmed[2].size()),
            long(challenge.size())};
        EXPECT_GT(expected[2], 0) << "a deleted entity is worked";
        EXPECT_GT(expected[3], 0) << "a text that names no entity is worked";
        // The band set shown does not change the Challenge.
        for (const QString &bands : {BandArgument, QStringLiteral("144")}) {
            for (const char *format : {"text", "csv", "json"}) {
                const Outcome r = run({"--matrix", "dxc", "--class", ClassNames[m], "--bands", bands, "--format", format});
                ASSERT_EQ(r.status, 0) << qPrintable(r.err);
                const ReadBack b = QLatin1String(format) == QLatin1String("json")  ? readJson(r.out)
                                   : QLatin1String(format) == QLatin1String("csv") ? readCsv(r.out)
                                                                                   : readText(r.out);
                EXPECT_EQ(b.dxcc, expected) << format << " " << qPrintable(ClassNames[m]);
                EXPECT_EQ(expected[0], reference::entityCount(s_log->rows, 0, {"*"}, slot(QslStatus::Worked, ModeClass(m)), false));
                if (m == int(ModeClass::All) && bands == BandArgument) {
                    EXPECT_EQ(b.names.at(key("DM")), QStringLiteral("East Germany (deleted)")) << format;
                    EXPECT_EQ(b.names.at(key("QQ9")), QString()) << format;
                    EXPECT_EQ(b.cells.at(key("QQ9")).value(0), QStringLiteral("C")) << format; // kept with its text
                    if (table.currentCount() > 0) {
                        EXPECT_EQ(b.names.at(key("3B8")), QString::fromStdString(table.lookup("3B8")->name)) << format;
                    }
                }
            }
        }
    }
}

TEST_F(HeadlessMatrix, WrongArgumentsAreRefused)
{
    for (const QStringList &args : {QStringList{"--matrix", "QSO"}, QStringList{"--matrix", "DXC", "--class", "RTTY"},
                                    QStringList{"--report", "DXC", "--class", "CW"}, QStringList{"--matrix", "DXC", "--needed", "DXC"},
                                    QStringList{"--matrix", "DXC", "--watch"}, QStringList{"--matrix", "DXC", "--format", "adif"}}) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << qPrintable(args.join(' '));
        EXPECT_FALSE(r.err.isEmpty());
    }
    const auto o = HeadlessReport::parseArguments({"--matrix=sqr", "--class=phone", "--format=csv", "x"});
    ASSERT_TRUE(o) << qPrintable(o.error());
    EXPECT_TRUE(o->matrix);
    EXPECT_EQ(o->kind, AwardKind::Sqr);
    EXPECT_EQ(o->matrixClass, ModeClass::Phone);
    EXPECT_EQ(HeadlessReport::parseArguments({"--matrix", "WAZ", "x"})->matrixClass, ModeClass::All);
    // Every class by its title in any case; FT8 names the DATA class too.
    const std::vector<std::pair<QString, ModeClass>> titles = {
        {"cw", ModeClass::Cw}, {"Phone", ModeClass::Phone}, {"data", ModeClass::Data}, {"FT8", ModeClass::Data}, {"mix", ModeClass::All}};
    for (const auto &[title, mode] : titles)
        EXPECT_EQ(HeadlessReport::parseArguments({"--matrix", "DXC", "--class", title, "x"})->matrixClass, mode) << qPrintable(title);

    // A logbook that is not there: the reason on the error stream, status 1.
    const auto missing = HeadlessReport::parseArguments({"--matrix", "DXC", "nothere"});
    QString out, err;
    QTextStream o1(&out), e1(&err);
    EXPECT_EQ(HeadlessReport::run(*missing, s_log->folder->folder(), o1, e1), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("file not found"))) << qPrintable(err);
    EXPECT_TRUE(out.isEmpty());
}
