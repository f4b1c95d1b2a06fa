#include "logbook/LogbookEngine.h"
#include "logbook/jet/JetSql.h"
#include "logbook/mdb/LogFingerprint.h"
#include "tests/support/TempLogbook.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

/// The SQLite copy of the logbook's snapshot.
std::shared_ptr<const LogDatabase> openOrFail(LogbookEngine &engine, const QString &path)
{
    auto log = engine.open(path);
    EXPECT_TRUE(log.ok()) << log.error().toStdString();
    return log.ok() ? sharedDatabase(*log) : nullptr;
}

QString count(const LogDatabase &db, const char *text)
{
    const Result<QString> r = db.scalar(QString::fromUtf8(text), QStringLiteral("Quanti"));
    EXPECT_TRUE(r.ok()) << text << ": " << r.error().toStdString();
    return r.ok() ? *r : QStringLiteral("error");
}

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QString text(const genlog::Text &t) { return t ? QString::fromStdString(*t) : QString(); }

} // namespace

TEST(LogbookEngine, SnapshotHoldsEveryValueOfTheFile)
{
    TempLogbook dir;
    const std::vector<genlog::LogRow> rows = genlog::generate(700, 7);
    const QString path = dir.write(rows);
    LogbookEngine engine;
    auto db = openOrFail(engine, path);
    ASSERT_TRUE(db);
    const Result<QueryTable> all =
        db->select(QStringLiteral("SELECT ID, Callsign, Banda, Mode, R, D, DXC, SQR, NOTE, TDate FROM LOG ORDER BY ID"));
    ASSERT_TRUE(all.ok()) << all.error().toStdString();
    ASSERT_EQ(all->rowCount(), qsizetype(rows.size()));
    int nulls = 0, empties = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto &r = rows[i];
        const qsizetype row = qsizetype(i);
        EXPECT_EQ(all->at(row, 0).toInt(), r.ID);
        const std::pair<int, const genlog::Text *> cols[] = {{1, &r.Callsign}, {2, &r.Banda}, {3, &r.Mode}, {4, &r.R},
                                                             {5, &r.D},        {6, &r.DXC},   {7, &r.SQR},  {8, &r.NOTE}};
        for (const auto &[col, value] : cols) {
            const QString &got = all->at(row, col);
            EXPECT_EQ(got.isNull(), !value->has_value()) << "row " << i << " column " << col;
            EXPECT_EQ(got, text(*value)) << "row " << i << " column " << col;
            nulls += got.isNull();
            empties += !got.isNull() && got.isEmpty();
        }
        EXPECT_EQ(all->at(row, 9).size(), 19) << all->at(row, 9).toStdString(); // yyyy-mm-dd hh:mm:ss
    }
    EXPECT_GT(nulls, 0);
    EXPECT_GT(empties, 0);
}

TEST(LogbookEngine, TextComparesAndGroupsWithoutRegardToCase)
{
    TempLogbook dir;
    std::vector<genlog::LogRow> rows = {
        makeRow("14.0", "cw", "y", "N", "dl"), makeRow("14.0", "CW", "Y", "N", "DL"),      makeRow("7.0", "Ssb", "N", "Y", "I"),
        makeRow("7", "FT8", "", "Y", "I"),     makeRow(std::nullopt, "CW", "Y", "N", "F"), makeRow("14.0", std::nullopt, "Y", "N", "EA"),
    };
    rows[0].Callsign = "FIRST";
    rows[1].Callsign = "SECOND";
    const QString path = dir.write(rows);
    LogbookEngine engine;
    auto db = openOrFail(engine, path);
    ASSERT_TRUE(db);
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM log WHERE BANDA LIKE '14.0' AND MODE LIKE 'CW' AND r ='Y'"), "2");
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Mode = 'cw'"), "3");
    EXPECT_EQ(count(*db, "SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE Banda LIKE '*')"), "3");
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Mode LIKE '*'"), "5"); // NULL mode: no match
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '*'"), "5");
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Mode NOT LIKE 'C*'"), "2"); // NULL is neither
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '7'"), "1");     // "7" is not "7.0"
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '#*'"), "5");

    const Result<QueryTable> bands = db->select(QStringLiteral("Select Distinct Banda From Log Order By Banda"));
    ASSERT_TRUE(bands.ok());
    ASSERT_EQ(bands->rowCount(), 4);
    EXPECT_TRUE(bands->at(0, 0).isNull());
    EXPECT_EQ(bands->at(1, 0), "14.0");
    EXPECT_EQ(bands->at(2, 0), "7");
    EXPECT_EQ(bands->at(3, 0), "7.0");

    const Result<QueryTable> grouped = db->select(
        QStringLiteral("SELECT DISTINCT LOG.DXC, First(LOG.Callsign) AS First_CALL, Last(LOG.Callsign) AS Last_CALL From Log Where "
                       "(((Log.Banda) = '14.0') And ((Log.DXC) <> '??')) GROUP BY LOG.DXC;"));
    ASSERT_TRUE(grouped.ok()) << grouped.error().toStdString();
    ASSERT_EQ(grouped->rowCount(), 2);
    EXPECT_EQ(grouped->at(0, 0).toUpper(), "DL");
    EXPECT_EQ(grouped->at(0, 1), "FIRST");
    EXPECT_EQ(grouped->at(0, 2), "SECOND");
}

TEST(LogbookEngine, WildcardFreeBandPatternIsAnsweredThroughAnIndex)
{
    TempLogbook dir;
    LogbookEngine engine;
    auto db = openOrFail(engine, dir.write(genlog::generate(300, 3)));
    ASSERT_TRUE(db);
    const QString sql = *JetSql::toSqlite(QStringLiteral("SELECT COUNT(DXC) AS Quanti FROM (Select Distinct DXC From LOG WHERE Banda LIKE "
                                                         "'14.0' AND (Mode LIKE 'CW') AND R ='Y' AND DXC <> '??' AND DXC <>'')"));
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db->handle(), ("EXPLAIN QUERY PLAN " + sql).toUtf8().constData(), -1, &stmt, nullptr), SQLITE_OK);
    QString plan;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 3))) + "\n";
    sqlite3_finalize(stmt);
    EXPECT_TRUE(plan.contains(QRegularExpression("USING (COVERING )?INDEX"))) << plan.toStdString();
}

TEST(LogbookEngine, QueryNamingAMissingColumnFailsWithoutHarm)
{
    TempLogbook dir;
    jet4::Jet4Writer writer("Log", {{"Banda", jet4::ColumnType::Text, 10}, {"Mode", jet4::ColumnType::Text, 10}});
    writer.addRow({jet4::Value(std::in_place, std::string("14.0")), jet4::Value(std::in_place, std::string("CW"))});
    ASSERT_EQ(writer.save(dir.path("thindt.mdb").toStdString()), "");
    LogbookEngine engine;
    auto db = openOrFail(engine, dir.path("thindt.mdb"));
    ASSERT_TRUE(db);
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '14.0'"), "1");
    EXPECT_FALSE(db->scalar(QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG WHERE R ='Y'"), QStringLiteral("Quanti")).ok());
    EXPECT_FALSE(db->scalar(QStringLiteral("SELECT COUNT(*) AS Other FROM LOG"), QStringLiteral("Quanti")).ok());
}

TEST(LogbookEngine, NeverWritesTheLogbookAndRefusesChanges)
{
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(200, 9));
    const QByteArray before = digest(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    LogbookEngine engine;
    auto db = openOrFail(engine, path);
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->select(QStringLiteral("DELETE FROM LOG")).ok());
    EXPECT_FALSE(db->select(QStringLiteral("SELECT 1 AS a; DELETE FROM LOG")).ok());
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG"), "200");
    engine.clear();
    EXPECT_EQ(digest(path), before);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST(LogbookEngine, ALogbookWhosePathIsNotAsciiOpensThroughTheReader)
{
    // The reader gets the path on its command line: UTF-16 on Windows, bytes elsewhere.
    TempLogbook dir;
    const std::vector<genlog::LogRow> rows = genlog::generate(120, 31);
    const QString written = dir.write(rows);
    const QString folder = dir.path(QStringLiteral("Log Zürich Москва 中文 'x' & (1)"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = QDir(folder).filePath(QStringLiteral("Stazione ÀÉ №1 дт.mdb"));
    ASSERT_TRUE(QFile::rename(written, path));
    LogbookEngine engine;
    const auto db = openOrFail(engine, path);
    ASSERT_TRUE(db);
    EXPECT_EQ(count(*db, "SELECT COUNT(*) AS Quanti FROM LOG"), QString::number(rows.size()));
    const auto fingerprint = LogFingerprint::of(path);
    ASSERT_TRUE(fingerprint);
    EXPECT_EQ(fingerprint->size, QFileInfo(path).size());
    EXPECT_FALSE(LogFingerprint::contentHash(path).isEmpty());
}

TEST(LogbookEngine, TheContentDigestTellsEveryChangedByteWhateverThePiecesItIsFedIn)
{
    // 1000 bytes: whole blocks of 32 and a tail, as a file's last page may leave.
    QByteArray bytes(1000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 37 + 11) & 0xff);
    const auto of = [](const QByteArray &b, const std::vector<int> &cuts) {
        ContentDigest d;
        int at = 0;
        for (const int cut : cuts) {
            d.add(b.constData() + at, std::size_t(cut - at));
            at = cut;
        }
        d.add(b.constData() + at, std::size_t(b.size() - at));
        return d.result();
    };
    const QByteArray whole = of(bytes, {});
    EXPECT_EQ(whole.size(), 16);
    for (const std::vector<int> &cuts : {std::vector<int>{1}, {31, 32, 33}, {5, 64, 500, 999}, {0, 1000}})
        EXPECT_EQ(of(bytes, cuts), whole);
    for (const int at : {0, 7, 31, 32, 511, 990, 999}) {
        QByteArray changed = bytes;
        changed[at] = char(changed[at] ^ 0x01);
        EXPECT_NE(of(changed, {}), whole) << "byte " << at;
    }
    // Zeros appended, or the last byte gone: the length tells.
    QByteArray zeros(64, '\0');
    EXPECT_NE(of(zeros, {}), of(zeros.left(63), {}));
    EXPECT_NE(of(zeros, {}), of(zeros + QByteArray(1, '\0'), {}));
    EXPECT_NE(of(QByteArray(), {}), of(QByteArray(1, '\0'), {}));

    // A file's contentHash is the digest of its bytes, and another file's differs.
    TempLogbook dir;
    const QString path = dir.write(genlog::generate(50, 3));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    EXPECT_EQ(LogFingerprint::contentHash(path), of(file, {}));
    EXPECT_NE(LogFingerprint::contentHash(path),
              LogFingerprint::contentHash(dir.write(genlog::generate(50, 4), QStringLiteral("otherdt.mdb"))));
}
