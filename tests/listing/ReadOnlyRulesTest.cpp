// The snapshot's read-only rules: what an operator's text may do is decided by
// SQLite's authorizer while the text is prepared, not by its words.
#include "listing/ListingRun.h"
#include "listing/QueryGuard.h"
#include "tests/support/TempLogbook.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class ReadOnlyRules : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempLogbook;
        rows = new std::vector<genlog::LogRow>(genlog::generate(300, 21));
        path = new QString(dir->write(*rows));
    }
    static void TearDownTestSuite()
    {
        delete path;
        delete rows;
        delete dir;
    }
    void SetUp() override
    {
        state.LogName = QStringLiteral("TESTDT");
        state.LogPath = *path;
        auto opened = engine.open(*path);
        ASSERT_TRUE(opened.ok()) << opened.error().toStdString();
        db = sharedDatabase(*opened);
    }
    qsizetype count(const QString &where = {}) const
    {
        const ReadResult r = db->read(QStringLiteral("SELECT COUNT(*) AS n FROM LOG ") + where);
        EXPECT_EQ(r.end, ReadResult::End::Complete) << r.error.toStdString();
        return r.end == ReadResult::End::Complete ? r.table.at(0, 0).toLongLong() : -1;
    }

    static TempLogbook *dir;
    static std::vector<genlog::LogRow> *rows;
    static QString *path;
    LoadedLog state;
    LogbookEngine engine;
    std::shared_ptr<const LogDatabase> db;
};

TempLogbook *ReadOnlyRules::dir = nullptr;
std::vector<genlog::LogRow> *ReadOnlyRules::rows = nullptr;
QString *ReadOnlyRules::path = nullptr;

} // namespace

TEST_F(ReadOnlyRules, QueriesOnceRefusedForTheirWordsRunThroughTheWholeWay)
{
    qsizetype withSlash = 0, from2020 = 0;
    const double oleDate2020 = 43831; // 2020-01-01
    for (const genlog::LogRow &row : *rows) {
        withSlash += row.Callsign && row.Callsign->find('/') != std::string::npos;
        from2020 += row.TDate >= oleDate2020;
    }
    ASSERT_GT(withSlash, 0);
    ASSERT_GT(from2020, 0);
    const qsizetype all = qsizetype(rows->size());
    const struct {
        const char *text;
        qsizetype rows;
    } cases[] = {
        {"SELECT Replace(Callsign,'/','-') AS C FROM LOG WHERE Callsign LIKE '*/*'", withSlash},
        {"-- calls with a slash\nSELECT Callsign FROM LOG WHERE Callsign LIKE '*/*'", withSlash},
        {"/* don't mind the quote */ SELECT Callsign FROM LOG", all},
        {"SELECT Callsign FROM LOG -- DELETE FROM LOG; DROP TABLE LOG", all},
        {"SELECT Callsign FROM LOG /* ; INSERT INTO LOG */ WHERE ID > 0", all},
        {"SELECT ID FROM LOG WHERE NOTE <> 'update; drop table LOG' OR NOTE IS NULL", all},
        {"SELECT ID FROM LOG WHERE TDate >= #2020-01-01#", from2020},
        {"SELECT TOP 5 ID FROM LOG -- the first five", 5},
        {"WITH b AS (SELECT Banda FROM LOG) SELECT COUNT(*) AS n FROM b", 1},
        {"SELECT ID FROM LOG; -- done", all},
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(QueryGuard::refusal(text), QString()) << c.text;
        EXPECT_FALSE(db->check(text).refused()) << c.text;
        const ListingRun::Outcome out = ListingRun::run(state, engine, text);
        ASSERT_TRUE(out.ok) << c.text << ": " << out.failure.text.toStdString() << " / " << out.failure.detail.toStdString();
        EXPECT_EQ(out.table.rowCount(), c.rows) << c.text;
    }
    const ListingRun::Outcome replaced = ListingRun::run(state, engine, QString::fromUtf8(cases[0].text));
    for (qsizetype r = 0; r < replaced.table.rowCount(); ++r) {
        EXPECT_FALSE(replaced.table.at(r, 0).contains(QLatin1Char('/')));
        EXPECT_TRUE(replaced.table.at(r, 0).contains(QLatin1Char('-')));
    }
}

TEST_F(ReadOnlyRules, EveryKindOfChangeIsRefusedByNameBeforeItRuns)
{
    const QByteArray before = digest(*path);
    const QString attached = dir->path(QStringLiteral("attached.db"));
    sqlite3 *handle = db->handle();
    const sqlite3_int64 changes = sqlite3_total_changes64(handle);
    using K = Refusal::Kind;
    const struct {
        QString text;
        K kind;
        const char *name;
    } cases[] = {
        // What the shape check already stops, the rules stop as well.
        {QStringLiteral("ATTACH DATABASE '%1' AS other").arg(attached), K::Statement, "ATTACH"},
        {QStringLiteral("DETACH DATABASE main"), K::Statement, "DETACH"},
        {QStringLiteral("PRAGMA writable_schema = 1"), K::Statement, "PRAGMA"},
        {QStringLiteral("INSERT INTO LOG (Banda) VALUES ('x')"), K::Statement, "INSERT"},
        {QStringLiteral("DROP TABLE LOG"), K::Statement, "DROP"},
        {QStringLiteral("CREATE TABLE copy (a)"), K::Statement, "CREATE"},
        {QStringLiteral("CREATE TEMP VIEW v AS SELECT 1"), K::Statement, "CREATE"},
        {QStringLiteral("ALTER TABLE LOG ADD COLUMN x"), K::Statement, "ALTER"},
        {QStringLiteral("BEGIN"), K::Statement, "BEGIN"},
        {QStringLiteral("SAVEPOINT s"), K::Statement, "SAVEPOINT"},
        {QStringLiteral("REINDEX"), K::Statement, "REINDEX"},
        {QStringLiteral("ANALYZE"), K::Statement, "ANALYZE"},
        {QStringLiteral("VACUUM"), K::Statement, "VACUUM"},
        {QStringLiteral("SELECT 1 AS a; DELETE FROM LOG"), K::MoreThanOne, "SELECT"},
        // Changes behind a WITH, which starts like a query.
        {QStringLiteral("WITH x AS (SELECT 1) INSERT INTO LOG (Banda) SELECT 'x' FROM x"), K::Statement, "INSERT"},
        {QStringLiteral("WITH x AS (SELECT 1) UPDATE LOG SET R = 'Y'"), K::Statement, "UPDATE"},
        {QStringLiteral("WITH x AS (SELECT 1) DELETE FROM LOG"), K::Statement, "DELETE"},
        // Queries that reach outside the logbook's table.
        {QStringLiteral("SELECT load_extension('%1')").arg(dir->path(QStringLiteral("ext.so"))), K::Function, "load_extension"},
        {QStringLiteral("SELECT fts3_tokenizer('simple')"), K::Function, "fts3_tokenizer"},
        {QStringLiteral("SELECT * FROM sqlite_master"), K::Table, "sqlite_master"},
        {QStringLiteral("SELECT COUNT(*) FROM sqlite_master"), K::Table, "sqlite_master"},
        {QStringLiteral("SELECT * FROM pragma_table_info('LOG')"), K::TableFunction, ""},
    };
    for (const auto &c : cases) {
        const Refusal checked = db->check(c.text);
        EXPECT_EQ(checked.kind, c.kind) << c.text.toStdString();
        EXPECT_EQ(checked.name, QString::fromUtf8(c.name)) << c.text.toStdString();
        const ReadResult read = db->read(c.text);
        EXPECT_EQ(read.end, ReadResult::End::Refused) << c.text.toStdString() << ": " << read.error.toStdString();
        // The operator's message names it and says the logbook is only read.
        const QString message = QueryGuard::message(checked);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.name))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("never changes it: nothing was run."))) << message.toStdString();
    }
    EXPECT_EQ(sqlite3_total_changes64(handle), changes);
    EXPECT_EQ(count(), qsizetype(rows->size()));
    EXPECT_FALSE(QFile::exists(attached));
    // No other database can be attached to the snapshot, not even by the program's own texts.
    EXPECT_FALSE(db->exec(QStringLiteral("ATTACH DATABASE '%1' AS other").arg(attached).toUtf8().constData()).ok());
    EXPECT_FALSE(QFile::exists(attached));
    engine.clear();
    db.reset();
    EXPECT_EQ(digest(*path), before);
}

TEST_F(ReadOnlyRules, ACustomQueryIsJudgedOnTheSnapshotWithTheShapeMessages)
{
    EXPECT_EQ(ListingRun::refusal(state, engine, QStringLiteral("SELECT * FROM LOG")), QString());
    const QString deleting = ListingRun::refusal(state, engine, QStringLiteral("WITH x AS (SELECT 1) DELETE FROM LOG"));
    EXPECT_EQ(deleting, QueryGuard::refusal(QStringLiteral("DELETE FROM LOG")));
    // A text with a mistake is not refused: its run says what is wrong.
    EXPECT_EQ(ListingRun::refusal(state, engine, QStringLiteral("SELECT Nonsense FROM LOG")), QString());
    const ListingRun::Outcome failed = ListingRun::run(state, engine, QStringLiteral("SELECT Nonsense FROM LOG"));
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.failure.text, QStringLiteral("Attention, your Search Query or LOG is not exactly!\r\n\r\nSELECT Nonsense FROM LOG"));
    EXPECT_EQ(failed.failure.title, QStringLiteral("VARKEL GRID"));
    EXPECT_EQ(failed.failure.flags, 16);
    EXPECT_TRUE(failed.failure.detail.contains(QStringLiteral("no such column"))) << failed.failure.detail.toStdString();
    // What gets past the shape check is refused by the run with the same message.
    const ListingRun::Outcome refused = ListingRun::run(state, engine, QStringLiteral("WITH x AS (SELECT 1) DELETE FROM LOG"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.failure.text, deleting);
    EXPECT_EQ(refused.failure.flags, 48);
    EXPECT_EQ(count(), qsizetype(rows->size()));
}
