// The main window following its logbook while this test writes it as the
// host program does (pages rewritten in place): the grid, its marks, the line
// under it, the LIVE box and the windows open, checked against plain loops
// over the rows of each version written.
#include "bandwindow/FrmBanda.h"
#include "listing/FrmTabella.h"
#include "listing/GridRecordset.h"
#include "listing/NeededWindow.h"
#include "matrixwindow/FrmMatrix.h"
#include "matrixwindow/MatrixModel.h"
#include "tests/app/MainWindowSession.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int Bands = 20;
constexpr int Slots = 16;
const QColor ChangedText(0, 128, 0);
constexpr int Band14 = 6; ///< position of 14.0 in the start-up band set

/// Every count the window shows of a DXC run over `rows`, by plain loops; the
/// bands of `skip` (stale ones) and, when any is skipped, TOT are left out.
void expectDxcGrid(Session &s, const std::vector<genlog::LogRow> &rows, const QSet<int> &skip = {})
{
    std::vector<std::string> shown;
    for (int c = 0; c < Bands; ++c) {
        const std::string band = s.header(c).trimmed().toStdString();
        if (!band.empty())
            shown.push_back(band);
        if (band.empty() || skip.contains(c))
            continue;
        for (int r = 0; r < Slots; ++r)
            QCOMPARE(s.cell(c, r).toLong(), reference::entityCount(rows, 0, {band}, r, false));
    }
    for (int r = 0; r < Slots; ++r) {
        QCOMPARE(s.line(QStringLiteral("lblFull"), r).toLong(), reference::entityCount(rows, 0, {"*"}, r, false));
        if (!skip.isEmpty())
            continue;
        QCOMPARE(s.line(QStringLiteral("lblMix"), r).toLong(), reference::entityCount(rows, 0, shown, r, false));
        long sum = 0;
        for (const std::string &band : shown)
            sum += reference::entityCount(rows, 0, {band}, r, false);
        QCOMPARE(s.line(QStringLiteral("LblTot"), r).toLong(), sum);
    }
    QCOMPARE(s.text(QStringLiteral("lblCountQso")), QStringLiteral("QSOs: %1").arg(rows.size()));
}

bool isMarked(QLabel *l) { return l->palette().color(QPalette::WindowText) == ChangedText; }

} // namespace

class TestLiveWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void anAppendedContactUpdatesTheGrid();
    void staleCountsAndOpenWindows();
    void liveOffLeavesTheGridAndIsRemembered();
    void readsFailingAreSaid();
    void aLogbookThatCannotBeCountedIsSaidOnce();

private:
    /// Writes `rows` over the logbook in place, as the host program writes its pages.
    void writeLog(const std::vector<genlog::LogRow> &rows);
    /// A session on the logbook with a DXC run done.
    std::unique_ptr<Session> counted();

    TempLogbook m_folder;
    TempLogbook m_versions;
    QString m_log;
    std::vector<genlog::LogRow> m_rows;
    int m_written = 0;
};

void TestLiveWindow::initTestCase() { useScratchSettings(); }

void TestLiveWindow::init()
{
    m_rows = genlog::generate(600, 31);
    m_log = m_folder.path(QStringLiteral("livedt.mdb"));
    QFile::remove(m_log);
    QVERIFY(QFile::copy(m_versions.write(m_rows, QStringLiteral("v%1.mdb").arg(++m_written)), m_log));
    QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Varkel"), QStringLiteral("VarkelChecker")).clear();
}

void TestLiveWindow::writeLog(const std::vector<genlog::LogRow> &rows)
{
    QFile version(m_versions.write(rows, QStringLiteral("v%1.mdb").arg(++m_written)));
    QVERIFY(version.open(QIODevice::ReadOnly));
    const QByteArray bytes = version.readAll();
    QFile f(m_log);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QCOMPARE(f.write(bytes), bytes.size());
    QVERIFY(f.resize(bytes.size()));
}

std::unique_ptr<Session> TestLiveWindow::counted()
{
    auto s = std::make_unique<Session>(m_folder.folder());
    s->start(QStringLiteral("livedt"));
    s->clickStats(0); // DXC
    return s;
}

void TestLiveWindow::anAppendedContactUpdatesTheGrid()
{
    std::unique_ptr<Session> s = counted();
    QVERIFY(s->find<QCheckBox>(QStringLiteral("LiveChk"))->isChecked());
    expectDxcGrid(*s, m_rows);
    const QStringList before = s->allCounts();

    // A contact of an entity the log never had, on 14.0 CW, not confirmed.
    m_rows.push_back(makeRow("14.0", "CW", "N", "N", "XX9NEW"));
    QElapsedTimer sinceWrite;
    writeLog(m_rows);
    sinceWrite.start();
    QTRY_VERIFY_WITH_TIMEOUT(s->allCounts() != before, 10000);
    QVERIFY2(sinceWrite.elapsed() >= 900, "the grid waits for the file to be quiet");
    expectDxcGrid(*s, m_rows);

    // The counts that changed are marked and say what they were; the others are not.
    int marked = 0;
    const QStringList after = s->allCounts();
    for (int i = 0; i < after.size(); ++i) {
        const QString name =
            i < 320 ? QStringLiteral("Lblstat_%1").arg(i)
                    : QStringLiteral("%1_%2").arg(QStringList{"lblMix", "LblTot", "lblFull"}[(i - 320) / Slots]).arg(i % Slots);
        auto *l = s->find<QLabel>(name);
        if (after[i] == before[i]) {
            QVERIFY2(!isMarked(l) && !l->toolTip().startsWith(QStringLiteral("was ")), qPrintable(name));
            continue;
        }
        ++marked;
        QVERIFY2(isMarked(l), qPrintable(name));
        QVERIFY2(l->toolTip().startsWith(QStringLiteral("was ") + before[i]), qPrintable(name + l->toolTip()));
        if (i < 320)
            QVERIFY(l->font().bold());
    }
    QVERIFY(marked >= 4); // WORKED CW and MIX of 14.0, and of MIX, TOT, FULL
    // The NOT CONFIRMED tool tip says what the count was, then names its entities as they are now.
    const int notConfirmedCw = Band14 + 20 * 8;
    const QString tip = s->find(QStringLiteral("Lblstat_%1").arg(notConfirmedCw))->toolTip();
    QVERIFY2(tip.startsWith(QStringLiteral("was %1\n%2 not confirmed: ").arg(before[notConfirmedCw], after[notConfirmedCw])),
             qPrintable(tip));
    const QString note = s->text(QStringLiteral("LblLive"));
    QVERIFY2(note.startsWith(QStringLiteral("Logbook updated ")), qPrintable(note));
    QVERIFY2(note.contains(QStringLiteral("new: XX9NEW 14.0 CW - 1 new contact (601 in all)")), qPrintable(note));

    // A deleted contact is said too; the next run clears the marks.
    m_rows.erase(m_rows.begin());
    writeLog(m_rows);
    QTRY_VERIFY_WITH_TIMEOUT(s->text(QStringLiteral("LblLive")).contains(QStringLiteral("1 contact deleted (600 in all)")), 10000);
    expectDxcGrid(*s, m_rows);
    s->clickStats(0);
    QTRY_VERIFY(s->controller.changedCounts().empty());
    for (int i = 0; i < 320; ++i)
        QVERIFY(!isMarked(s->find<QLabel>(QStringLiteral("Lblstat_%1").arg(i))));
    QVERIFY(s->prompter.messages().isEmpty());
}

void TestLiveWindow::staleCountsAndOpenWindows()
{
    std::unique_ptr<Session> s = counted();
    const QStringList runHeaders = s->headers();
    // The single-band window of 14.0 counted, and the NEEDED lists open.
    QTest::mouseClick(s->find(QStringLiteral("CmdBandaSingola_%1").arg(Band14)), Qt::LeftButton);
    FrmBanda *band = s->window.bandWindow();
    QVERIFY(band);
    QTest::mouseClick(band->findChild<QPushButton *>(QStringLiteral("CmdStart")), Qt::LeftButton);
    QCOMPARE(band->matrix().caption(BandMatrix::cell(0, 1)).toLong(), reference::entityCount(m_rows, 0, {"14.0"}, 0, false));
    s->controller.needed();
    auto *needed = s->window.findChild<NeededWindow *>();
    QVERIFY(needed);
    s->controller.awardMatrix();
    auto *matrix = s->window.findChild<FrmMatrix *>();
    QVERIFY(matrix);
    // A header changed since the run: its counts (and TOT, MIX) are grey and stay.
    s->controller.matrix().setHeader(0, QStringLiteral("3.5"));
    const QStringList staleBand = s->row(0);
    const QStringList staleTot = s->lineCaptions(QStringLiteral("LblTot"));

    std::vector<genlog::LogRow> rows = m_rows;
    for (const char *b : {"0.134", "14.0"})
        rows.push_back(makeRow(b, "SSB", "N", "N", "XX8NEW"));
    bool listingMarked = false;
    // A listing open (modal) while the logbook changes keeps its rows and says so.
    QTimer::singleShot(0, [&] {
        FrmTabella *listing = nullptr;
        const auto closeIt = qScopeGuard([] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });
        QTRY_VERIFY_WITH_TIMEOUT((listing = qobject_cast<FrmTabella *>(QApplication::activeModalWidget())), 10000);
        const int shownRows = listing->recordset()->rowCount();
        writeLog(rows);
        QTRY_VERIFY_WITH_TIMEOUT(listing->windowTitle().contains(QStringLiteral("the logbook has changed since this list was made")),
                                 10000);
        QCOMPARE(listing->recordset()->rowCount(), shownRows);
        listingMarked = true;
    });
    s->controller.doubleClickCell(Band14); // WORKED CW of 14.0
    QVERIFY(listingMarked);
    expectDxcGrid(*s, rows, {0});
    QCOMPARE(s->row(0), staleBand);
    QCOMPARE(s->lineCaptions(QStringLiteral("LblTot")), staleTot);
    const QString note = s->text(QStringLiteral("LblLive"));
    QVERIFY2(note.contains(QStringLiteral("new: XX8NEW 14.0 PHONE - 2 new contacts (602 in all)")), qPrintable(note));

    // The single-band window counted again for its band.
    for (int r = 0; r < Slots; ++r)
        QCOMPARE(band->matrix().caption(BandMatrix::cell(r, 1)).toLong(), reference::entityCount(rows, 0, {"14.0"}, r, false));
    // The NEEDED lists too, over the band set they were made for: as many QSL
    // rows as NOT CONFIRMED counts.
    long notConfirmed = 0;
    for (const QString &b : runHeaders) {
        for (int m = 0; m < 4; ++m)
            notConfirmed += reference::entityCount(rows, 0, {b.toStdString()}, 8 + m, false);
    }
    QCOMPARE(needed->findChild<QTabWidget *>(QStringLiteral("NeededTabs"))->tabText(0), QStringLiteral("QSL chase (%1)").arg(notConfirmed));
    // And the matrix: its totals of 14.0 are the new log's.
    const MatrixReport::Report &m = matrix->model()->report();
    const qsizetype c14 = m.bands.indexOf(QStringLiteral("14.0"));
    QVERIFY(c14 >= 0);
    QCOMPARE(m.columnWorked[size_t(c14)], reference::entityCount(rows, 0, {"14.0"}, 3, false));
    QCOMPARE(m.columnConfirmed[size_t(c14)], reference::entityCount(rows, 0, {"14.0"}, 7, false));
    matrix->close();
    needed->close();
    band->close();
}

void TestLiveWindow::liveOffLeavesTheGridAndIsRemembered()
{
    {
        std::unique_ptr<Session> s = counted();
        auto *live = s->find<QCheckBox>(QStringLiteral("LiveChk"));
        QTest::mouseClick(live, Qt::LeftButton);
        QVERIFY(!live->isChecked() && !s->controller.live());
        const QStringList before = s->allCounts();
        m_rows.push_back(makeRow("14.0", "CW", "N", "N", "XX7NEW"));
        writeLog(m_rows);
        QTest::qWait(3500); // the quiet second and a fingerprint poll
        QCOMPARE(s->allCounts(), before);
        QVERIFY(s->text(QStringLiteral("LblLive")).isEmpty());
    }
    // Remembered: the next window starts with the box off; on again, what was written shows.
    std::unique_ptr<Session> s = counted();
    auto *live = s->find<QCheckBox>(QStringLiteral("LiveChk"));
    QVERIFY(!live->isChecked());
    m_rows.push_back(makeRow("21.0", "CW", "N", "N", "XX6NEW"));
    writeLog(m_rows);
    QTest::qWait(2500);
    const std::vector<genlog::LogRow> counted(m_rows.begin(), m_rows.end() - 1);
    expectDxcGrid(*s, counted);
    QTest::mouseClick(live, Qt::LeftButton);
    QVERIFY(s->controller.live());
    QTRY_VERIFY_WITH_TIMEOUT(s->text(QStringLiteral("LblLive")).contains(QStringLiteral("XX6NEW 21.0 CW")), 10000);
    expectDxcGrid(*s, m_rows);
}

void TestLiveWindow::readsFailingAreSaid()
{
    std::unique_ptr<Session> s = counted();
    s->controller.setFailureNoteAfter(1500);
    const QStringList before = s->allCounts();
    {
        // Not a logbook for the moment: the host program is half way.
        QFile f(m_log);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.write(QByteArray(4096, 'x')) == 4096);
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        s->text(QStringLiteral("LblLive")).startsWith(QStringLiteral("The logbook changed and has not been read whole for")), 15000);
    QCOMPARE(s->allCounts(), before);
    m_rows.push_back(makeRow("7.0", "CW", "Y", "N", "XX5NEW"));
    writeLog(m_rows);
    QTRY_VERIFY_WITH_TIMEOUT(s->text(QStringLiteral("LblLive")).startsWith(QStringLiteral("Logbook updated")), 10000);
    expectDxcGrid(*s, m_rows);
    QVERIFY(s->prompter.messages().isEmpty());
}

void TestLiveWindow::aLogbookThatCannotBeCountedIsSaidOnce()
{
    std::unique_ptr<Session> s = counted();
    const QStringList before = s->allCounts();
    // The same contacts in a table without the DXC column: read whole, not countable by DXC.
    std::vector<jet4::Column> columns = genlog::logColumns();
    std::vector<size_t> kept;
    for (size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].name != "DXC")
            kept.push_back(c);
    }
    std::vector<jet4::Column> without;
    for (const size_t c : kept)
        without.push_back(columns[c]);
    jet4::Jet4Writer writer("LOG", without);
    for (const genlog::LogRow &row : m_rows) {
        const std::vector<jet4::Value> values = genlog::toValues(row);
        std::vector<jet4::Value> some;
        for (const size_t c : kept)
            some.push_back(values[c]);
        writer.addRow(some);
    }
    const QString other = m_versions.path(QStringLiteral("nodxc.mdb"));
    QVERIFY(writer.save(other.toStdString()).empty());
    QFile version(other);
    QVERIFY(version.open(QIODevice::ReadOnly));
    const QByteArray bytes = version.readAll();
    QFile f(m_log);
    QVERIFY(f.open(QIODevice::ReadWrite) && f.write(bytes) == bytes.size() && f.resize(bytes.size()));
    f.close();

    QTRY_VERIFY_WITH_TIMEOUT(s->text(QStringLiteral("LblLive")).contains(QStringLiteral("but the counts could not be made again")), 10000);
    QCOMPARE(s->allCounts(), before);
    // Not tried again while the file stays as it is.
    const QString note = s->text(QStringLiteral("LblLive"));
    QTest::qWait(2500);
    QCOMPARE(s->text(QStringLiteral("LblLive")), note);
    QVERIFY(s->prompter.messages().isEmpty());
}

QTEST_MAIN(TestLiveWindow)
#include "TestLiveWindow.moc"
