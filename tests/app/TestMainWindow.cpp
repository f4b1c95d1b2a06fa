// The main window driven as the operator drives it: start-up, loading, award
// runs, the FT8 option, presets, busy runs, closing, and the headless report.
#include "app/HeadlessReport.h"
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/StationCallsign.h"
#include "bandwindow/FrmBanda.h"
#include "listing/FrmTabella.h"
#include "listing/NeededWindow.h"
#include "stats/GridTexts.h"
#include "tests/app/MainWindowSession.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/XlsxSheet.h"
#include "tools/genlog/LogGenerator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFocusEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

constexpr int Bands = 20;
constexpr int Slots = 16;

const QStringList StartupBands = {"0.134", "1.8", "3.5", "5.3", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9",
                                  "28.0",  "50",  "70",  "144", "430", "1200", "2400", "5600", "10G",  "24G"};
const QStringList DefaultPreset = {"0.134", "1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0",
                                   "50",    "70",  "144", "220", "430",  "1200", "2400", "5600", "10G",  "24G"};
const QStringList KindNames = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR", "QSO"};

const QString QsoError = QStringLiteral("SQL or Log FILENAME error!");
const QString EntityError = QStringLiteral("SQL or FILENAME error!");
const QString Ft8Warning = QStringLiteral("PLEASE LOAD LOGBOOK or SAVE VARKELCHECKER.EXE in VARKEL/DATA");

/// Every count label of the window shows its caption in the controller's grid.
void showsMatrix(Session &s)
{
    const StatsMatrix &m = s.controller.matrix();
    for (int i = 0; i < 320; ++i) {
        if (s.text(QStringLiteral("Lblstat_%1").arg(i)) != m.caption(StatsMatrix::Line::Lblstat, i))
            QFAIL(qPrintable(QStringLiteral("cell %1 shows %2").arg(i).arg(s.text(QStringLiteral("Lblstat_%1").arg(i)))));
    }
    const QList<QPair<QString, StatsMatrix::Line>> lines = {
        {"lblMix", StatsMatrix::Line::Mix}, {"LblTot", StatsMatrix::Line::Tot}, {"lblFull", StatsMatrix::Line::Full}};
    for (const auto &[prefix, line] : lines) {
        for (int r = 0; r < Slots; ++r)
            QCOMPARE(s.line(prefix, r), m.caption(line, r));
    }
    QCOMPARE(s.text(QStringLiteral("lblCountQso")), m.countQso());
}

/// The DATA count of band 14.0 (position 6 of the start-up set) as plain loops give it.
QString data14(const std::vector<genlog::LogRow> &rows, const QString &kind, bool ft8)
{
    const int r = 2;
    const long n = kind == QLatin1String("QSO") ? reference::qsoCount(rows, "14.0", r, ft8)
                                                : reference::entityCount(rows, int(KindNames.indexOf(kind)), {"14.0"}, r, ft8);
    return QString::number(n);
}

QString today() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); }

/// The text report's columns: a name of 7 characters, then per status block
/// (WORKED, CONFIRMED, NOT CONFIRMED, AWARD) " |" and its CW, PHONE, DATA and
/// MIX columns of 6 characters each, right-aligned.
constexpr int TextLabelWidth = 7;
constexpr int TextCountWidth = 6;
constexpr int TextBlockWidth = 2 + 4 * TextCountWidth;

/// A band or total line of the text report read at its columns: the name and the
/// 16 values; empty when anything stands off its column.
QStringList textReportLine(const QString &line)
{
    if (line.size() != TextLabelWidth + 4 * TextBlockWidth)
        return {};
    const QString label = line.left(TextLabelWidth);
    QStringList values{label.trimmed()};
    if (values[0].isEmpty() || values[0].leftJustified(TextLabelWidth) != label)
        return {};
    for (int block = 0; block < 4; ++block) {
        const int at = TextLabelWidth + block * TextBlockWidth;
        if (line.mid(at, 2) != QLatin1String(" |"))
            return {};
        for (int m = 0; m < 4; ++m) {
            const QString field = line.mid(at + 2 + m * TextCountWidth, TextCountWidth);
            const QString value = field.trimmed();
            if (value.isEmpty() || value.rightJustified(TextCountWidth) != field)
                return {};
            values << value;
        }
    }
    return values;
}

/// The heading line of the text report: the block titles, each centred over its
/// four columns (the odd space on the left); empty when one stands off its place.
QStringList textReportHeading(const QString &line)
{
    if (!line.left(TextLabelWidth).trimmed().isEmpty())
        return {};
    QStringList titles;
    for (int block = 0; block < 4; ++block) {
        const int at = TextLabelWidth + block * TextBlockWidth;
        if (line.mid(at, 2) != QLatin1String(" |"))
            return {};
        const QString field = line.mid(at + 2, TextBlockWidth - 2);
        const QString title = field.trimmed();
        const qsizetype pad = TextBlockWidth - 2 - title.size();
        if (field.left(pad - pad / 2) != QString(pad - pad / 2, QLatin1Char(' ')) || field.mid(pad - pad / 2, title.size()) != title)
            return {};
        titles << title;
    }
    return titles;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void startUpWithoutLogbook();
    void startUpWithCommandLine();
    void screenCheck_data();
    void screenCheck();
    void loadThroughDialog();
    void dialogNames_data();
    void dialogNames();
    void failedLoadKeepsTheLogbook();

    void runShowsItsCounts_data();
    void runShowsItsCounts();
    void presetsChangeOnlyHeaders();
    void staleCountsAreMarked();
    void ft8Option();
    void inventoryCommands();

    void controlsDisabledDuringRun();
    void closingDuringRunEndsIt();
    void closingEndsTheBandWindowToo();

    void neededListsAgreeWithTheGrid();
    void headlessExecutable();
    void reportArguments();
    void stationCallsign();

private:
    TempLogbook m_folder;    ///< the program folder of every session
    TempLogbook m_elsewhere; ///< a folder the operator browses to
    QTemporaryDir m_config;
    std::vector<genlog::LogRow> m_rows;
    std::vector<genlog::LogRow> m_otherRows;
    QString m_log;
    QString m_otherLog;
};

void TestMainWindow::initTestCase()
{
    // Settings of the test run only, never the operator's.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    qunsetenv("VARKEL_CALLSIGN");
    quietOffscreenWarnings();

    m_rows = genlog::generate(700, 42);
    m_log = m_folder.write(m_rows, QStringLiteral("testdt.mdb"));
    m_otherRows = genlog::generate(250, 7);
    m_otherLog = m_elsewhere.write(m_otherRows, QStringLiteral("otherlogbookdt.mdb"));
}

void TestMainWindow::startUpWithoutLogbook()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("   "));

    QVERIFY(s.window.windowTitle().startsWith(QStringLiteral("VarkelChecker")));
    QVERIFY2(s.window.windowTitle().endsWith(GridTexts::version() + QStringLiteral("             LogBook: []")),
             qPrintable(s.window.windowTitle()));
    QCOMPARE(s.text(QStringLiteral("LblTitolo")), QStringLiteral("Varkel  - IK2ABC LOG checker"));
    QVERIFY(s.prompter.requests.isEmpty());
    QVERIFY(s.controller.state().LogName.isEmpty());
    QVERIFY(s.controller.state().PendingLogName.isEmpty());
    QCOMPARE(int(s.controller.state().ActiveBandCount), 20);
    QCOMPARE(s.headers(), StartupBands);
    QVERIFY(!s.headers().contains(QStringLiteral("220")));

    for (const char *shown : {"CmdLoadLog", "Command1", "CmdPrint", "FT8chk"})
        QVERIFY2(!s.find(QLatin1String(shown))->isHidden(), shown);
    QVERIFY(s.find(QStringLiteral("Command2"))->isHidden());
    QVERIFY(s.find(QStringLiteral("Command3"))->isHidden());
    for (int i = 0; i < 8; ++i)
        QVERIFY(s.find(QStringLiteral("CmdStats_%1").arg(i))->isHidden());
    for (int c = 0; c < Bands; ++c)
        QVERIFY(s.find(QStringLiteral("CmdBandaSingola_%1").arg(c))->isHidden());
    for (const QString &caption : s.allCounts())
        QCOMPARE(caption, QStringLiteral("-"));
    QCOMPARE(s.find(QStringLiteral("CmdBandaSingola_3"))->toolTip(), QStringLiteral("Open the single-band window"));
    QCOMPARE(s.find(QStringLiteral("Lblstat_77"))->toolTip(), QStringLiteral("Double-click to list"));

    // Seven-digit counts at every window size: TestWindowLayout.

    // Without a callsign in the settings the title closes up around it.
    Session bare(m_folder.folder());
    bare.start(QString(), {1280, 1024}, QString());
    QCOMPARE(bare.text(QStringLiteral("LblTitolo")), QStringLiteral("Varkel  -  LOG checker"));
}

void TestMainWindow::startUpWithCommandLine()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("  testdt "));

    const LogState &st = s.controller.state();
    QCOMPARE(st.LogName, QStringLiteral("testdt"));
    QVERIFY(st.PendingLogName.isEmpty());
    QCOMPARE(QFileInfo(st.LogPath).canonicalFilePath(), QFileInfo(m_log).canonicalFilePath());
    QVERIFY(s.prompter.of(FakePrompter::Kind::OpenFile).isEmpty());
    QVERIFY(s.prompter.requests.isEmpty());

    const QString title = s.window.windowTitle();
    QVERIFY(title.startsWith(QStringLiteral("VarkelChecker")));
    QVERIFY2(title.endsWith(GridTexts::version() + QStringLiteral("            Status LogBook: [test - ") + today() + QStringLiteral("]")),
             qPrintable(title));
    const QRegularExpression info(QStringLiteral("^InfoLog: (.+) / \\d\\d:\\d\\d:\\d\\d\\nLogName: test$"));
    const auto match = info.match(s.text(QStringLiteral("LblInfo")));
    QVERIFY2(match.hasMatch(), qPrintable(s.text(QStringLiteral("LblInfo"))));
    QCOMPARE(match.captured(1), today());
    QVERIFY(s.controller.info().contains(QStringLiteral("\r\nLogName: test")));

    for (int i = 0; i < 8; ++i)
        QVERIFY(!s.find(QStringLiteral("CmdStats_%1").arg(i))->isHidden());
    for (int c = 0; c < Bands; ++c)
        QVERIFY(!s.find(QStringLiteral("CmdBandaSingola_%1").arg(c))->isHidden());
    for (const char *shown : {"Command1", "Command2", "Command3", "CmdPrint", "CmdLoadLog"})
        QVERIFY2(!s.find(QLatin1String(shown))->isHidden(), shown);
    // Loading computes nothing.
    for (const QString &caption : s.allCounts())
        QCOMPARE(caption, QStringLiteral("-"));
}

void TestMainWindow::screenCheck_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<bool>("warned");
    QTest::newRow("1024x768") << QSize(1024, 768) << false;
    QTest::newRow("1024x767") << QSize(1024, 767) << true;
    QTest::newRow("1023x768") << QSize(1023, 768) << true;
}

void TestMainWindow::screenCheck()
{
    QFETCH(QSize, screen);
    QFETCH(bool, warned);
    Session s(m_folder.folder());
    s.start(QString(), screen);
    const auto messages = s.prompter.messages();
    QCOMPARE(messages.size(), warned ? 1 : 0);
    if (warned) {
        QCOMPARE(messages[0].text, QStringLiteral("YOUR SCREEN IS set to: %1 x %2\r\n\r\nThe least resolution to correctly use this "
                                                  "application is of 1024x768. Takes to provide the I deserve.")
                                       .arg(screen.width())
                                       .arg(screen.height()));
        QCOMPARE(messages[0].flags, 16);
        QCOMPARE(messages[0].title, QStringLiteral("VARKEL STARTUP MINIMAL screen1024x768"));
    }
    // Start-up goes on after the warning.
    QCOMPARE(s.text(QStringLiteral("LblTitolo")), QStringLiteral("Varkel  - IK2ABC LOG checker"));
}

void TestMainWindow::loadThroughDialog()
{
    Session s(m_folder.folder());
    s.start(QString());
    s.prompter.openFileAnswers.enqueue(m_otherLog);
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("CmdLoadLog")), Qt::LeftButton);

    const auto dialogs = s.prompter.of(FakePrompter::Kind::OpenFile);
    QCOMPARE(dialogs.size(), 1);
    QCOMPARE(dialogs[0].title, QStringLiteral("Select LOG file"));
    QCOMPARE(dialogs[0].filter, QStringLiteral("VARKEL file (*dt.mdb)"));
    QCOMPARE(dialogs[0].folder, m_folder.folder());
    QVERIFY(s.prompter.messages().isEmpty());

    QCOMPARE(s.controller.state().LogName, QStringLiteral("OTHERLOG"));
    QCOMPARE(s.controller.state().LogPath, m_otherLog);
    QVERIFY(s.window.windowTitle().endsWith(QStringLiteral("Status LogBook: [OTHERL - ") + today() + QStringLiteral("]")));
    QVERIFY(s.text(QStringLiteral("LblInfo")).endsWith(QStringLiteral("\nLogName: OTHERL")));
    QVERIFY(!s.find(QStringLiteral("CmdStats_0"))->isHidden());

    // The file counted is the one chosen, not a namesake in the program folder.
    s.clickStats(6);
    QCOMPARE(s.text(QStringLiteral("lblCountQso")), QStringLiteral("QSOs: %1").arg(m_otherRows.size()));
    QVERIFY(s.prompter.messages().isEmpty());

    // Cancelling a second dialog changes nothing.
    s.prompter.clear();
    const QString before = s.window.windowTitle();
    QVERIFY(!s.controller.loadLog());
    QCOMPARE(s.prompter.of(FakePrompter::Kind::OpenFile).size(), 1);
    QVERIFY(s.prompter.messages().isEmpty());
    QCOMPARE(s.controller.state().LogName, QStringLiteral("OTHERLOG"));
    QCOMPARE(s.window.windowTitle(), before);
}

void TestMainWindow::dialogNames_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("logName");
    QTest::addColumn<QString>("display"); // empty: the load fails
    const auto row = [](const char *chosen, const char *logName, const char *display) {
        QTest::newRow(chosen) << QString(chosen) << QString(logName) << QString(display);
    };
    row("varkeldt.mdb", "VARKELDT", "VARKEL");
    row("log.mdb", "LOG", "L");
    row("varkeldt", "", ""); // no dot
    row("d.mdb", "D", "");   // one letter
}

void TestMainWindow::dialogNames()
{
    QFETCH(QString, chosen);
    QFETCH(QString, logName);
    QFETCH(QString, display);
    Session s(m_folder.folder());
    s.start(QString());
    const QString titleBefore = s.window.windowTitle();
    s.prompter.openFileAnswers.enqueue(m_elsewhere.path(chosen));
    const bool loaded = s.controller.loadLog();

    QCOMPARE(loaded, !display.isEmpty());
    // A failed load changes nothing.
    QCOMPARE(s.controller.state().LogName, loaded ? logName : QString());
    if (loaded) {
        QVERIFY(s.prompter.messages().isEmpty());
        QVERIFY(s.window.windowTitle().contains(QStringLiteral("[") + display + QStringLiteral(" - ")));
        QVERIFY(s.text(QStringLiteral("LblInfo")).endsWith(QStringLiteral("LogName: ") + display));
        QVERIFY(!s.find(QStringLiteral("CmdStats_0"))->isHidden());
    } else {
        const auto messages = s.prompter.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].text, QStringLiteral("ERROR NO FILE .MDB"));
        QCOMPARE(messages[0].flags, 48);
        QCOMPARE(messages[0].title, QStringLiteral("Varkel - Load Log"));
        QCOMPARE(s.window.windowTitle(), titleBefore);
        QVERIFY(s.find(QStringLiteral("CmdStats_0"))->isHidden());
    }
}

void TestMainWindow::failedLoadKeepsTheLogbook()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    const QString title = s.window.windowTitle();
    const QString path = s.controller.state().LogPath;
    // A one-letter name gives no display name: the load fails with its message.
    s.prompter.openFileAnswers.enqueue(m_elsewhere.path(QStringLiteral("d.mdb")));
    QVERIFY(!s.controller.loadLog());
    QCOMPARE(s.prompter.messageTexts(), QStringList{QStringLiteral("ERROR NO FILE .MDB")});
    QCOMPARE(s.controller.state().LogName, QStringLiteral("testdt"));
    QCOMPARE(s.controller.state().LogPath, path);
    QCOMPARE(s.window.windowTitle(), title);

    // Runs still count the logbook loaded before.
    s.prompter.clear();
    s.clickStats(6);
    QVERIFY(s.prompter.messages().isEmpty());
    QCOMPARE(s.text(QStringLiteral("lblCountQso")), QStringLiteral("QSOs: %1").arg(m_rows.size()));
}

void TestMainWindow::runShowsItsCounts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("ft8");
    QTest::newRow("QSO") << "QSO" << false;
    QTest::newRow("QSO FT8") << "QSO" << true;
    QTest::newRow("DXC") << "DXC" << false;
    QTest::newRow("DXC FT8") << "DXC" << true;
    QTest::newRow("SQR") << "SQR" << false;
}

void TestMainWindow::runShowsItsCounts()
{
    QFETCH(QString, kind);
    QFETCH(bool, ft8);
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    if (ft8) {
        QTest::mouseClick(s.find<QCheckBox>(QStringLiteral("FT8chk")), Qt::LeftButton);
        QVERIFY(s.find<QCheckBox>(QStringLiteral("FT8chk"))->isChecked());
    }
    s.clickStats(int(KindNames.indexOf(kind)));

    QVERIFY2(s.prompter.messages().isEmpty(), qPrintable(s.prompter.messageTexts().join(QLatin1Char('|'))));
    QCOMPARE(s.prompter.beeps, 2);
    QCOMPARE(s.text(QStringLiteral("LblModo")), kind);
    showsMatrix(s);
    // The box reaches the run: the DATA cell counts what the box says.
    QCOMPARE(s.cell(6, 2), data14(m_rows, kind, ft8));
    if (kind == QLatin1String("QSO"))
        QCOMPARE(s.line(QStringLiteral("lblMix"), 0), QStringLiteral("-"));
}

void TestMainWindow::presetsChangeOnlyHeaders()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    s.clickStats(0);
    const QStringList counts = s.allCounts();
    const QString modo = s.text(QStringLiteral("LblModo"));

    s.action(QStringLiteral("MnuWark"))->trigger();
    QCOMPARE(s.headers().mid(0, 3), (QStringList{"10.1", "18.1", "24.9"}));
    for (int c = 3; c < Bands; ++c)
        QVERIFY2(s.header(c).isEmpty(), qPrintable(s.header(c)));
    QCOMPARE(s.allCounts(), counts);
    QCOMPARE(s.text(QStringLiteral("LblModo")), modo);

    s.action(QStringLiteral("MnuDxc5"))->trigger();
    QCOMPARE(s.headers().mid(0, 6), (QStringList{"3.5", "7.0", "14.0", "21.0", "28.0", ""}));
    s.action(QStringLiteral("MnuDefault"))->trigger();
    QCOMPARE(s.headers(), DefaultPreset);
    QCOMPARE(s.allCounts(), counts);

    const QList<QPair<QString, QStringList>> others = {
        {"mnuDxcHF", {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0"}},
        {"mnuDxchf6m", {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50"}},
        {"mnuvhf", {"144", "220", "430", "1200", "2400", "5600", "10G", "24G"}},
        {"mnuvhf6", {"50", "144", "220", "430", "1200", "2400", "5600", "10G", "24G"}},
    };
    for (const auto &[name, bands] : others) {
        s.action(name)->trigger();
        QStringList expected = bands;
        while (expected.size() < Bands)
            expected << QString();
        QCOMPARE(s.headers(), expected);
    }

    // The menu as the operator sees it.
    QStringList captions;
    for (QAction *a : s.find<QMenu>(QStringLiteral("Mnuband"))->actions())
        captions << a->text();
    QCOMPARE(captions, (QStringList{"DEFAULT", "DXCC 5 BAND", "DXCC WARC", "DXCC HF", "DXCC HF + 6m", "DXCC VHF", "DXCC VHF + 6m", "-"}));
    // The last one, "-", is drawn as a separator line (as low as one), not as a dead entry.
    QMenu *bandMenu = s.find<QMenu>(QStringLiteral("Mnuband"));
    QAction *last = bandMenu->actions().last();
    QCOMPARE(last->objectName(), QStringLiteral("mnuprova"));
    QVERIFY(last->isSeparator());
    QMenu plain;
    QAction *entry = plain.addAction(QStringLiteral("-"));
    QAction *separator = plain.addSeparator();
    bandMenu->popup(s.window.mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(bandMenu->isVisible());
    QCOMPARE(bandMenu->actionGeometry(last).height(), plain.actionGeometry(separator).height());
    QVERIFY(plain.actionGeometry(separator).height() < plain.actionGeometry(entry).height());
    bandMenu->hide();
    QCOMPARE(s.action(QStringLiteral("MnuDefault"))->shortcut(), QKeySequence(Qt::Key_F12));
    for (int n = 1; n <= 9; ++n) {
        QCOMPARE(s.action(QStringLiteral("MnuMemo%1").arg(n))->text(), QStringLiteral("Memo %1").arg(n));
        QCOMPARE(s.action(QStringLiteral("MnuMemo%1").arg(n))->shortcut(), QKeySequence(QStringLiteral("F%1").arg(n)));
    }
    QCOMPARE(s.action(QStringLiteral("mnuexport"))->text(), QStringLiteral("EXPORT TO EXCEL"));
}

void TestMainWindow::staleCountsAreMarked()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    const auto colour = [&](const QString &name) { return s.find<QLabel>(name)->palette().color(QPalette::WindowText); };
    const auto note = [&] { return s.find<QLabel>(QStringLiteral("LblStale")); };
    s.clickStats(0);
    const QColor fresh = colour(QStringLiteral("Lblstat_5"));
    QVERIFY(!note()->isVisible());

    // After "DXCC WARC" the row "10.1" shows what was counted for 0.134: grey, and the note says so.
    s.action(QStringLiteral("MnuWark"))->trigger();
    QVERIFY(note()->isVisible());
    QCOMPARE(note()->text(), QStringLiteral("Counts are from before the last change: press an award button to count again."));
    QVERIFY(colour(QStringLiteral("Lblstat_0")) != fresh);
    QVERIFY(colour(QStringLiteral("LblTot_0")) != fresh);
    QVERIFY(colour(QStringLiteral("lblMix_0")) != fresh);
    QCOMPARE(colour(QStringLiteral("lblFull_0")), fresh);
    // The start-up bands again: nothing is stale any more.
    for (int c = 0; c < Bands; ++c)
        s.controller.matrix().setHeader(c, StartupBands[c]);
    QVERIFY(!note()->isVisible());
    QCOMPARE(colour(QStringLiteral("Lblstat_0")), fresh);

    // The FT8 option marks the DATA counts only; the next run clears every mark.
    QTest::mouseClick(s.find<QCheckBox>(QStringLiteral("FT8chk")), Qt::LeftButton);
    QVERIFY(note()->isVisible());
    QVERIFY(colour(QStringLiteral("lblFull_2")) != fresh);
    QCOMPARE(colour(QStringLiteral("lblFull_3")), fresh);
    s.clickStats(0);
    QVERIFY(!note()->isVisible());
    QCOMPARE(colour(QStringLiteral("lblFull_2")), fresh);

    QCOMPARE(colour(QStringLiteral("lblCountQso")), fresh);

    // A run that fails on another logbook leaves the first logbook's counts, marked,
    // and its QSO total with them.
    s.prompter.openFileAnswers.enqueue(m_elsewhere.path(QStringLiteral("gonedt.mdb")));
    QVERIFY(s.controller.loadLog());
    QVERIFY(note()->isVisible());
    QCOMPARE(colour(QStringLiteral("lblCountQso")), colour(QStringLiteral("Lblstat_5")));
    QVERIFY(colour(QStringLiteral("lblCountQso")) != fresh);
    s.clickStats(0);
    QCOMPARE(s.prompter.messages().size(), 3);
    QVERIFY(note()->isVisible());
    QVERIFY(colour(QStringLiteral("Lblstat_5")) != fresh);
}

void TestMainWindow::ft8Option()
{
    Session s(m_folder.folder());
    s.start(QString());
    auto *box = s.find<QCheckBox>(QStringLiteral("FT8chk"));
    QCOMPARE(box->text(), QStringLiteral("FT8"));
    QCOMPARE(box->toolTip(), QStringLiteral("DATA only as FT8 mode! Else all as [NOT CW+PHONE]"));

    // Without a logbook: one warning per click, and the box stays clear.
    QVERIFY(s.activated);
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(s.prompter.messageTexts(), QStringList{Ft8Warning});
    QCOMPARE(s.prompter.messages()[0].flags, 0);
    QCOMPARE(s.prompter.messages()[0].title, QString());
    QVERIFY(!box->isChecked());
    QVERIFY(!s.controller.ft8());
    // Leaving the box warns as well.
    s.prompter.clear();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
    QCOMPARE(s.prompter.messageTexts(), QStringList{Ft8Warning});
    QCOMPARE(s.text(QStringLiteral("Label8")), QStringLiteral("DATA"));

    // With a logbook: no message; the DATA titles follow the box when the focus moves.
    s.prompter.clear();
    s.prompter.openFileAnswers.enqueue(m_log);
    QVERIFY(s.controller.loadLog());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QVERIFY(s.controller.ft8());
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &leave);
    for (const char *name : {"Label8", "Label12", "Label16", "Label20"})
        QCOMPARE(s.text(QLatin1String(name)), QStringLiteral("FT8"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isChecked());
    QFocusEvent enter(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &enter);
    for (const char *name : {"Label8", "Label12", "Label16", "Label20"})
        QCOMPARE(s.text(QLatin1String(name)), QStringLiteral("DATA"));
    QVERIFY(s.prompter.messages().isEmpty());

    // The counts follow the box at the moment of the run, whatever the titles say.
    box->setChecked(true);
    QCOMPARE(s.text(QStringLiteral("Label8")), QStringLiteral("DATA"));
    s.clickStats(6);
    QCOMPARE(s.cell(6, 2), data14(m_rows, QStringLiteral("QSO"), true));
}

void TestMainWindow::inventoryCommands()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("Command2")), Qt::LeftButton);
    auto messages = s.prompter.messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QStringLiteral("VARKEL BAND CHECK"));
    QCOMPARE(messages[0].flags, 64);
    QVERIFY(messages[0].text.endsWith(QStringLiteral("\r\n")));
    for (const char *band : {"14.0", "144", "10G"})
        QVERIFY(messages[0].text.split(QStringLiteral("\r\n")).contains(QLatin1String(band)));

    s.prompter.clear();
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("Command3")), Qt::LeftButton);
    messages = s.prompter.messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QStringLiteral("VARKEL MODE CHECK"));
    QVERIFY(messages[0].text.split(QStringLiteral("\r\n")).contains(QStringLiteral("CW")));

    s.prompter.clear();
    QTest::mouseClick(s.find<QPushButton>(QStringLiteral("Command1")), Qt::LeftButton);
    QCOMPARE(s.prompter.messageTitles(), (QStringList{"Varkel-Checker test!", "VARKEL warranty"}));
    QVERIFY(s.prompter.messages()[0].text.contains(GridTexts::version()));
    QVERIFY(s.prompter.messages()[0].text.endsWith(
        QStringLiteral("\r\n\r\nPlease don't ask additions but check possible bug on the actual release!")));
    QCOMPARE(s.prompter.messages()[0].flags, 64);
    QCOMPARE(s.prompter.messages()[1].flags, 0);

    Session missing(m_folder.folder());
    missing.start(QStringLiteral("nothere"));
    missing.controller.checkBands();
    QCOMPARE(missing.prompter.messageTexts(), QStringList{QsoError});
    QCOMPARE(missing.prompter.messageTitles(), QStringList{"Varkel LogChecker - QSO Nr"});
}

void TestMainWindow::controlsDisabledDuringRun()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    const QStringList headers = s.headers();
    int listings = 0;
    QObject::connect(&s.controller, &MainController::gridRequested, [&] { ++listings; });

    bool checked = false;
    s.onYield = [&] {
        if (checked)
            return;
        checked = true;
        QVERIFY(s.controller.isRunning());
        for (int i = 0; i < 8; ++i)
            QVERIFY(!s.find(QStringLiteral("CmdStats_%1").arg(i))->isEnabled());
        for (const char *name : {"CmdLoadLog", "Command2", "Command3", "CmdPrint", "CmdBandaSingola_0"})
            QVERIFY2(!s.find(QLatin1String(name))->isEnabled(), name);
        QVERIFY(!s.action(QStringLiteral("MnuDefault"))->isEnabled());
        QVERIFY(!s.action(QStringLiteral("MnuMemo1"))->isEnabled());
        QVERIFY(!s.action(QStringLiteral("mnuexport"))->isEnabled());
        QVERIFY(s.find(QStringLiteral("FT8chk"))->isEnabled());

        // Whatever reaches the controller meanwhile is ignored.
        s.clickStats(6);
        QVERIFY(!s.controller.runStats(6));
        QVERIFY(!s.controller.applyPreset(QStringLiteral("DXCC WARC")));
        QVERIFY(!s.controller.loadLog());
        QTest::mouseDClick(s.find(QStringLiteral("Lblstat_26")), Qt::LeftButton);
        QTest::mouseDClick(s.find(QStringLiteral("Lblstat_326")), Qt::LeftButton);
        s.action(QStringLiteral("MnuWark"))->trigger();
    };
    s.clickStats(0);

    QVERIFY(checked);
    QCOMPARE(s.prompter.beeps, 2); // one run, begun and ended
    QVERIFY(s.prompter.of(FakePrompter::Kind::OpenFile).isEmpty());
    QCOMPARE(listings, 0);                                  // no listing
    QVERIFY(!s.find(QStringLiteral("List1"))->isVisible()); // no band choice list
    QCOMPARE(s.headers(), headers);
    QCOMPARE(s.text(QStringLiteral("LblModo")), QStringLiteral("DXC"));
    showsMatrix(s);
    QCOMPARE(s.cell(6, 2), data14(m_rows, QStringLiteral("DXC"), false));

    QVERIFY(!s.controller.isRunning());
    for (int i = 0; i < 8; ++i)
        QVERIFY(s.find(QStringLiteral("CmdStats_%1").arg(i))->isEnabled());
    QVERIFY(s.find(QStringLiteral("CmdLoadLog"))->isEnabled());
    QVERIFY(s.action(QStringLiteral("MnuDefault"))->isEnabled());
}

void TestMainWindow::closingDuringRunEndsIt()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    s.onYield = [&] {
        if (s.yields == 5)
            s.window.close();
    };
    s.clickStats(0);

    QCOMPARE(s.yields, 5);
    QVERIFY(!s.controller.isRunning());
    QVERIFY(s.controller.isClosing());
    QVERIFY(!s.window.isVisible());
    QVERIFY(s.prompter.messages().isEmpty());
    QCOMPARE(s.prompter.beeps, 1);
    for (int r = 0; r < Slots; ++r)
        QCOMPARE(s.line(QStringLiteral("LblTot"), r), QStringLiteral("-"));
}

void TestMainWindow::closingEndsTheBandWindowToo()
{
    for (const bool duringStart : {false, true}) {
        auto s = std::make_unique<Session>(m_folder.folder());
        s->start(QStringLiteral("testdt"));
        QTest::mouseClick(s->find<QPushButton>(QStringLiteral("CmdBandaSingola_6")), Qt::LeftButton);
        QPointer<FrmBanda> band = s->window.bandWindow();
        QVERIFY(band && band->isVisible());
        QCOMPARE(QApplication::activeModalWidget(), band.data()); // the main window takes no input
        if (duringStart) {
            // The main window is closed from the first pause of START.
            QTimer::singleShot(0, &s->window, [&] { s->window.close(); });
            QTest::mouseClick(band->findChild<QPushButton *>(QStringLiteral("CmdStart")), Qt::LeftButton);
        } else {
            s->window.close();
        }
        QTRY_VERIFY(!band || !band->isVisible());
        QVERIFY(!s->window.isVisible());
        // No window of the program is left open, so the program ends.
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(s->prompter.messages().isEmpty());
    }
}

void TestMainWindow::neededListsAgreeWithTheGrid()
{
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    QTest::keySequence(&s.window, QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(s.prompter.messageTexts().value(0).left(7), QStringLiteral("NEEDED ")); // no award run yet
    s.prompter.clear();
    s.action(QStringLiteral("MnuDxc5"))->trigger();
    s.clickStats(3); // ITU
    // The hints follow the run once the grid stands.
    QTRY_VERIFY(s.find(QStringLiteral("Lblstat_160"))->toolTip() != QStringLiteral("Double-click to list"));
    QTest::keySequence(&s.window, QKeySequence(QStringLiteral("Ctrl+N")));
    auto *needed = s.window.findChild<NeededWindow *>();
    QVERIFY(needed && needed->isVisible());
    auto *qsl = needed->findChild<QTableView *>(QStringLiteral("QslChase"));

    // The window: as many QSL rows per band and class as the NOT CONFIRMED cell;
    // the cell's tool tip names them.
    const auto rowsOf = [](const QAbstractItemModel *m, const QString &band, const QString &mode) {
        int n = 0;
        for (int r = 0; r < m->rowCount(); ++r)
            n += m->index(r, 0).data().toString() == band && m->index(r, 1).data().toString() == mode;
        return n;
    };
    const QStringList modes = {"CW", "PHONE", "DATA", "MIX"};
    for (int c = 0; c < 5; ++c) {
        for (int m = 0; m < 4; ++m) {
            const QString cell = s.cell(c, 8 + m);
            QCOMPARE(QString::number(rowsOf(qsl->model(), s.header(c), modes[m])), cell);
            const QString tip = s.find(QStringLiteral("Lblstat_%1").arg(c + 20 * (8 + m)))->toolTip();
            QCOMPARE(tip.isEmpty(), cell == QStringLiteral("0"));
            if (!tip.isEmpty())
                QVERIFY2(tip.startsWith(cell + QStringLiteral(" not confirmed: ")), qPrintable(tip));
        }
    }
    // The band-slot list of a class, and its counts in the title line.
    auto *classBox = needed->findChild<QComboBox *>(QStringLiteral("SlotClass"));
    classBox->setCurrentIndex(0);
    auto *slotView = needed->findChild<QTableView *>(QStringLiteral("BandSlotChase"));
    QVERIFY(needed->findChild<QLabel *>(QStringLiteral("LblTitolo"))
                ->text()
                .contains(QStringLiteral("14.0: %1").arg(rowsOf(slotView->model(), QStringLiteral("14.0"), QStringLiteral("CW")))));

    // Both lists whole, whichever tab is on view: the QSL chase as the window
    // shows it, the band-slot chase of every class the class box offers.
    const auto rowsOfModel = [](const QAbstractItemModel *m) {
        QStringList rows;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    };
    const QStringList qslRows = rowsOfModel(qsl->model());
    QStringList slotRows;
    for (int m = 0; m < classBox->count(); ++m) {
        classBox->setCurrentIndex(m);
        slotRows += rowsOfModel(slotView->model());
    }
    QVERIFY(!qslRows.isEmpty() && !slotRows.isEmpty());
    const QStringList qslFields = {"BAND", "CLASS", "ITU", "QSOS", "CALLSIGN"};
    const QStringList slotFields = {"BAND", "CLASS", "ITU", "STATUS", "WORKED_ON"};
    const QString target = m_folder.path(QStringLiteral("needed.xlsx"));
    s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
    s.prompter.saveFileAnswers.enqueue(target);
    needed->findChild<QTabWidget *>(QStringLiteral("NeededTabs"))->setCurrentIndex(1);
    needed->findChild<QAction *>(QStringLiteral("NeededExport"))->trigger();
    QCOMPARE(sheetNames(target), QStringList({"QSL chase", "Band-slot chase"}));
    const auto sheetRows = [&](int sheet, const QStringList &fields, qsizetype count, int columns, QString &title, QStringList &rows) {
        const auto cells = readSheet(target, sheet);
        for (int r = 3; r < 3 + count; ++r) {
            QStringList line;
            for (int c = 1; c <= columns; ++c) {
                const auto at = cells.find({r, c});
                line << (at == cells.end() ? QString() : at->second);
            }
            rows << line.join(QLatin1Char('|'));
        }
        for (int c = 0; c < fields.size(); ++c)
            QCOMPARE(cells.at({2, c + 1}), fields[c]);
        QVERIFY(readSheetStyles(target, sheet).at({2, 1}).bold);
        QVERIFY(!cells.count({3 + count, 1}));
        title = cells.at({1, 1});
    };
    QString qslTitle, slotTitle;
    QStringList qslSheet, slotSheet;
    sheetRows(1, qslFields, qslRows.size(), qsl->model()->columnCount(), qslTitle, qslSheet);
    const QString head = QStringLiteral("What do I still need? ITU [%1] - ").arg(s.controller.displayName());
    QCOMPARE(qslTitle, head + QStringLiteral("QSL chase (%1)").arg(qslRows.size()));
    QCOMPARE(qslSheet, qslRows);
    sheetRows(2, slotFields, slotRows.size(), slotView->model()->columnCount(), slotTitle, slotSheet);
    QCOMPARE(slotTitle, head + QStringLiteral("Band-slot chase, every mode class (%1)").arg(slotRows.size()));
    QStringList sortedSheet = slotSheet, sortedRows = slotRows;
    sortedSheet.sort();
    sortedRows.sort();
    QCOMPARE(sortedSheet, sortedRows);

    // PRT prints both lists whole over landscape pages, each page with its
    // title and the column titles.
    s.printer.file = m_folder.path(QStringLiteral("needed.pdf"));
    s.prompter.clear();
    s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
    QTest::mouseClick(needed->findChild<QPushButton *>(QStringLiteral("CmdPrt")), Qt::LeftButton);
    QCOMPARE(s.prompter.messages().size(), 1); // the question, and no complaint
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), s.printer.file, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        const int pages = int(words.count(QLatin1Char('\f')));
        QVERIFY2(pages > 2, qPrintable(QString::number(pages)));
        QVERIFY(words.contains(QStringLiteral("page %1 of %1").arg(pages)));
        QStringList lines;
        // The page's font joins "fi" into one glyph, which pdftotext gives as a ligature.
        for (const QString &line : words.normalized(QString::NormalizationForm_KC).split(QLatin1Char('\n')))
            lines << line.simplified();
        QCOMPARE(int(lines.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(head))).size()), pages);
        QCOMPARE(int(lines.filter(QRegularExpression(QStringLiteral("^BAND CLASS ITU "))).size()), pages);
        const auto printed = [&](const QStringList &rows, int columns) {
            for (const QString &row : rows) {
                const QString start = row.split(QLatin1Char('|')).mid(0, columns).join(QLatin1Char(' ')).simplified();
                QVERIFY2(!lines.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(start) + QStringLiteral("( |$)")))
                              .isEmpty(),
                         qPrintable(start));
            }
        };
        printed(qslRows, 5);
        printed(slotRows, 4);
    }

    // EXPORT ADIF beside it, under the name it proposes (what such a file
    // holds is read back by Adif.ReadBack).
    const QString adif = m_folder.path(QStringLiteral("needed.adi"));
    s.prompter.clear();
    s.prompter.saveFileAnswers.enqueue(adif);
    const auto menu = needed->findChild<QMenuBar *>()->actions();
    QCOMPARE(menu.size(), 2);
    QCOMPARE(menu[1]->text(), QStringLiteral("EXPORT ADIF"));
    QCOMPARE(menu[1]->objectName(), QStringLiteral("NeededExportAdif"));
    menu[1]->trigger();
    QVERIFY(s.prompter.of(FakePrompter::Kind::SaveFile)
                .first()
                .folder.endsWith(QStringLiteral("_ITU_QSL_%1.adi").arg(QDate::currentDate().toString("yyyy-MM-dd"))));
    QFile adifFile(adif);
    QVERIFY(adifFile.open(QIODevice::ReadOnly));
    const QByteArray written = adifFile.readAll();
    QVERIFY(written.count("<EOR>") > 0);
    QCOMPARE(s.prompter.messageTexts(), QStringList{QStringLiteral("%1 contacts written to %2").arg(written.count("<EOR>")).arg(adif)});
    needed->close();
    // What the hints say of each entity, and its name: EntityNames.NotConfirmedToolTipsNameDxcEntities.
}

void TestMainWindow::headlessExecutable()
{
    // A QSO run in the window on a hand-picked band set...
    Session s(m_folder.folder());
    s.start(QStringLiteral("testdt"));
    for (int c = 0; c < Bands; ++c)
        s.controller.matrix().setHeader(c, QString());
    s.controller.matrix().setHeader(0, QStringLiteral("14.0"));
    s.controller.matrix().setHeader(2, QStringLiteral("21.0"));
    s.controller.matrix().setHeader(3, QStringLiteral("144"));
    s.clickStats(6);

    // ...and the program itself, where no window system can be had.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    const auto runProgram = [&](const QStringList &args, QString *out, QString *err) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VARKELCHECKER_EXE), args);
        if (!p.waitForFinished(60000))
            return -1;
        *out = QString::fromUtf8(p.readAllStandardOutput());
        *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };

    QString out, err;
    // The same bands, position 1 left blank. Each format read back as the
    // window shows it: the band lines (header and counts), MIX, TOT, FULL, the QSO line.
    const QStringList bandArgs = {"--bands", "14.0,, 21.0,144"};
    const QList<int> positions = {0, 2, 3};
    const QStringList prefixes = {"lblMix", "LblTot", "lblFull"};
    const auto sameAsWindow = [&](const QList<QStringList> &bands, const QList<QStringList> &lines, const QString &qsos) {
        QCOMPARE(bands.size(), positions.size());
        for (int i = 0; i < positions.size(); ++i)
            QCOMPARE(bands[i], QStringList{s.header(positions[i])} + s.row(positions[i]));
        QCOMPARE(lines.size(), prefixes.size());
        for (int i = 0; i < prefixes.size(); ++i)
            QCOMPARE(lines[i], s.lineCaptions(prefixes[i]));
        QCOMPARE(qsos, s.text(QStringLiteral("lblCountQso")));
    };
    QList<QStringList> bands, lines;

    QCOMPARE(runProgram(QStringList{"--report", "QSO"} + bandArgs + QStringList{"--format", "csv", m_log}, &out, &err), 0);
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QStringList rows = out.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(rows.size(), 1 + 3 + 3 + 1);
    for (int i = 0; i < 3; ++i) {
        const QStringList band = rows[1 + i].split(QLatin1Char(','));
        QCOMPARE(band.mid(0, 2), (QStringList{"BAND", QString::number(positions[i])}));
        bands << band.mid(2);
        const QStringList line = rows[4 + i].split(QLatin1Char(','));
        QCOMPARE(line[0], (QStringList{"MIX", "TOT", "FULL"}[i]));
        lines << line.mid(3);
    }
    sameAsWindow(bands, lines, QStringLiteral("QSOs: ") + rows[7].split(QLatin1Char(','))[3]);

    s.clickStats(3);
    QCOMPARE(runProgram(QStringList{"--report", "ITU"} + bandArgs + QStringList{m_log}, &out, &err), 0);
    rows = out.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(rows.size(), 3 + 3 + 3 + 1);
    // Read at the report's columns: every separator and count where the layout puts it.
    QVERIFY2(rows[0].startsWith(QStringLiteral("VarkelChecker %1 report: ITU  LogBook: ").arg(GridTexts::version())), qPrintable(rows[0]));
    QCOMPARE(textReportHeading(rows[1]), GridTexts::blockTitles());
    const QStringList modes = GridTexts::modeTitles();
    QCOMPARE(textReportLine(rows[2]), QStringList{"BAND"} + modes + modes + modes + modes);
    bands.clear();
    lines.clear();
    for (int i = 0; i < 3; ++i) {
        bands << textReportLine(rows[3 + i]);
        const QStringList line = textReportLine(rows[6 + i]);
        QVERIFY2(!line.isEmpty(), qPrintable(rows[6 + i]));
        QCOMPARE(line[0], (QStringList{"MIX", "TOT", "FULL"}[i]));
        lines << line.mid(1);
    }
    sameAsWindow(bands, lines, rows[9]);

    QTest::mouseClick(s.find<QCheckBox>(QStringLiteral("FT8chk")), Qt::LeftButton);
    s.clickStats(2);
    QCOMPARE(runProgram(QStringList{"--report", "waz", "--ft8", "--format", "json"} + bandArgs + QStringList{m_log}, &out, &err), 0);
    QJsonObject report = QJsonDocument::fromJson(out.toUtf8()).object();
    QCOMPARE(report.value("kind").toString(), QStringLiteral("WAZ"));
    const auto numbers = [](const QJsonArray &a) {
        QStringList l;
        for (const QJsonValue v : a)
            l << QString::number(v.toInteger());
        return l;
    };
    bands.clear();
    lines.clear();
    for (const QJsonValue b : report.value("bands").toArray())
        bands << QStringList{b.toObject().value("band").toString()} + numbers(b.toObject().value("counts").toArray());
    for (const char *line : {"mix", "tot", "full"})
        lines << numbers(report.value(line).toArray());
    sameAsWindow(bands, lines, QStringLiteral("QSOs: %1").arg(report.value("qsos").toInteger()));

    // MIX counts every band of the list, also past a blank position.
    QCOMPARE(runProgram({"--report", "DXC", "--bands", "14.0,21.0,,7.0,28.0", "--format", "json", m_log}, &out, &err), 0);
    report = QJsonDocument::fromJson(out.toUtf8()).object();
    for (int r = 0; r < Slots; ++r)
        QCOMPARE(report.value("mix").toArray()[r].toInteger(),
                 reference::entityCount(m_rows, 0, {"14.0", "21.0", "7.0", "28.0"}, r, false));

    // A logbook that is not there: the computations' messages with the reason, a
    // failing status, and nothing computed is null, TOT included.
    QCOMPARE(runProgram({"--report", "QSO", "--format", "json", QStringLiteral("nothere")}, &out, &err), 1);
    QVERIFY(err.contains(QStringLiteral("Varkel LogChecker - QSO Nr: SQL or Log FILENAME error! (file not found: ")));
    QVERIFY(err.contains(QStringLiteral("Varkel LogChecker - FullLog: SQL or Log FILENAME error!")));
    report = QJsonDocument::fromJson(out.toUtf8()).object();
    for (const char *line : {"tot", "full"}) {
        for (const QJsonValue v : report.value(line).toArray())
            QVERIFY(v.isNull());
    }
    QVERIFY(report.value("qsos").isNull());
    // The text and csv say the same with "-": TOT is no sum of nothing there either.
    QCOMPARE(runProgram({"--report", "QSO", QStringLiteral("nothere")}, &out, &err), 1);
    rows = out.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(textReportLine(rows[rows.size() - 3]), QStringList{"TOT"} + QStringList(Slots, "-"));
    QCOMPARE(textReportLine(rows[rows.size() - 2]), QStringList{"FULL"} + QStringList(Slots, "-"));
    QCOMPARE(rows.constLast(), QStringLiteral("QSOs: -"));
    QCOMPARE(runProgram({"--report", "QSO", "--format", "csv", QStringLiteral("nothere")}, &out, &err), 1);
    rows = out.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(rows[rows.size() - 3].split(QLatin1Char(',')), QStringList({"TOT", "", ""}) + QStringList(Slots, "-"));
    QCOMPARE(rows.constLast().split(QLatin1Char(',')).mid(0, 4), (QStringList{"QSOS", "", "", "-"}));

    QCOMPARE(runProgram({"--help"}, &out, &err), 0);
    QVERIFY(out.contains(QStringLiteral("--report KIND")));
    // Wrong arguments: the reason and where to read more, nothing else, status 2;
    // an option the program does not know starts no window.
    const QString tryHelp = QStringLiteral("Try 'varkelchecker --help'.\n");
    const QList<QPair<QStringList, QString>> wrong = {
        {{"--report", "XYZ", m_log}, "unknown award kind: XYZ (DXC, WPX, WAZ, ITU, WAC, SQR, QSO)"},
        {{"--bogus", "testdt"}, "Unknown option 'bogus'."},
        {{"--matrix", "DXC"}, "name one LOGBOOK"},
        {{"--class", "CW", "testdt"}, "--class goes with --matrix"},
        {{"--ft8"}, "--ft8 goes with --report, --needed or --matrix"},
        {{"--", "testdt"}, "give --report, --needed or --matrix (or --help)"},
    };
    for (const auto &[args, reason] : wrong) {
        QCOMPARE(runProgram(args, &out, &err), 2);
        QCOMPARE(err, QStringLiteral("varkelchecker: ") + reason + QLatin1Char('\n') + tryHelp);
        QCOMPARE(out, QString());
    }
    // A one-dash word the window toolkit does not take is refused by the window's side.
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QCOMPARE(runProgram({"-bogus", "testdt"}, &out, &err), 2);
    QVERIFY2(err.endsWith(QStringLiteral("varkelchecker: unknown option: -bogus\n") + tryHelp), qPrintable(err));
}

void TestMainWindow::reportArguments()
{
    using HeadlessReport::parseArguments;
    auto o = parseArguments({"--report", "sqr", "x"});
    QVERIFY(o.ok());
    QVERIFY(o->kind == AwardKind::Sqr);
    QCOMPARE(o->headers, StartupBands);
    QCOMPARE(o->format, HeadlessReport::Format::Text);
    QVERIFY(!o->ft8);

    o = parseArguments({"--report=dxc", "--preset=MnuWark", "--format=CSV", "x"});
    QVERIFY(o.ok());
    QCOMPARE(o->headers.mid(0, 4), (QStringList{"10.1", "18.1", "24.9", ""}));
    QCOMPARE(o->format, HeadlessReport::Format::Csv);

    QVERIFY(!parseArguments({"--report", "DXC"}).ok());                              // no logbook
    QVERIFY(!parseArguments({"--report", "DXC", "a", "b"}).ok());                    // two logbooks
    QVERIFY(!parseArguments({"--report", "DXC", "--preset", "DXCC UHF", "x"}).ok()); // no such preset
    QVERIFY(!parseArguments({"--report", "DXC", "--preset", "DEFAULT", "--bands", "14.0", "x"}).ok());
    QVERIFY(!parseArguments({"--report", "DXC", "--format", "xml", "x"}).ok());
    QVERIFY(!parseArguments({"--report", "DXC", "--colour", "x"}).ok());
    // Each option goes with the modes it belongs to, and one mode at a time.
    QCOMPARE(parseArguments({"--report", "DXC", "--class", "CW", "x"}).error(), QStringLiteral("--class goes with --matrix"));
    QCOMPARE(parseArguments({"--matrix", "DXC", "--watch", "x"}).error(), QStringLiteral("--watch goes with --report or --needed"));
    QCOMPARE(parseArguments({"--preset", "DEFAULT", "x"}).error(), QStringLiteral("--preset goes with --report, --needed or --matrix"));
    QCOMPARE(parseArguments({"--report", "DXC", "--needed", "DXC", "x"}).error(),
             QStringLiteral("give only one of --report, --needed or --matrix"));
    QCOMPARE(parseArguments({"--needed", "QSO", "x"}).error(), QStringLiteral("unknown award kind: QSO (DXC, WPX, WAZ, ITU, WAC, SQR)"));
    o = parseArguments({"-matrix", "waz", "-class", "phone", "x"});
    QVERIFY(o.ok());
    QVERIFY(o->matrix && o->kind == AwardKind::Waz && o->matrixClass == ModeClass::Phone);

    // Which command lines run without a window: any "--" word and our own
    // one-dash words; the toolkit's one-dash words and a plain name open it.
    const auto headless = [](std::vector<const char *> args) {
        args.insert(args.begin(), "varkelchecker");
        return HeadlessReport::wanted(int(args.size()), const_cast<char **>(args.data()));
    };
    QVERIFY(headless({"--bogus", "varkeldt"}));
    QVERIFY(headless({"varkeldt", "--class=CW"}));
    QVERIFY(headless({"-report", "DXC", "x"}));
    QVERIFY(headless({"-h"}));
    QVERIFY(!headless({"varkeldt"}));
    QVERIFY(!headless({"-style", "fusion", "varkeldt"}));
    QCOMPARE(*HeadlessReport::windowCommandLine({"my", "log"}), QStringLiteral("my log"));
    QCOMPARE(HeadlessReport::windowCommandLine({"varkeldt", "-style"}).error(), QStringLiteral("unknown option: -style"));
    // ADIF writes contacts: the chase lists', once, and not again and again.
    o = parseArguments({"--needed", "WAZ", "--format", "ADIF", "x"});
    QVERIFY(o.ok());
    QCOMPARE(o->format, HeadlessReport::Format::Adif);
    QCOMPARE(parseArguments({"--report", "DXC", "--format", "adif", "x"}).error(),
             QStringLiteral("--format adif writes contacts: it goes with --needed"));
    QCOMPARE(parseArguments({"--needed", "DXC", "--format", "adif", "--watch", "x"}).error(),
             QStringLiteral("--format adif writes one file: it does not go with --watch"));
    o = parseArguments({"--report", "DXC", "--bands", "14.0,,28.0,", "x"});
    QCOMPARE(o->headers.mid(0, 4), (QStringList{"14.0", "", "28.0", ""}));
    QStringList many;
    for (int i = 0; i < 21; ++i)
        many << QString::number(i);
    QVERIFY(!parseArguments({"--report", "DXC", "--bands", many.join(','), "x"}).ok());

    // A bare name lies beside the program; a path is taken as it stands.
    QCOMPARE(QFileInfo(HeadlessReport::resolveLogbook("TESTDT", m_folder.folder())).canonicalFilePath(),
             QFileInfo(m_log).canonicalFilePath());
    QCOMPARE(HeadlessReport::resolveLogbook(m_otherLog, m_folder.folder()), m_otherLog);
}

void TestMainWindow::stationCallsign()
{
#ifdef Q_OS_WIN
    // The host program's key, in the registry's 32-bit view first (where a
    // 32-bit program writes it on 64-bit Windows: under WOW6432Node), then in
    // the 64-bit view. The test writes HKEY_LOCAL_MACHINE (Wine lets it, an
    // administrator may) and puts back what was there.
    const QString key = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Varkel");
    const QString value = QStringLiteral("Callsign");
    QSettings view32(key, QSettings::Registry32Format);
    QSettings view64(key, QSettings::Registry64Format);
    const QVariant was32 = view32.value(value);
    const QVariant was64 = view64.value(value);
    view32.setValue(value, QStringLiteral("PROBE"));
    view32.sync();
    if (view32.status() != QSettings::NoError || view32.value(value).toString() != QStringLiteral("PROBE"))
        QSKIP("this user cannot write HKEY_LOCAL_MACHINE");
    const auto restore = qScopeGuard([&] {
        for (auto [view, was] : {std::pair{&view32, was32}, std::pair{&view64, was64}}) {
            if (was.isValid())
                view->setValue(value, was);
            else
                view->remove(value);
            view->sync();
        }
    });
    view32.remove(value);
    view64.remove(value);
    view32.sync();
    view64.sync();
    QCOMPARE(readStationCallsign(), QString());

    view64.setValue(value, QStringLiteral("I2XYZ"));
    view64.sync();
    QCOMPARE(readStationCallsign(), QStringLiteral("I2XYZ"));

    view32.setValue(value, QStringLiteral("IK2ABC"));
    view32.sync();
    QCOMPARE(readStationCallsign(), QStringLiteral("IK2ABC"));
    const QSettings wow64(QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Varkel"), QSettings::Registry64Format);
    QCOMPARE(wow64.value(value).toString(), QStringLiteral("IK2ABC"));
#else
    QSettings settings(QStringLiteral("Varkel"), QStringLiteral("VarkelChecker"));
    QVERIFY(settings.fileName().startsWith(m_config.path()));
    settings.remove(QStringLiteral("Callsign"));
    settings.sync();
    QCOMPARE(readStationCallsign(), QString());

    settings.setValue(QStringLiteral("Callsign"), QStringLiteral("I2XYZ"));
    settings.sync();
    QCOMPARE(readStationCallsign(), QStringLiteral("I2XYZ"));

    qputenv("VARKEL_CALLSIGN", "OE3ABC");
    QCOMPARE(readStationCallsign(), QStringLiteral("OE3ABC"));
    qunsetenv("VARKEL_CALLSIGN");
    settings.remove(QStringLiteral("Callsign"));
    settings.sync();
#endif
}

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
