// Opening logbooks that are damaged, foreign, half-written or changing, and
// readers that crash, hang or send garbage: each gives an error, never a crash
// of the program, and the next good logbook opens as usual.
#include "logbook/LogSnapshot.h"
#include "logbook/LogbookEngine.h"
#include "logbook/MdbLoader.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/mdb/MdbOpen.h"
#include "logbook/mdb/MdbReader.h"
#include "logbook/mdb/ReaderStream.h"
#include "logbook/testing/LoaderTesting.h"
#include "logbook/testing/ReaderTesting.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/TestPlatform.h"
#include "tools/jet4/Jet4Writer.h"

#include "logbook/count/ColumnarLog.h"
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>
#include <thread>

namespace {

constexpr int Page = 4096;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

/// Writes in place, as a program saving a logbook does.
void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(0));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString countOf(const LogDatabase &db, const char *text)
{
    const Result<QString> r = db.scalar(QString::fromUtf8(text), QStringLiteral("Quanti"));
    return r ? *r : QStringLiteral("error: ") + r.error();
}

QString countOf(const LogSnapshot &log, const char *text) { return countOf(log.database(), text); }

QString contacts(LogbookEngine &engine, const QString &path)
{
    const auto db = engine.open(path);
    return db ? countOf(**db, "SELECT COUNT(*) AS Quanti FROM LOG") : QStringLiteral("error: ") + db.error();
}

void setModified(const QString &path, std::int64_t ns) { ASSERT_TRUE(testplatform::setModifiedNs(path, ns)); }

std::int64_t modifiedOf(const QString &path) { return testplatform::modifiedNs(path); }

QByteArray randomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, '\0');
    for (char &c : b)
        c = char(rng.generate());
    return b;
}

Status loadWith(const QString &file, const QString &program, double seconds = -1)
{
    auto db = LogDatabase::create();
    if (!db)
        return Status::failure(db.error());
    return loadMdbTable(file, QStringLiteral("LOG"), **db, MdbReaderOptions{program, seconds});
}

} // namespace

TEST(LogbookFaults, DamagedOrForeignFilesGiveAnErrorAndTheNextLogbookOpens)
{
    TempLogbook dir;
    const QString good = dir.write(genlog::generate(300, 4), QStringLiteral("gooddt.mdb"));
    const QByteArray bytes = readAll(good);
    ASSERT_GT(bytes.size(), 8 * Page);
    const qsizetype half = bytes.size() / 2 / Page * Page;

    QByteArray zeroTail = bytes;
    zeroTail.replace(half, bytes.size() - half, QByteArray(bytes.size() - half, '\0'));
    const std::pair<const char *, QByteArray> files[] = {
        {"cut at a pagedt.mdb", bytes.left(half)},
        {"cut in a pagedt.mdb", bytes.left(half + 100)},
        {"half writtendt.mdb", zeroTail},
        {"randomdt.mdb", randomBytes(16 * Page, 1)},
        {"random after the headerdt.mdb", bytes.left(Page) + randomBytes(bytes.size() - Page, 2)},
        {"emptydt.mdb", QByteArray()},
    };
    LogbookEngine engine;
    for (const auto &[name, content] : files) {
        const QString path = dir.path(QString::fromUtf8(name));
        overwrite(path, content);
        const auto db = engine.open(path);
        EXPECT_FALSE(db.ok()) << name;
        EXPECT_FALSE(db.error().isEmpty()) << name;
        EXPECT_EQ(contacts(engine, good), "300") << "after " << name;
    }

    ASSERT_TRUE(QDir(dir.folder()).mkdir(QStringLiteral("folderdt.mdb")));
    const auto folder = engine.open(dir.path(QStringLiteral("folderdt.mdb")));
    EXPECT_FALSE(folder.ok());
    EXPECT_EQ(contacts(engine, good), "300");
    EXPECT_TRUE(engine.open(dir.path(QStringLiteral("missingdt.mdb"))).error().contains("not found"));
    // A Jet file without the table LOG says so.
    jet4::Jet4Writer other("OTHER", {{"Banda", jet4::ColumnType::Text, 10}});
    other.addRow({jet4::Value(std::in_place, std::string("14.0"))});
    ASSERT_EQ(other.save(dir.path(QStringLiteral("otherdt.mdb")).toStdString()), "");
    EXPECT_TRUE(engine.open(dir.path(QStringLiteral("otherdt.mdb"))).error().contains("LOG"));

    // Every input that once broke the reader: an error or a snapshot, never a crash.
    QDirIterator it(QStringLiteral(VARKEL_MDB_REGRESSIONS), QDir::Files);
    int regressions = 0;
    while (it.hasNext()) {
        const QString copy = dir.path(QStringLiteral("regressiondt.mdb"));
        overwrite(copy, readAll(it.next()));
        const auto db = engine.open(copy);
        if (!db.ok()) {
            EXPECT_FALSE(db.error().isEmpty()) << it.fileName().toStdString();
        }
        EXPECT_EQ(contacts(engine, good), "300") << "after " << it.fileName().toStdString();
        ++regressions;
    }
    EXPECT_GT(regressions, 0);
}

TEST(LogbookFaults, AReaderThatCrashesHangsOrSendsGarbageOnlyFailsTheOpening)
{
    TempLogbook dir;
    const QString good = dir.write(genlog::generate(120, 6), QStringLiteral("gooddt.mdb"));
    const QByteArray real = QFile::encodeName(mdbReaderProgram());

    // More rows than a file of this size can hold.
    const QString flood = dir.path(QStringLiteral("flood.vkr"));
    {
        QFile out(flood);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        mdbreader::StreamEncoder e([&out](const char *d, std::size_t n) { return out.write(d, qint64(n)) == qint64(n); });
        e.columns({{"ID", mdbreader::Kind::Integer}});
        for (int i = 0; i < 200000; ++i)
            e.row({mdbreader::Value{false, i, 0, {}}});
        e.finish();
    }

    // Each as a shell script, and as what the stand-in program does on Windows.
    struct Case {
        const char *name;
        QByteArray script;
        QStringList standIn;
        const char *expected; // in the error text
        double seconds = -1;
    };
    const Case cases[] = {
        {"crash", "kill -SEGV $$", {"crash"}, "stopped with"},
        {"abort after a message",
         "echo 'mdb: page 7 is damaged' >&2; kill -ABRT $$",
         {"abort", "mdb: page 7 is damaged"},
         "page 7 is damaged"},
        {"hang", "exec sleep 60", {"hang"}, "did not finish", 0.5},
        {"hang half-way", "'" + real + "' \"$@\" | head -c 300; exec sleep 60", {"cut-then-hang", "300"}, "did not finish", 0.5},
        {"garbage", "head -c 300000 /dev/urandom", {"garbage", "300000"}, "unreadable"},
        {"endless output", "exec yes", {"endless"}, "unreadable"},
        {"cut short", "'" + real + "' \"$@\" | head -c 500", {"cut", "500"}, "whole table"},
        {"silent", "exit 0", {"exit", "0"}, "whole table"},
        {"failure without a word", "exit 1", {"exit", "1"}, "whole table"},
        {"flood of rows", "exec cat '" + QFile::encodeName(flood) + "'", {"copy", flood}, "more rows"},
    };
    for (const Case &c : cases) {
        QElapsedTimer timer;
        timer.start();
        const Status s = loadWith(good, testplatform::fakeReader(dir.folder(), QStringLiteral("reader"), c.script, c.standIn), c.seconds);
        ASSERT_FALSE(s.ok()) << c.name;
        EXPECT_TRUE(s.error().contains(QLatin1String(c.expected))) << c.name << ": " << s.error().toStdString();
        EXPECT_LT(timer.elapsed(), 15000) << c.name;
        EXPECT_TRUE(loadWith(good, QString()).ok()) << "after " << c.name;
    }
    const Status missing = loadWith(good, dir.path(QStringLiteral("no-such-reader")));
    EXPECT_TRUE(missing.error().contains(QLatin1String("cannot start"))) << missing.error().toStdString();
}

TEST(LogbookFaults, ReadersSideBySideGiveTheSameSnapshotAndColumnarCopy)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(3000, 21));
    auto whole = LogDatabase::create();
    auto inProcess = LogDatabase::create();
    ASSERT_TRUE(whole && inProcess);
    ASSERT_TRUE(loadMdbTable(path, QStringLiteral("LOG"), **whole).ok());
    ASSERT_TRUE(loadMdbTableInProcess(path, QStringLiteral("LOG"), **inProcess).ok());
    // Every value with its SQLite type, so that NULL, '' and 0 stay apart.
    const QString all = QStringLiteral(
        "SELECT ID, typeof(ID), Callsign, typeof(Callsign), TDate, Banda, Mode, MANAGER, S, R, D, DIPTEXT, DXC, WPX, WAZ, ITU, "
        "WAC, SQR, NOTE, typeof(NOTE) FROM LOG");
    const auto expected = (*whole)->select(all);
    ASSERT_TRUE(expected.ok());
    ASSERT_EQ(expected->rowCount(), 3000);
    // The reader process gives what reading in this process gives.
    EXPECT_EQ((*inProcess)->select(all)->cells, expected->cells);

    std::shared_ptr<const ColumnarLog> first;
    for (const unsigned parts : {1u, 2u, 3u, 7u}) {
        auto db = LogDatabase::create();
        ASSERT_TRUE(db);
        bool indexed = false;
        MdbReaderOptions options;
        options.parts = parts;
        const auto columnar = loadMdbTableColumnarFirst(
            path, QStringLiteral("LOG"), **db,
            [&indexed](sqlite3 *) {
                indexed = true;
                return Status();
            },
            options);
        ASSERT_TRUE(columnar) << columnar.error().toStdString();
        // The rows in the file's order, every value as one reader gives it.
        const auto got = (*db)->select(all);
        ASSERT_TRUE(got.ok()) << got.error().toStdString();
        EXPECT_TRUE(indexed);
        EXPECT_EQ(got->cells, expected->cells) << parts << " parts";
        const ColumnarLog &log = **columnar;
        ASSERT_EQ(log.rowCount(), 3000u);
        if (!first) {
            first = *columnar;
            continue;
        }
        ASSERT_EQ(log.columnCount(), first->columnCount());
        for (size_t c = 0; c < log.columnCount(); ++c) {
            EXPECT_EQ(log.column(c).name, first->column(c).name);
            EXPECT_EQ(log.column(c).text, first->column(c).text);
            if (!log.column(c).text)
                continue;
            for (size_t r = 0; r < log.rowCount(); ++r)
                ASSERT_TRUE(log.value(c, r) == first->value(c, r)) << parts << " parts, column " << c << " row " << r;
        }
    }
}

TEST(LogbookFaults, DatesReadAsLibmdbReadsThem)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(10, 24));
    std::mt19937_64 rng(7);
    std::vector<double> days = {0, -1, 1e6, 1e6 + 1, 36526, 36526.5, 36526.99999999, 45000.25, -0.5, 2958465.99};
    while (days.size() < 50000) {
        switch (rng() % 3) {
        case 0:
            days.push_back(double(int64_t(rng() % 1200000) - 100000));
            break;
        case 1:
            days.push_back(std::uniform_real_distribution<double>(-10, 1.1e6)(rng));
            break;
        default:
            days.push_back(double(rng() % 80000) + double(rng() % 86400) / 86400.0);
        }
    }
    const auto both = mdbreader::datesBothWays(path.toStdString(), days);
    ASSERT_EQ(both.size(), days.size());
    size_t ours = 0;
    for (size_t i = 0; i < days.size(); ++i) {
        if (both[i].first.empty())
            continue;
        ++ours;
        ASSERT_TRUE(both[i].second) << days[i] << " gives " << both[i].first;
    }
    EXPECT_GT(ours, days.size() / 2);
}

TEST(LogbookFaults, AFailingReaderFailsTheOpenWithEveryPart)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(3000, 22));
    QByteArray bytes = readAll(path);
    // Cut the file to half its pages: the table's last pages are gone.
    bytes.truncate(bytes.size() / 2 / Page * Page);
    overwrite(path, bytes);
    for (const unsigned parts : {1u, 2u}) {
        auto db = LogDatabase::create();
        ASSERT_TRUE(db);
        MdbReaderOptions options;
        options.parts = parts;
        const auto columnar = loadMdbTableColumnarFirst(path, QStringLiteral("LOG"), **db, nullptr, options);
        ASSERT_FALSE(columnar) << parts;
        EXPECT_TRUE(columnar.error().contains(QLatin1String("cannot read the logbook"))) << columnar.error().toStdString();
    }
}

TEST(LogbookFaults, QueriesWaitForTheBackgroundFillAndShareItsFailure)
{
    {
        auto db = LogDatabase::create();
        ASSERT_TRUE(db);
        (*db)->fillInBackground([](sqlite3 *h, const std::atomic<bool> &) {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            sqlite3_exec(h, "CREATE TABLE LOG (Banda TEXT); INSERT INTO LOG VALUES ('14.0'), ('7.0')", nullptr, nullptr, nullptr);
            return Status();
        });
        const auto n = (*db)->scalar(QStringLiteral("SELECT COUNT(*) AS n FROM LOG"), QStringLiteral("n"));
        ASSERT_TRUE(n) << n.error().toStdString();
        EXPECT_EQ(*n, QLatin1String("2"));
    }
    {
        auto db = LogDatabase::create();
        ASSERT_TRUE(db);
        (*db)->fillInBackground([](sqlite3 *, const std::atomic<bool> &) { return Status::failure(QStringLiteral("out of room")); });
        const auto t = (*db)->select(QStringLiteral("SELECT 1 AS x"));
        ASSERT_FALSE(t);
        EXPECT_EQ(t.error(), QLatin1String("out of room"));
        EXPECT_FALSE((*db)->exec("SELECT 1"));
    }
    {
        // Destroyed while it fills: the fill is told to stop and is waited for.
        std::atomic<bool> stopped{false};
        {
            auto db = LogDatabase::create();
            ASSERT_TRUE(db);
            (*db)->fillInBackground([&stopped](sqlite3 *, const std::atomic<bool> &cancelled) {
                while (!cancelled)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                stopped = true;
                return Status::failure(QStringLiteral("cancelled"));
            });
        }
        EXPECT_TRUE(stopped);
    }
}

TEST(LogbookFaults, ALogbookChangedWhileTheProgramRunsIsReadAgain)
{
    TempLogbook dir;
    std::vector<genlog::LogRow> rows = genlog::generate(400, 8);
    const QString path = dir.write(rows);
    const QByteArray first = readAll(path);
    rows[17].Callsign = "CHANGED1";
    const QString otherPath = dir.write(rows, QStringLiteral("otherdt.mdb"));
    const QByteArray second = readAll(otherPath);
    ASSERT_EQ(first.size(), second.size());
    const char *changed = "SELECT COUNT(*) AS Quanti FROM LOG WHERE Callsign = 'changed1'";

    LogbookEngine engine;
    auto before = engine.open(path);
    ASSERT_TRUE(before.ok());
    EXPECT_EQ(countOf(**before, changed), "0");
    auto again = engine.open(path);
    EXPECT_EQ(before->get(), again->get()) << "an unchanged logbook is not read again";

    // Written in place with the same size, its time set back to the old one.
    const std::int64_t old = modifiedOf(path);
    overwrite(path, second);
    setModified(path, old);
    auto after = engine.open(path);
    ASSERT_TRUE(after.ok()) << after.error().toStdString();
    EXPECT_EQ(countOf(**after, changed), "1");

    // Times in whole seconds: two versions within the same second.
    const std::int64_t second0 = old / 1'000'000'000 * 1'000'000'000;
    overwrite(path, first);
    setModified(path, second0);
    auto coarse1 = engine.open(path);
    ASSERT_TRUE(coarse1.ok());
    EXPECT_EQ(countOf(**coarse1, changed), "0");
    overwrite(path, second);
    setModified(path, second0);
    auto coarse2 = engine.open(path);
    ASSERT_TRUE(coarse2.ok());
    EXPECT_EQ(countOf(**coarse2, changed), "1");

    // Caught half-written (its final size already, or not yet): an error,
    // and the next open after the writing ended sees the new logbook.
    const qsizetype half = first.size() / 2 / Page * Page;
    QByteArray zeroTail = first;
    zeroTail.replace(half, first.size() - half, QByteArray(first.size() - half, '\0'));
    for (const QByteArray &partial : {zeroTail, first.left(half)}) {
        overwrite(path, partial);
        EXPECT_FALSE(engine.open(path).ok());
        overwrite(path, first);
        auto whole = engine.open(path);
        ASSERT_TRUE(whole.ok()) << whole.error().toStdString();
        EXPECT_EQ(countOf(**whole, "SELECT COUNT(*) AS Quanti FROM LOG"), "400");
        EXPECT_EQ(countOf(**whole, changed), "0");
    }

    // Replaced by another file (a new inode) of the same size and time.
    const std::int64_t now = modifiedOf(path);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::copy(otherPath, path));
    setModified(path, now);
    auto replaced = engine.open(path);
    ASSERT_TRUE(replaced.ok());
    EXPECT_EQ(countOf(**replaced, changed), "1");
}

TEST(LogbookFaults, TheProgramThatKeepsTheLogbookMayWriteRenameAndDeleteItWhileItIsRead)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(50, 3));
    const QString moved = dir.path(QStringLiteral("moveddt.mdb"));
    mdbreader::OpenedJet opened;
    ASSERT_EQ(mdbreader::openJetFile(path.toStdString(), opened), "");
    {
        // On Windows this needs the reader's handle to share writing and deleting.
        QFile writer(path);
        ASSERT_TRUE(writer.open(QIODevice::ReadWrite)) << writer.errorString().toStdString();
        ASSERT_TRUE(writer.seek(writer.size()));
        EXPECT_EQ(writer.write(QByteArray(4096, '\0')), 4096);
    }
    EXPECT_TRUE(QFile::rename(path, moved));
    EXPECT_TRUE(QFile::remove(moved));
    opened.mdb.reset();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(moved));
}
