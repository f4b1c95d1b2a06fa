// The headless report following a logbook that another program writes: this
// test is that program. It writes versions of one logbook in every way a
// logging program does (pages in place, truncated and written again, replaced
// by a rename, a write that stops half way for longer than a read) while
// `varkelchecker --watch` prints its reports, and checks each report against
// plain loops over the rows of the versions written.
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"
#include "tools/genlog/LogGenerator.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr int Slots = 16;
constexpr qint64 PageBytes = 4096;
const std::vector<std::string> Bands = {"14.0", "21.0", "7.0"};
const QString BandArgument = QStringLiteral("14.0,21.0,7.0");

/// One version of the logbook: its rows, a file of its own and its bytes.
struct Version {
    std::vector<genlog::LogRow> rows;
    QString file;
    QByteArray bytes;
};

QJsonArray numbers(const std::function<long(int)> &slot)
{
    QJsonArray a;
    for (int r = 0; r < Slots; ++r)
        a << double(slot(r));
    return a;
}

/// What the DXC report of `rows` over Bands holds, counted by plain loops.
QJsonObject expectedReport(const std::vector<genlog::LogRow> &rows)
{
    QJsonObject o;
    QJsonArray bands;
    for (const std::string &b : Bands)
        bands << numbers([&](int r) { return reference::entityCount(rows, 0, {b}, r, false); });
    o["bands"] = bands;
    o["mix"] = numbers([&](int r) { return reference::entityCount(rows, 0, Bands, r, false); });
    o["full"] = numbers([&](int r) { return reference::entityCount(rows, 0, {"*"}, r, false); });
    o["qsos"] = double(rows.size());
    return o;
}

/// The same parts of a printed report.
QJsonObject printedParts(const QJsonObject &report)
{
    QJsonObject o;
    QJsonArray bands;
    for (const QJsonValue b : report.value("bands").toArray())
        bands << b.toObject().value("counts");
    o["bands"] = bands;
    for (const char *key : {"mix", "full", "qsos"})
        o[key] = report.value(key);
    return o;
}

/// Writes `bytes` over the file page by page, without truncating it;
/// `pause` runs after the page `pauseAfter`.
void writeInPlace(const QString &path, const QByteArray &bytes, qint64 pauseAfter = -1, int pauseMs = 0)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    for (qint64 page = 0; page * PageBytes < bytes.size(); ++page) {
        QVERIFY(f.seek(page * PageBytes));
        QCOMPARE(f.write(bytes.mid(page * PageBytes, PageBytes)), qMin(PageBytes, bytes.size() - page * PageBytes));
        QVERIFY(f.flush());
        if (page == pauseAfter)
            QThread::msleep(pauseMs);
        else
            QThread::msleep(1);
    }
}

void truncateAndWrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    for (qint64 at = 0; at < bytes.size(); at += 4 * PageBytes) {
        QVERIFY(f.write(bytes.mid(at, 4 * PageBytes)) > 0);
        QVERIFY(f.flush());
        QThread::msleep(2);
    }
}

void replaceByRename(const QString &path, const QByteArray &bytes)
{
    const QString fresh = path + QStringLiteral(".new");
    {
        QFile f(fresh);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    // On Windows a file another process has open (the program's reader, for a
    // moment) cannot be replaced: a writer that saves by rename tries again, as
    // this one does, for up to two seconds.
    std::error_code error;
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::filesystem::rename(std::filesystem::path(fresh.toStdWString()), std::filesystem::path(path.toStdWString()), error);
        if (!error)
            break;
        QThread::msleep(50);
    }
    QVERIFY2(!error, error.message().c_str());
}

/// The complete lines printed so far.
QList<QByteArray> linesOf(const QByteArray &out)
{
    QList<QByteArray> lines = out.split('\n');
    lines.removeLast(); // the part after the last line end (empty when the line is complete)
    return lines;
}

/// Waits until the program has printed `n` complete lines (or more); false after `ms`.
bool waitForLines(QProcess &p, QByteArray &out, int n, int ms)
{
    QElapsedTimer t;
    t.start();
    while (linesOf(out).size() < n && t.elapsed() < ms) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
    }
    return linesOf(out).size() >= n;
}

/// Ends the program as an operator or a service manager would; its exit status.
int stop(QProcess &p)
{
    p.terminate(); // SIGTERM; on Windows WM_CLOSE to the main thread
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestReportWatch : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyReportIsOneWholeVersion();
    void textAndCsvTellTheReadTime();
    void neededFollowsToo();
    void missingLogbookIsWaitedFor();

private:
    Version version(size_t contacts, size_t dropped = 0);
    QProcess *start(const QStringList &arguments, const QString &logbook);

    TempLogbook m_folder;
    std::vector<genlog::LogRow> m_all;
    int m_versions = 0;
};

void TestReportWatch::initTestCase() { m_all = genlog::generate(700, 19); }

/// The first `contacts` generated rows, without the first `dropped` of them
/// (contacts the operator deleted).
Version TestReportWatch::version(size_t contacts, size_t dropped)
{
    Version v;
    v.rows.assign(m_all.begin() + qsizetype(dropped), m_all.begin() + qsizetype(contacts));
    v.file = m_folder.write(v.rows, QStringLiteral("version%1.mdb").arg(++m_versions));
    QFile f(v.file);
    if (f.open(QIODevice::ReadOnly))
        v.bytes = f.readAll();
    return v;
}

QProcess *TestReportWatch::start(const QStringList &arguments, const QString &logbook)
{
    auto *p = new QProcess(this);
    p->setProgram(QStringLiteral(VARKELCHECKER_EXE));
    p->setArguments(arguments + QStringList{logbook});
    p->start();
    return p->waitForStarted() ? p : nullptr;
}

void TestReportWatch::everyReportIsOneWholeVersion()
{
    std::vector<Version> versions;
    for (const auto &[contacts, dropped] :
         std::vector<std::pair<size_t, size_t>>{{300, 0}, {340, 0}, {420, 0}, {400, 20}, {520, 20}, {600, 20}})
        versions.push_back(version(contacts, dropped));
    for (const Version &v : versions)
        QVERIFY(!v.bytes.isEmpty());
    std::vector<QJsonObject> expected;
    for (const Version &v : versions)
        expected.push_back(expectedReport(v.rows));

    const QString log = m_folder.path(QStringLiteral("watcheddt.mdb"));
    {
        QFile f(log);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(versions[0].bytes);
    }
    QProcess *p = start({"--report", "DXC", "--bands", BandArgument, "--format", "json", "--watch"}, log);
    QVERIFY(p);
    QByteArray out;
    QVERIFY2(waitForLines(*p, out, 1, 30000), p->readAllStandardError().constData());

    // The writer: each version written its own way, and left standing until
    // its report has come. On a slow or busy machine (under Wine a reader
    // process starts slowly) a read may take longer than any fixed pause,
    // and the next version would hide this one.
    const auto reported = [&](size_t k) {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000) {
            out += p->readAllStandardOutput();
            const QList<QByteArray> lines = linesOf(out);
            if (!lines.isEmpty() && printedParts(QJsonDocument::fromJson(lines.last()).object()) == expected[k])
                return true;
            p->waitForReadyRead(200);
        }
        return false;
    };
    writeInPlace(log, versions[1].bytes);
    QVERIFY(reported(1));
    truncateAndWrite(log, versions[2].bytes);
    QVERIFY(reported(2));
    replaceByRename(log, versions[3].bytes); // fewer contacts: some were deleted
    QVERIFY(reported(3));
    // Half the pages, then a pause far longer than a read and the quiet time.
    writeInPlace(log, versions[4].bytes, versions[4].bytes.size() / PageBytes / 2, 3000);
    QVERIFY(reported(4));
    // Pages in place again, quickly after one another, then the last version.
    writeInPlace(log, versions[1].bytes);
    writeInPlace(log, versions[5].bytes);
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        out += p->readAllStandardOutput();
        const QList<QByteArray> lines = linesOf(out);
        if (!lines.isEmpty() && printedParts(QJsonDocument::fromJson(lines.last()).object()) == expected.back())
            break;
        p->waitForReadyRead(200);
    }
    const QByteArray err = p->readAllStandardError();
    QCOMPARE(stop(*p), 0);
    out += p->readAllStandardOutput();

    // Every line is one whole report of one version, in the order written.
    const QList<QByteArray> lines = linesOf(out);
    QVERIFY(lines.size() >= 2);
    QString seen;
    int previousRead = -1;
    for (const QByteArray &line : lines) {
        QJsonParseError error;
        const QJsonObject report = QJsonDocument::fromJson(line, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, line.constData());
        QCOMPARE(report.value("kind").toString(), QStringLiteral("DXC"));
        QVERIFY(!report.value("read").toString().isEmpty());
        const auto found = std::find(expected.begin(), expected.end(), printedParts(report));
        QVERIFY2(found != expected.end(), (QByteArray("a report of no version written: ") + line + "\nerrors: " + err).constData());
        const int index = int(found - expected.begin());
        // Version 1 is written twice; otherwise the program never goes back.
        QVERIFY(index >= previousRead || index == 1);
        previousRead = index;
        seen += QString::number(index);
    }
    QCOMPARE(printedParts(QJsonDocument::fromJson(lines.last()).object()), expected.back());
    // Every version that stood still is reported.
    for (const QChar v : QStringLiteral("012345"))
        QVERIFY2(seen.contains(v), qPrintable(seen));
}

void TestReportWatch::textAndCsvTellTheReadTime()
{
    const Version first = version(200), second = version(260);
    for (const QString &format : {QStringLiteral("csv"), QStringLiteral("text")}) {
        const QString log = m_folder.path(format + QStringLiteral("dt.mdb"));
        QFile::remove(log);
        QVERIFY(QFile::copy(first.file, log));
        QProcess *p = start({"--report", "QSO", "--bands", BandArgument, "--format", format, "--watch"}, log);
        QVERIFY(p);
        QByteArray out;
        // The read line, then in csv the column titles, 3 bands, MIX, TOT,
        // FULL and QSOS; in text the title, the block and mode titles, 3
        // bands, MIX, TOT, FULL and the QSO line.
        const int perReport = format == QLatin1String("csv") ? 9 : 11;
        QVERIFY(waitForLines(*p, out, perReport, 30000));
        writeInPlace(log, second.bytes);
        QVERIFY(waitForLines(*p, out, 2 * perReport, 15000));
        QCOMPARE(stop(*p), 0);
        const QList<QByteArray> lines = linesOf(out);
        QCOMPARE(lines.size(), 2 * perReport);
        for (int i = 0; i < 2; ++i) {
            const std::vector<genlog::LogRow> &rows = i == 0 ? first.rows : second.rows;
            const QString read = QString::fromUtf8(lines[i * perReport]);
            const QString last = QString::fromUtf8(lines[(i + 1) * perReport - 1]);
            const QRegularExpressionMatch time = QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\dT[0-9:.]+Z")).match(read);
            QVERIFY2(time.hasMatch(), qPrintable(read));
            QVERIFY(QDateTime::fromString(time.captured(), Qt::ISODateWithMs).isValid());
            if (format == QLatin1String("csv")) {
                QVERIFY2(read.startsWith(QLatin1String("READ,")), qPrintable(read));
                QCOMPARE(last.split(QLatin1Char(','))[3], QString::number(rows.size()));
                // The band line of 14.0: its CW worked count.
                const QStringList band = QString::fromUtf8(lines[i * perReport + 2]).split(QLatin1Char(','));
                QCOMPARE(band[2], QStringLiteral("14.0"));
                QCOMPARE(band[3].toLong(), reference::qsoCount(rows, "14.0", 0, false));
            } else {
                QVERIFY2(read.contains(QLatin1String("read")), qPrintable(read));
                QVERIFY2(last.endsWith(QString::number(rows.size())), qPrintable(last));
            }
        }
    }
}

void TestReportWatch::neededFollowsToo()
{
    const Version first = version(250), second = version(330);
    const QString log = m_folder.path(QStringLiteral("neededdt.mdb"));
    QVERIFY(QFile::copy(first.file, log));
    QProcess *p = start({"--needed", "DXC", "--bands", BandArgument, "--format", "json", "--watch"}, log);
    QVERIFY(p);
    QByteArray out;
    QVERIFY(waitForLines(*p, out, 1, 30000));
    replaceByRename(log, second.bytes);
    QVERIFY(waitForLines(*p, out, 2, 15000));
    QCOMPARE(stop(*p), 0);
    const QList<QByteArray> lines = linesOf(out);
    QCOMPARE(lines.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const std::vector<genlog::LogRow> &rows = i == 0 ? first.rows : second.rows;
        const QJsonObject report = QJsonDocument::fromJson(lines[i]).object();
        QVERIFY(!report.value("read").toString().isEmpty());
        // Each QSL-chase group holds as many entities as NOT CONFIRMED counts there.
        const QJsonArray groups = report.value("qsl").toArray();
        QCOMPARE(groups.size(), int(Bands.size()) * 4);
        for (const QJsonValue g : groups) {
            const QJsonObject group = g.toObject();
            const int band = group.value("position").toInt();
            const int mode = int(QStringList{"CW", "PHONE", "DATA", "MIX"}.indexOf(group.value("class").toString()));
            QVERIFY(mode >= 0);
            QCOMPARE(long(group.value("count").toInt()), reference::entityCount(rows, 0, {Bands[size_t(band)]}, 8 + mode, false));
        }
    }
}

void TestReportWatch::missingLogbookIsWaitedFor()
{
    // Started before the host program has written its logbook: the failed
    // read is told on standard error, and the report follows once it is there.
    const Version v = version(150);
    const QString log = m_folder.path(QStringLiteral("laterdt.mdb"));
    QProcess *p = start({"--report", "QSO", "--bands", BandArgument, "--format", "json", "--watch"}, log);
    QVERIFY(p);
    QByteArray err;
    QElapsedTimer t;
    t.start();
    while (err.isEmpty() && t.elapsed() < 20000) {
        p->waitForReadyRead(200);
        err += p->readAllStandardError();
    }
    QVERIFY(!err.isEmpty());
    QCOMPARE(p->state(), QProcess::Running);
    replaceByRename(log, v.bytes);
    QByteArray out;
    QVERIFY(waitForLines(*p, out, 1, 20000));
    QCOMPARE(QJsonDocument::fromJson(linesOf(out).first()).object().value("qsos").toInt(), int(v.rows.size()));
    QCOMPARE(stop(*p), 0);
}

QTEST_GUILESS_MAIN(TestReportWatch)
#include "TestReportWatch.moc"
