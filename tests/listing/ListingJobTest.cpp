// Listings read on a thread of their own: they can be stopped, and they stop
// on their own at the rows a sheet holds and the memory a listing may take.
#include "listing/ListingJob.h"
#include "listing/ListingRun.h"
#include "listing/XlsxExport.h"
#include "tests/support/TempLogbook.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QString Endless = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT COUNT(*) FROM c");

class ListingJobs : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TempLogbook;
        path = new QString(dir->write(genlog::generate(300, 17)));
    }
    static void TearDownTestSuite()
    {
        delete path;
        delete dir;
    }
    void SetUp() override
    {
        auto opened = engine.open(*path);
        ASSERT_TRUE(opened.ok()) << opened.error().toStdString();
        db = sharedDatabase(*opened);
    }
    qsizetype contacts() const { return db->read(QStringLiteral("SELECT COUNT(*) FROM LOG")).table.at(0, 0).toLongLong(); }

    static TempLogbook *dir;
    static QString *path;
    LogbookEngine engine;
    std::shared_ptr<const LogDatabase> db;
};

TempLogbook *ListingJobs::dir = nullptr;
QString *ListingJobs::path = nullptr;

/// The rows 1..n of a counting query.
QString counting(int n)
{
    return QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < %1) SELECT x FROM c").arg(n);
}

} // namespace

TEST_F(ListingJobs, ACancelRightAfterTheStartIsNotLost)
{
    for (int i = 0; i < 20; ++i) {
        ListingJob job(db, Endless, ListingRun::limits());
        job.start();
        job.cancel();
        ASSERT_TRUE(job.wait(5000)) << "round " << i;
        EXPECT_EQ(job.take().end, ReadResult::End::Cancelled);
    }
    EXPECT_EQ(contacts(), 300);
}

TEST_F(ListingJobs, ADestroyedJobStopsItsRead)
{
    {
        ListingJob job(db, Endless, ListingRun::limits());
        job.start();
        EXPECT_FALSE(job.wait(100));
    }
    EXPECT_EQ(contacts(), 300);
}

TEST(ListingJob, ACancelWhileTheSnapshotFillsStopsTheListingNotTheFill)
{
    auto created = LogDatabase::create();
    ASSERT_TRUE(created.ok());
    std::shared_ptr<LogDatabase> db = std::move(created.value());
    std::mutex gate;
    gate.lock();
    db->fillInBackground([&gate](sqlite3 *handle, const std::atomic<bool> &) -> Status {
        std::lock_guard open(gate); // the fill waits until the listing was cancelled
        if (Status s = execSqlite(handle, "CREATE TABLE LOG (ID INTEGER, Callsign TEXT)"); !s)
            return s;
        return execSqlite(handle, "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c WHERE x < 200000) "
                                  "INSERT INTO LOG SELECT x, 'I' || x FROM c");
    });
    ListingJob job(db, QStringLiteral("SELECT * FROM LOG"), ListingRun::limits());
    job.start();
    EXPECT_FALSE(job.wait(100));
    job.cancel();
    gate.unlock();
    ASSERT_TRUE(job.wait(10000));
    EXPECT_EQ(job.take().end, ReadResult::End::Cancelled);
    ASSERT_TRUE(db->ready().ok()) << db->ready().error().toStdString();
    EXPECT_EQ(db->read(QStringLiteral("SELECT COUNT(*) FROM LOG")).table.at(0, 0), QStringLiteral("200000"));
}

TEST_F(ListingJobs, RowLimitKeepsTheFirstRowsAndSaysWhetherMoreFollowed)
{
    const struct {
        int rows;
        qsizetype limit;
        ReadResult::End end;
        qsizetype kept;
    } cases[] = {
        {999, 1000, ReadResult::End::Complete, 999},
        {1000, 1000, ReadResult::End::Complete, 1000},
        {1001, 1000, ReadResult::End::RowLimit, 1000},
        {50000, 1000, ReadResult::End::RowLimit, 1000},
    };
    for (const auto &c : cases) {
        const ReadResult r = db->read(counting(c.rows), ReadLimits{c.limit, 0});
        EXPECT_EQ(r.end, c.end) << c.rows;
        ASSERT_EQ(r.table.rowCount(), c.kept) << c.rows;
        EXPECT_EQ(r.table.at(c.kept - 1, 0), QString::number(c.kept));
    }
}

TEST_F(ListingJobs, ByteLimitStopsBeforeTheRowThatWouldPassIt)
{
    const qsizetype cap = qsizetype(1) << 20;
    const ReadResult r = db->read(QStringLiteral("SELECT * FROM LOG a, LOG b"), ReadLimits{0, cap});
    ASSERT_EQ(r.end, ReadResult::End::ByteLimit) << r.error.toStdString();
    qsizetype bytes = 0;
    for (const QString &cell : r.table.cells)
        bytes += LogDatabase::cellBytes(cell);
    EXPECT_LE(bytes, cap);
    EXPECT_GT(bytes, cap - 34 * 4096); // no more than a row short of it
    EXPECT_GT(r.table.rowCount(), 0);
    EXPECT_LT(r.table.rowCount(), 300 * 300);
}

TEST(ListingJob, ACrossJoinOfAFullLogIsCutAtTheMemoryOfAListing)
{
    TempLogbook dir;
    const LoadedLog state{QStringLiteral("TESTDT"), dir.write(genlog::generate(3000, 1))};
    LogbookEngine engine;
    const ListingRun::Outcome out = ListingRun::run(state, engine, QStringLiteral("SELECT * FROM LOG a, LOG b"));
    ASSERT_TRUE(out.ok) << out.failure.detail.toStdString();
    const qsizetype rows = out.table.rowCount();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 3000 * 3000);
    qsizetype bytes = 0;
    for (const QString &cell : out.table.cells)
        bytes += LogDatabase::cellBytes(cell);
    EXPECT_LE(bytes, ListingRun::MaxListingBytes);
    EXPECT_EQ(out.notice.text,
              QStringLiteral("The listing was cut at %1 rows: the rows found take more memory than a listing may hold.").arg(rows));
    EXPECT_EQ(out.notice.flags, 48);
}
