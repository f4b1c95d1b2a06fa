// Writes the ADIF files the independent parser reads back (readback.js), each
// NAME.adi beside NAME.expected.json, the records its rows must give, worked
// out from the generated rows alone (AdifReference): a QSO listing of the
// grid and the whole log's listing, the QSL chase of the sample logbook and
// of a generated 100,000-contact logbook, and the headless --format adif.
//   adif_readback_files FOLDER
#include "entities/CountryFile.h"
#include "entities/EntityTable.h"
#include "listing/AdifExport.h"
#include "listing/DrillDown.h"
#include "listing/GridRecordset.h"
#include "listing/ListingRun.h"
#include "logbook/LogbookEngine.h"
#include "logbook/count/CountDescription.h"
#include "logbook/count/CountSlot.h"
#include "stats/EntityData.h"
#include "stats/NeededLists.h"
#include "stats/StatsMatrix.h"
#include "tests/adif/AdifReference.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <iostream>

namespace {

int failures = 0;

void fail(const QString &what)
{
    std::cerr << "adif_readback_files: " << what.toStdString() << std::endl;
    ++failures;
}

std::vector<std::string> headerTexts(const QStringList &headers)
{
    std::vector<std::string> bands;
    for (const QString &h : headers)
        bands.push_back(h.trimmed().isEmpty() ? std::string() : h.toStdString());
    return bands;
}

/// The generated rows with the odd ones after them, numbered from 1.
std::vector<genlog::LogRow> withOddRows(std::vector<genlog::LogRow> rows)
{
    for (genlog::LogRow &r : adifref::oddRows())
        rows.push_back(std::move(r));
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].ID = int32_t(i + 1);
    return rows;
}

std::vector<const genlog::LogRow *> rowsWithIds(const std::vector<genlog::LogRow> &rows, const std::set<int32_t> &ids)
{
    std::vector<const genlog::LogRow *> out;
    for (const genlog::LogRow &r : rows) {
        if (ids.count(r.ID))
            out.push_back(&r);
    }
    return out;
}

/// A listing as the grid window shows it, exported as its menu entry exports it.
void exportListing(const QString &folder, const QString &name, const QString &logPath, const QString &query, const EntityTable &table,
                   const std::vector<const genlog::LogRow *> &expected)
{
    const LoadedLog state{QFileInfo(logPath).completeBaseName(), logPath};
    LogbookEngine engine;
    ListingRun::Outcome outcome = ListingRun::run(state, engine, query);
    if (!outcome.ok)
        return fail(name + ": the listing failed: " + outcome.failure.detail);
    GridRecordset grid;
    grid.setTable(std::move(outcome.table), false);
    const auto contacts = Adif::contactsOfListing(grid);
    if (!contacts)
        return fail(name + ": " + contacts.error());
    if (contacts->size() != expected.size())
        fail(QStringLiteral("%1: %2 contacts listed, %3 expected").arg(name).arg(contacts->size()).arg(expected.size()));
    if (const Status s = Adif::write(QDir(folder).filePath(name + ".adi"), *contacts, table, QDateTime::currentDateTimeUtc()); !s)
        return fail(name + ": " + s.error());
    if (!adifref::writeExpected(folder, name, expected, adifref::testEntities()))
        fail(name + ": cannot write the expected records");
}

/// The QSL chase of `column` over the start-up band set, exported as the NEEDED window's menu entry exports it.
void exportQslChase(const QString &folder, const QString &name, const QString &logPath, const std::vector<genlog::LogRow> &rows,
                    AwardKind kind, bool ft8, const EntityTable &table)
{
    LogbookEngine engine;
    const auto log = engine.open(logPath);
    if (!log)
        return fail(name + ": " + log.error());
    if ((*log)->columnar().rowCount() != rows.size())
        return fail(name + ": the logbook does not hold the rows it was made of");
    const QStringList headers = StatsMatrix::startupBands();
    const auto report = Needed::report(**log, kind, headers, ft8);
    if (!report)
        return fail(name + ": " + report.error());
    const auto contacts = Adif::contactsOfRows((*log)->columnar(), Needed::qslContacts(report->chase));
    const std::set<int32_t> ids = adifref::qslChaseIds(rows, AwardKinds::name(kind), headerTexts(headers), ft8);
    if (contacts.size() != ids.size())
        fail(QStringLiteral("%1: %2 contacts in the chase, %3 expected").arg(name).arg(contacts.size()).arg(ids.size()));
    if (const Status s = Adif::write(QDir(folder).filePath(name + ".adi"), contacts, table, QDateTime::currentDateTimeUtc()); !s)
        return fail(name + ": " + s.error());
    if (!adifref::writeExpected(folder, name, rowsWithIds(rows, ids), adifref::testEntities()))
        fail(name + ": cannot write the expected records");
}

/// varkelchecker --needed DXC --format adif on the sample, its output kept as the file.
void headless(const QString &folder, const QString &name, const std::vector<genlog::LogRow> &rows)
{
    QProcess p;
    p.start(QStringLiteral(VARKELCHECKER_EXE), {"--needed", "DXC", "--format", "adif", QStringLiteral(VARKEL_SAMPLE)});
    if (!p.waitForFinished(300000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return fail(name + ": the program failed: " + QString::fromLocal8Bit(p.readAllStandardError()));
    QFile out(QDir(folder).filePath(name + ".adi"));
    if (!out.open(QIODevice::WriteOnly) || out.write(p.readAllStandardOutput()) < 0)
        return fail(name + ": cannot keep the output");
    // The program's own entities: the country file beside it, else the system's.
    QStringList folders{QFileInfo(QStringLiteral(VARKELCHECKER_EXE)).absolutePath()};
    for (const std::string &f : countryFileFolders())
        folders << QString::fromStdString(f);
    const EntityTable system = EntityData::read(folders, nullptr);
    const adifref::Resolver resolve = [&system](const std::string &text) -> std::optional<adifref::Entity> {
        const DxccEntity *e = system.lookup(text);
        if (!e || e->adif <= 0)
            return std::nullopt;
        return adifref::Entity{e->prefix, e->name, e->adif};
    };
    const std::set<int32_t> ids = adifref::qslChaseIds(rows, "DXC", headerTexts(StatsMatrix::startupBands()), false);
    if (!adifref::writeExpected(folder, name, rowsWithIds(rows, ids), resolve))
        fail(name + ": cannot write the expected records");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: adif_readback_files FOLDER" << std::endl;
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    const EntityTable table = EntityTable::fromCountryFile(adifref::countryFile());

    // A QSO listing: the cell CONFIRMED / PHONE of the band 14.0 of the kind QSO,
    // and the listing of the whole log with the odd rows.
    TempLogbook temp;
    const std::vector<genlog::LogRow> rows = withOddRows(genlog::generate(3000, 5));
    const QString logPath = temp.write(rows);
    const QStringList headers = StatsMatrix::startupBands();
    const int position = int(headers.indexOf(QStringLiteral("14.0")));
    using namespace CountSlotIndex;
    const int r = slot(QslStatus::Confirmed, ModeClass::Phone);
    const DrillDown::Request cell = DrillDown::cell(CountSlotIndex::cell(position, r), AwardKind::Qso, headers, false);
    std::vector<const genlog::LogRow *> inCell, all;
    const CountDescription described{"", CountDescription::Bands::List, {"14.0"}, ModeClass::Phone, QslStatus::Confirmed, false};
    for (const genlog::LogRow &row : rows) {
        all.push_back(&row);
        if (reference::counts(row, described))
            inCell.push_back(&row);
    }
    exportListing(folder, "listing-qso-cell", logPath, cell.sql, table, inCell);
    exportListing(folder, "listing-whole-log", logPath, "SELECT * FROM LOG", table, all);

    // The QSL chase of the bundled sample (genlog sample/varkeldt.mdb 3000 1).
    std::vector<genlog::LogRow> sample = genlog::generate(3000, 1);
    exportQslChase(folder, "qsl-chase-sample-dxc", QStringLiteral(VARKEL_SAMPLE), sample, AwardKind::Dxc, false, table);

    // The QSL chase of a generated 100,000-contact logbook, odd rows included.
    const std::vector<genlog::LogRow> big = withOddRows(genlog::generate(100000, 42));
    const QString bigPath = temp.write(big, QStringLiteral("bigdt.mdb"));
    exportQslChase(folder, "qsl-chase-100k-dxc", bigPath, big, AwardKind::Dxc, false, table);
    exportQslChase(folder, "qsl-chase-100k-wpx-ft8", bigPath, big, AwardKind::Wpx, true, table);

    headless(folder, "headless-needed-dxc", sample);
    std::cout << "ADIF files written to " << folder.toStdString() << (failures ? " with failures" : "") << std::endl;
    return failures ? 1 : 0;
}
