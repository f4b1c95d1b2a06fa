// What the program remembers between sessions, in settings of this test run's
// own: the recent logbooks and their menu, the folders the file dialogs start
// in, and the windows' places, restored only where they fit a screen.
#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/RememberingPrompter.h"
#include "app/Settings.h"
#include "app/WindowPlace.h"
#include "bandwindow/FrmBanda.h"
#include "tests/app/MainWindowSession.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TempLogbook.h"

#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

using Kind = FakePrompter::Kind;

QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

std::unique_ptr<QWidget> probeWindow()
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(QStringLiteral("Probe"));
    w->resize(300, 200);
    return w;
}

/// The main window as the program builds it: its file dialogs remember their folders.
struct Program {
    explicit Program(const QString &folder)
        : prompter(dialogs, settings), controller(prompter, folder), window(controller, nullptr, &printer)
    {
        controller.setYield([] { QCoreApplication::processEvents(); });
    }
    FakePrompter dialogs;
    Settings settings;
    RememberingPrompter prompter;
    PdfPrinterPort printer;
    MainController controller;
    MainWindow window;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void recentList();
    void recentMenu();
    void dialogFolders();
    void windowPlaces();
    void windowsOfTheProgram();

private:
    TempLogbook m_folder;    ///< the program folder
    TempLogbook m_elsewhere; ///< a folder the operator browses to
    QString m_log;
    QString m_otherLog;
};

void TestSettings::initTestCase()
{
    useScratchSettings();
    m_log = m_folder.write(genlog::generate(200, 11), QStringLiteral("testdt.mdb"));
    m_otherLog = m_elsewhere.write(genlog::generate(120, 5), QStringLiteral("otherdt.mdb"));
}

void TestSettings::init()
{
    QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Varkel"), QStringLiteral("VarkelChecker")).clear();
}

void TestSettings::recentList()
{
    Settings s;
    QCOMPARE(s.recentLogbooks(), QStringList());
    const QDir dir(m_elsewhere.folder());
    for (const char *name : {"a", "b", "c", "d", "e", "f", "g"})
        s.addRecentLogbook(dir.filePath(QLatin1String(name) + QStringLiteral("dt.mdb")));
    // Newest first, five kept.
    const auto file = [&dir](const char *name) { return dir.filePath(QLatin1String(name) + QStringLiteral("dt.mdb")); };
    QCOMPARE(s.recentLogbooks(), (QStringList{file("g"), file("f"), file("e"), file("d"), file("c")}));
    // One entry per file, however it was spelled: loaded again, it moves to the head.
    s.addRecentLogbook(dir.filePath(QStringLiteral("sub/../ddt.mdb")));
    QCOMPARE(s.recentLogbooks(), (QStringList{file("d"), file("g"), file("f"), file("e"), file("c")}));
    s.addRecentLogbook(file("d"));
    QCOMPARE(s.recentLogbooks().size(), 5);
    QCOMPARE(s.recentLogbooks().first(), file("d"));
    // A relative path is taken from the current folder.
    s.addRecentLogbook(QStringLiteral("heredt.mdb"));
    QCOMPARE(s.recentLogbooks().first(), QDir::current().filePath(QStringLiteral("heredt.mdb")));
    QCOMPARE(s.recentLogbooks().size(), 5);
    s.removeRecentLogbook(file("g"));
    QVERIFY(!s.recentLogbooks().contains(file("g")));
    // Read again by another instance: kept in the settings, not in memory.
    QCOMPARE(Settings().recentLogbooks(), s.recentLogbooks());
}

void TestSettings::recentMenu()
{
    QToolButton *button = nullptr;
    {
        Program p(m_folder.folder());
        button = p.window.findChild<QToolButton *>(QStringLiteral("CmdRecentLog"));
        QVERIFY(button);
        QVERIFY(!button->isEnabled()); // nothing loaded yet
        // Start-up with a name, then a load through the dialog: both are in the list.
        p.controller.startUp({QStringLiteral("testdt"), {1280, 1024}, QString()});
        p.dialogs.openFileAnswers.enqueue(m_otherLog);
        QVERIFY(p.controller.loadLog());
        QVERIFY(button->isEnabled());
        emit button->menu()->aboutToShow();
        const QList<QAction *> entries = button->menu()->actions();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0]->objectName(), QStringLiteral("MnuRecentLog_0"));
        QCOMPARE(entries[0]->text(), QStringLiteral("&1  otherdt.mdb   (%1)").arg(QDir::toNativeSeparators(m_elsewhere.folder())));
        QCOMPARE(entries[1]->toolTip(), QDir::toNativeSeparators(m_log));
    }
    // The next session starts with no logbook, the list under Load LogBook.
    Program p(m_folder.folder());
    p.controller.startUp({QString(), {1280, 1024}, QString()});
    QVERIFY(!p.controller.state().hasLog());
    button = p.window.findChild<QToolButton *>(QStringLiteral("CmdRecentLog"));
    QVERIFY(button->isEnabled());
    QAction *first = p.window.findChild<QAction *>(QStringLiteral("MnuRecentLog_1"));
    QVERIFY(first && first->isEnabled());
    first->trigger();
    QCOMPARE(p.controller.state().LogPath, m_log);
    QCOMPARE(p.controller.state().LogName, QStringLiteral("TESTDT"));
    QVERIFY(p.dialogs.of(Kind::OpenFile).isEmpty());
    QCOMPARE(Settings().recentLogbooks(), (QStringList{m_log, m_otherLog}));
    // A logbook that is gone stays listed, greyed.
    const QString gone = m_elsewhere.write(genlog::generate(10, 1), QStringLiteral("gonedt.mdb"));
    Settings().addRecentLogbook(gone);
    QFile::remove(gone);
    emit button->menu()->aboutToShow();
    QCOMPARE(button->menu()->actions().size(), 3);
    QVERIFY(!button->menu()->actions()[0]->isEnabled());
    QVERIFY(button->menu()->actions()[1]->isEnabled());
}

void TestSettings::dialogFolders()
{
    QTemporaryDir exports;
    QVERIFY(exports.isValid());
    QString removedFolder;
    {
        Program p(m_folder.folder());
        p.controller.startUp({QString(), {1280, 1024}, QString()});
        // The first dialogs start where they always did: the program folder, the documents.
        p.dialogs.openFileAnswers.enqueue(m_otherLog);
        QVERIFY(p.controller.loadLog());
        p.controller.runStats(6);
        p.dialogs.saveFileAnswers.enqueue(QDir(exports.path()).filePath(QStringLiteral("grid.xlsx")));
        p.controller.exportToExcel();
        QCOMPARE(p.dialogs.of(Kind::OpenFile).constLast().folder, m_folder.folder());
        const QString proposed = p.dialogs.of(Kind::SaveFile).constLast().folder;
        QCOMPARE(QFileInfo(proposed).absolutePath(),
                 QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).absoluteFilePath());
        QVERIFY(QFileInfo::exists(QDir(exports.path()).filePath(QStringLiteral("grid.xlsx"))));
    }
    {
        // The next session's dialogs start where the last ones ended; the name proposed stays.
        Program p(m_folder.folder());
        p.controller.startUp({QString(), {1280, 1024}, QString()});
        QVERIFY(!p.controller.loadLog()); // cancelled
        QCOMPARE(p.dialogs.of(Kind::OpenFile).constLast().folder, m_elsewhere.folder());
        p.controller.loadLogFile(m_log);
        p.controller.runStats(6);
        p.controller.exportToExcel(); // cancelled
        const QString proposed = p.dialogs.of(Kind::SaveFile).constLast().folder;
        QCOMPARE(QFileInfo(proposed).absolutePath(), exports.path());
        QVERIFY(QFileInfo(proposed).fileName().startsWith(QStringLiteral("TEST_GRID_QSO_")));
        // A cancelled dialog changes no folder.
        QCOMPARE(Settings().saveFolder(), exports.path());
        QCOMPARE(Settings().openFolder(), m_elsewhere.folder());
    }
    // A folder that is gone: back to the usual start.
    removedFolder = exports.path();
    exports.remove();
    Program p(m_folder.folder());
    p.controller.startUp({QStringLiteral("testdt"), {1280, 1024}, QString()});
    p.controller.runStats(6);
    p.controller.exportToExcel();
    QCOMPARE(QFileInfo(p.dialogs.of(Kind::SaveFile).constLast().folder).absolutePath(),
             QFileInfo(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).absoluteFilePath());
}

void TestSettings::windowPlaces()
{
    const QRect area = screenArea();
    // Nothing remembered: the window keeps its own size and place.
    auto w = probeWindow();
    const QPoint unplaced = w->pos();
    WindowPlace::follow(w.get());
    QCOMPARE(w->size(), QSize(300, 200));
    QCOMPARE(w->pos(), unplaced);
    // Closed, it is remembered where it stood...
    const QPoint at = area.topLeft() + QPoint(40, 30);
    w->move(at);
    w->resize(320, 210);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->close();
    std::optional<Settings::WindowPlace> place = Settings().windowPlace(QStringLiteral("Probe"));
    QVERIFY(place);
    QCOMPARE(place->frame, w->frameGeometry());
    QCOMPARE(place->frame.topLeft(), at);
    QCOMPARE(place->client, w->geometry());
    QCOMPARE(place->client.size(), QSize(320, 210));
    QVERIFY(!place->maximized);
    // ...and the next one opens there.
    w = probeWindow();
    WindowPlace::follow(w.get());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QCOMPARE(w->geometry(), place->client);
    w->close();

    // A place on no screen of today (a screen since unplugged), or reaching out
    // of the screen's room, is not taken.
    const QList<QRect> offScreen = {QRect(area.right() + 200, area.top() + 10, 320, 210), QRect(area.right() - 100, area.top(), 320, 210),
                                    QRect(area.left(), area.bottom() - 50, 320, 210), QRect(area.topLeft(), area.size() + QSize(0, 1))};
    for (const QRect &frame : offScreen) {
        Settings().setWindowPlace(QStringLiteral("Probe"), {frame, frame, false});
        w = probeWindow();
        WindowPlace::follow(w.get());
        QCOMPARE(w->size(), QSize(300, 200));
        QCOMPARE(w->pos(), unplaced);
    }
    // The whole area is a place that fits.
    Settings().setWindowPlace(QStringLiteral("Probe"), {area, area, false});
    w = probeWindow();
    WindowPlace::follow(w.get());
    QCOMPARE(w->size(), area.size());

    // Maximized: it opens maximized again, and keeps the place it had before.
    Settings().setWindowPlace(QStringLiteral("Probe"), {QRect(at, QSize(320, 210)), QRect(at, QSize(320, 210)), false});
    w = probeWindow();
    WindowPlace::follow(w.get());
    w->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->close();
    place = Settings().windowPlace(QStringLiteral("Probe"));
    QVERIFY(place->maximized);
    QCOMPARE(place->frame, QRect(at, QSize(320, 210)));
    w = probeWindow();
    WindowPlace::follow(w.get());
    QVERIFY(w->windowState() & Qt::WindowMaximized);
    QCOMPARE(w->size(), QSize(320, 210));
}

void TestSettings::windowsOfTheProgram()
{
    const QRect area = screenArea();
    const QRect mainPlace(area.topLeft() + QPoint(12, 8), QSize(area.width() - 40, area.height() - 30));
    Settings().setWindowPlace(QStringLiteral("VarkelChecker"), {mainPlace, mainPlace, false});
    Program p(m_folder.folder());
    // The main window where it was left, then the single-band window.
    QCOMPARE(p.window.geometry(), mainPlace);
    p.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    p.controller.startUp({QStringLiteral("testdt"), {1280, 1024}, QString()});
    const auto openBand = [&p] {
        QTest::mouseClick(p.window.findChild<QPushButton *>(QStringLiteral("CmdBandaSingola_6")), Qt::LeftButton);
    };
    openBand();
    QTRY_VERIFY(p.window.bandWindow() && p.window.bandWindow()->isVisible());
    FrmBanda *band = p.window.bandWindow();
    const QRect bandPlace(area.topLeft() + QPoint(30, 20), QSize(area.width() / 2, area.height() / 2));
    band->setGeometry(bandPlace);
    band->close();
    QTRY_VERIFY(!p.window.bandWindow());
    QCOMPARE(Settings().windowPlace(QStringLiteral("FrmBanda"))->client, bandPlace);
    openBand();
    QTRY_VERIFY(p.window.bandWindow() && p.window.bandWindow()->isVisible());
    band = p.window.bandWindow();
    QCOMPARE(band->geometry(), bandPlace);
    band->close();
    QTRY_VERIFY(!p.window.bandWindow());

    // NEEDED and MATRIX of a DXC run, each remembered on its own.
    p.controller.runStats(0);
    for (const QString &name : {QStringLiteral("FrmNeeded"), QStringLiteral("FrmMatrix")}) {
        const QRect place(area.topLeft() + QPoint(5, 4), area.size() - QSize(10, 8));
        Settings().setWindowPlace(name, {place, place, false});
        if (name == QLatin1String("FrmNeeded"))
            p.controller.needed();
        else
            p.controller.awardMatrix();
        QWidget *window = p.window.findChild<QWidget *>(name);
        QVERIFY2(window, qPrintable(name));
        QCOMPARE(window->geometry(), place);
        window->setGeometry(place.translated(-3, -2));
        window->close();
        QCOMPARE(Settings().windowPlace(name)->client, place.translated(-3, -2));
        delete window;
    }
    // The main window's place, once closed.
    p.window.setGeometry(mainPlace.translated(3, 4));
    p.window.close();
    QCOMPARE(Settings().windowPlace(QStringLiteral("VarkelChecker"))->client, mainPlace.translated(3, 4));
}

QTEST_MAIN(TestSettings)
#include "TestSettings.moc"
