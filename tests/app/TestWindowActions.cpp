// What the main window's clicks lead to: listings, the band choice list, memo
// band files, the single-band window, the grid export and the landscape print.
#include "app/QtPrompter.h"
#include "bands/MemoFile.h"
#include "bandwindow/FrmBanda.h"
#include "listing/FrmTabella.h"
#include "listing/GridRecordset.h"
#include "listing/NeededWindow.h"
#include "tests/app/MainWindowSession.h"
#include "tests/support/ModalGrid.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/XlsxSheet.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QWindow>
#include <QtTest>

namespace {

std::vector<std::string> names(const QStringList &list)
{
    std::vector<std::string> out;
    for (const QString &s : list)
        out.push_back(s.toStdString());
    return out;
}

} // namespace

namespace {

/// Whether poppler's pdftotext and pdfimages can read printed pages back.
/// The Linux build machine has them (tools/build.sh installs poppler-utils);
/// Windows has not, and there those checks are skipped.
bool popplerAtHand()
{
#ifdef Q_OS_WIN
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
#else
    return true;
#endif
}

} // namespace

class TestWindowActions : public QObject {
    Q_OBJECT

private:
    TempLogbook m_folder;
    std::vector<genlog::LogRow> m_rows;

private slots:
    void initTestCase()
    {
        m_rows = genlog::generate(900, 5);
        // Every contact with a band and a mode, so every listing matches its count.
        for (auto &row : m_rows) {
            if (!row.Banda)
                row.Banda = "7.0";
            if (!row.Mode)
                row.Mode = "CW";
        }
        m_folder.write(m_rows, QStringLiteral("testdt.mdb"));
    }

    void drillDownsListWhatTheCountsCount()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        ListingRequest asked;
        QObject::connect(&s.controller, &MainController::gridRequested, [&](const ListingRequest &request) { asked = request; });
        s.clickStats(0);              // DXC
        const int index = 6 + 20 * 5; // 14.0, CONFIRMED PHONE
        QVERIFY(withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("Lblstat_%1").arg(index)), Qt::LeftButton); },
                         [&](FrmTabella &grid) {
                             QCOMPARE(QString::number(grid.recordset()->rowCount()), s.cell(6, 5));
                             // A DXC listing names its entities after their texts.
                             QCOMPARE(grid.recordset()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NAME"));
                             QCOMPARE(grid.recordset()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("FIRST CALL"));
                             QVERIFY(!s.window.isEnabled() || grid.isModal());
                         }));
        QVERIFY(asked.query.startsWith(QStringLiteral("SELECT DISTINCT LOG.DXC")));
        QVERIFY(asked.entityCaptions);
        QCOMPARE(asked.kind, std::optional(AwardKind::Dxc));
        QCOMPARE(asked.headerIndex, 326);
        QVERIFY(withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("lblMix_3")), Qt::LeftButton); },
                         [&](FrmTabella &grid) { QCOMPARE(QString::number(grid.recordset()->rowCount()), s.line("lblMix", 3)); }));
        QVERIFY(withGrid([&] { QTest::mouseClick(s.find(QStringLiteral("lblFull_15")), Qt::LeftButton); },
                         [&](FrmTabella &grid) { QCOMPARE(QString::number(grid.recordset()->rowCount()), s.line("lblFull", 15)); }));

        // An entity NOT CONFIRMED cell has no listing; the MIX and FULL ones do nothing at all.
        s.prompter.clear();
        QVERIFY(!withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("Lblstat_%1").arg(6 + 20 * 9)), Qt::LeftButton); },
                          [](FrmTabella &) {}));
        QCOMPARE(s.prompter.messageTexts(), QStringList{QStringLiteral("CLICK on VARKEL on STATS")});
        QCOMPARE(s.prompter.messageTitles(), QStringList{QStringLiteral("VARKELCHECKER")});
        QVERIFY(!withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("lblMix_9")), Qt::LeftButton); }, [](FrmTabella &) {}));
        QVERIFY(!withGrid([&] { QTest::mouseClick(s.find(QStringLiteral("lblFull_9")), Qt::LeftButton); }, [](FrmTabella &) {}));
        QCOMPARE(s.prompter.messages().size(), 1);

        // Contacts: a cell of a QSO run lists as many rows as it shows (every
        // slot's listing against its count: ListingCounts.ContactListingsMatchQsoCells).
        s.clickStats(6);
        QVERIFY(withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("Lblstat_%1").arg(4 + 20 * 9)), Qt::LeftButton); },
                         [&](FrmTabella &grid) { QCOMPARE(QString::number(grid.recordset()->rowCount()), s.cell(4, 9)); }));
    }

    void sqlButtonJudgesTheQueryOnTheLogbookAndOffersItAgain()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        const QString sql = QStringLiteral("CmdStats_7");
        // A change behind WITH starts like a query: the logbook's own rules refuse it, before anything runs.
        s.prompter.clear();
        s.prompter.inputAnswers.enqueue(QStringLiteral("WITH x AS (SELECT 1) DELETE FROM LOG"));
        QVERIFY(!withGrid([&] { QTest::mouseClick(s.find(sql), Qt::LeftButton); }, [](FrmTabella &) {}));
        QCOMPARE(s.prompter.of(FakePrompter::Kind::Input).first().folder, QStringLiteral("SELECT * FROM LOG"));
        QCOMPARE(s.prompter.messageTexts(),
                 QStringList{QStringLiteral("The statement DELETE is not a query.\r\n\r\n"
                                            "VarkelChecker only reads your logbook and never changes it: nothing was run.")});
        QCOMPARE(s.prompter.messages().first().flags, 48);
        QCOMPARE(s.prompter.messageTitles(), QStringList{QStringLiteral("VarkelChecker QUERY")});

        // The next press offers the text typed last; a query runs and lists its rows.
        s.prompter.clear();
        s.prompter.inputAnswers.enqueue(QStringLiteral("/* mine */ SELECT Callsign FROM LOG WHERE Banda = '7.0'"));
        const qsizetype onSeven = std::count_if(m_rows.begin(), m_rows.end(), [](const genlog::LogRow &r) { return r.Banda == "7.0"; });
        QVERIFY(withGrid([&] { QTest::mouseClick(s.find(sql), Qt::LeftButton); },
                         [&](FrmTabella &grid) { QCOMPARE(qsizetype(grid.recordset()->rowCount()), onSeven); }));
        QCOMPARE(s.prompter.of(FakePrompter::Kind::Input).first().folder, QStringLiteral("WITH x AS (SELECT 1) DELETE FROM LOG"));
        QCOMPARE(s.prompter.messageTitles(), QStringList{QStringLiteral("VARKEL - VarkelChecker grid")});
        s.prompter.clear();
        QVERIFY(!withGrid([&] { QTest::mouseClick(s.find(sql), Qt::LeftButton); }, [](FrmTabella &) {})); // cancelled
        QCOMPARE(s.prompter.of(FakePrompter::Kind::Input).first().folder,
                 QStringLiteral("/* mine */ SELECT Callsign FROM LOG WHERE Banda = '7.0'"));
        QVERIFY(s.prompter.messages().isEmpty());
    }

    void bandChoiceListBuildsTheBandSet()
    {
        Session s(m_folder.folder());
        s.start(QString());
        QTest::mouseDClick(s.find(QStringLiteral("Lblstat_325")), Qt::LeftButton);
        QVERIFY(!s.find(QStringLiteral("List1"))->isVisible()); // no logbook: a beep and nothing else
        QCOMPARE(s.prompter.beeps, 1);

        s.controller.loadLog(); // the dialog is cancelled
        s.start(QStringLiteral("testdt"));
        s.action(QStringLiteral("MnuDxc5"))->trigger();
        QTest::mouseDClick(s.find(QStringLiteral("Lblstat_333")), Qt::LeftButton);
        auto *list = s.find<QListWidget>(QStringLiteral("List1"));
        QVERIFY(list->isVisible());
        QVERIFY(s.find(QStringLiteral("lblchoice"))->isVisible());
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        QVERIFY(items.contains(QStringLiteral("14.0")) && items.contains(QStringLiteral("7")) && items.contains(QStringLiteral("2m")));
        QVERIFY(items.indexOf(QStringLiteral("14.0")) < items.indexOf(QStringLiteral("7")));

        // A chosen band goes to the first empty position, not to the header double-clicked.
        const int item2m = int(items.indexOf(QStringLiteral("2m")));
        list->itemDoubleClicked(list->item(item2m));
        QCOMPARE(s.header(5), QStringLiteral("2m"));
        QTest::mouseClick(s.find(QStringLiteral("cmdchoice")), Qt::LeftButton);
        QTest::mouseClick(s.find(QStringLiteral("cmdchoice")), Qt::LeftButton);
        QCOMPARE(s.headers().mid(0, 6), QStringList({"3.5", "7.0", "14.0", "21.0", "", ""}));
        QTest::mouseClick(s.find(QStringLiteral("CmdXchoice")), Qt::LeftButton);
        QVERIFY(!list->isVisible());
    }

    void memoBandsAreTheBandsOfTheNextRun()
    {
        QFile memo(m_folder.path(QStringLiteral("memo2.ini")));
        QVERIFY(memo.open(QIODevice::WriteOnly));
        memo.write("# my DXCC bands\r\n14.0\r\n\r\n7.0\r\n2m\r\n");
        memo.close();
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.action(QStringLiteral("MnuMemo2"))->trigger();
        QCOMPARE(s.headers().mid(0, 4), QStringList({"14.0", "7.0", "2m", ""}));
        s.clickStats(0); // DXC
        QVERIFY(s.prompter.messages().isEmpty());
        for (int c = 0; c < 20; ++c) {
            for (int r = 0; r < 16; ++r) {
                if (c >= 3) {
                    QCOMPARE(s.cell(c, r), QStringLiteral("-"));
                    continue;
                }
                QCOMPARE(s.cell(c, r).toLong(), reference::entityCount(m_rows, 0, {s.header(c).toStdString()}, r, false));
            }
        }
        for (int r = 0; r < 16; ++r)
            QCOMPARE(s.line("lblMix", r).toLong(), reference::entityCount(m_rows, 0, names(s.headers().mid(0, 3)), r, false));

        // A memo file that is not there: the message, and the band set stays.
        s.action(QStringLiteral("MnuMemo9"))->trigger();
        QCOMPARE(s.prompter.messageTexts(), QStringList{MemoFile::failureMessage()});
        QCOMPARE(s.prompter.messages().first().flags, 48);
        QCOMPARE(s.prompter.messageTitles().first(), QStringLiteral("VarkelChecker - LOAD MEMO1...9"));
        QCOMPARE(s.header(0), QStringLiteral("14.0"));
    }

    void bandWindowCountsEveryKindOfOneBand()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.action(QStringLiteral("MnuWark"))->trigger();
        QTest::mouseClick(s.find(QStringLiteral("CmdBandaSingola_5")), Qt::LeftButton); // empty header
        QVERIFY(!s.window.bandWindow());
        QTest::mouseClick(s.find(QStringLiteral("CmdBandaSingola_1")), Qt::LeftButton);
        FrmBanda *band = s.window.bandWindow();
        QVERIFY(band);
        QCOMPARE(QApplication::activeModalWidget(), band); // the main window takes no input
        QCOMPARE(band->findChild<QLabel *>("Label22")->text(), QStringLiteral("18.1"));
        QVERIFY(band->windowTitle().contains(QStringLiteral("Status LogBook: [test - ")));
        QCOMPARE(band->findChild<QLabel *>("LblTitolo")->text(), QStringLiteral("Varkel  - IK2ABC BAND [18.1] checker"));
        QTest::mouseClick(band->findChild<QPushButton *>("CmdStart"), Qt::LeftButton);
        // The labels show the window's grid, counted for 18.1 (the counts themselves are checked at the core).
        for (int i = 0; i < 112; ++i)
            QCOMPARE(band->findChild<QLabel *>(QStringLiteral("LblstatBanda_%1").arg(i))->text(), band->matrix().caption(i));
        QCOMPARE(band->matrix().caption(7 * 3 + 1).toLong(), reference::entityCount(m_rows, 0, {"18.1"}, 3, false));
        band->close();
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QTRY_VERIFY(!s.window.bandWindow());
    }

    void childWindowsStayAboveTheMainWindow()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        QWindow *main = s.window.windowHandle();
        QVERIFY(main);
        // Window managers keep a dialog-type window above the window it is transient for.
        const auto owned = [main](QWidget &w) {
            return w.windowType() == Qt::Dialog && w.windowHandle() && w.windowHandle()->transientParent() == main;
        };

        QTest::mouseClick(s.find(QStringLiteral("CmdBandaSingola_6")), Qt::LeftButton);
        QPointer<FrmBanda> band = s.window.bandWindow();
        QVERIFY(band && band->isVisible());
        QVERIFY(owned(*band));
        QVERIFY(band->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        band->close();
        QTRY_VERIFY(!band);

        s.clickStats(0);
        bool listed = false;
        QVERIFY(withGrid([&] { QTest::mouseDClick(s.find(QStringLiteral("Lblstat_126")), Qt::LeftButton); },
                         [&](FrmTabella &grid) { listed = owned(grid); }));
        QVERIFY(listed);

        s.action(QStringLiteral("mnuneeded"))->trigger();
        QTRY_VERIFY(s.window.findChild<NeededWindow *>());
        auto *needed = s.window.findChild<NeededWindow *>();
        QVERIFY2(needed->isVisible(), qPrintable(s.prompter.messageTexts().join(QLatin1Char('|'))));
        QVERIFY(owned(*needed));
        needed->close();

        // The boxes of the operator's prompter: the SQL input and the message boxes.
        QtPrompter prompter(&s.window);
        bool asked = false;
        QString typed;
        withModal<QWidget>(
            [&] { typed = prompter.input(QStringLiteral("Query?"), QStringLiteral("VarkelChecker QUERY"), QStringLiteral("SELECT 1")); },
            [&](QWidget &box) {
                auto *input = qobject_cast<QInputDialog *>(&box);
                asked = input && owned(box) && input->textValue() == QStringLiteral("SELECT 1");
                if (input)
                    input->setTextValue(QStringLiteral("SELECT 2"));
                box.close();
            });
        QVERIFY(asked);
        QVERIFY(typed.isEmpty()); // closed, not accepted
        withModal<QWidget>(
            [&] { typed = prompter.input(QStringLiteral("Query?"), QStringLiteral("VarkelChecker QUERY"), QStringLiteral("SELECT 1")); },
            [&](QWidget &box) {
                if (auto *input = qobject_cast<QInputDialog *>(&box)) {
                    input->setTextValue(QStringLiteral("SELECT 2"));
                    input->accept();
                }
            });
        QCOMPARE(typed, QStringLiteral("SELECT 2"));
        asked = false;
        int answer = 0;
        withModal<QWidget>([&] { answer = prompter.message(QStringLiteral("Sure?"), 4 + 32, QStringLiteral("VarkelChecker")); },
                           [&](QWidget &box) {
                               auto *message = qobject_cast<QMessageBox *>(&box);
                               asked = message && owned(box);
                               if (message)
                                   message->button(QMessageBox::Yes)->click();
                           });
        QVERIFY(asked);
        QCOMPARE(answer, int(MsgAnswer::Yes));
    }

    void gridExportWritesTheGridAsItStands()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.clickStats(4); // WAC
        const QString target = m_folder.path(QStringLiteral("grid.xlsx"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        s.prompter.saveFileAnswers.enqueue(target);
        s.action(QStringLiteral("mnuexport"))->trigger();
        QVERIFY(QFile::exists(target));
        QCOMPARE(s.prompter.of(FakePrompter::Kind::OpenDocument).size(), 1);
        const QString sheet = QString::fromUtf8(unzipEntry(target, QStringLiteral("xl/worksheets/sheet1.xml")));
        QCOMPARE(sheet.count(QStringLiteral("<row ")), 3 + 20 + 3);
        QVERIFY(readSheetStyles(target).empty());

        // After "DXCC WARC" the window hands its grey counts and its note to the
        // sheet (how the sheet writes them is XlsxExport's own test).
        s.action(QStringLiteral("MnuWark"))->trigger();
        const QString stale = m_folder.path(QStringLiteral("stale.xlsx"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        s.prompter.saveFileAnswers.enqueue(stale);
        s.action(QStringLiteral("mnuexport"))->trigger();
        QCOMPARE(readSheet(stale).at({27, 1}), s.text(QStringLiteral("LblStale")));
        const QColor black = s.find<QLabel>(QStringLiteral("lblFull_0"))->palette().color(QPalette::WindowText);
        QSet<QPair<int, int>> greyInWindow, greyInSheet;
        const auto inWindow = [&](const QString &name, int row, int column) {
            auto *label = s.find<QLabel>(name);
            if (label->text() != QStringLiteral("-") && label->palette().color(QPalette::WindowText) != black)
                greyInWindow << qMakePair(row, column);
        };
        for (int r = 0; r < Session::Slots; ++r) {
            for (int c = 0; c < Session::Bands; ++c)
                inWindow(QStringLiteral("Lblstat_%1").arg(c + 20 * r), 4 + c, 2 + r);
            inWindow(QStringLiteral("lblMix_%1").arg(r), 24, 2 + r);
            inWindow(QStringLiteral("LblTot_%1").arg(r), 25, 2 + r);
            inWindow(QStringLiteral("lblFull_%1").arg(r), 26, 2 + r);
        }
        for (const auto &[at, style] : readSheetStyles(stale)) {
            if (style.colour == QStringLiteral("878787") && at.first >= 4 && at.first <= 26 && at.second >= 2)
                greyInSheet << qMakePair(at.first, at.second);
        }
        QVERIFY(!greyInWindow.isEmpty());
        QCOMPARE(greyInSheet, greyInWindow);
    }

    void damagedLogbooksGiveMessagesAndTheWindowStaysUsable()
    {
        TempLogbook bad;
        const QString good = bad.write(m_rows, QStringLiteral("gooddt.mdb"));
        QFile whole(good);
        QVERIFY(whole.open(QIODevice::ReadOnly));
        const QByteArray bytes = whole.readAll();
        const auto writeFile = [&](const QString &name, const QByteArray &content) {
            QFile f(bad.path(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        };
        writeFile(QStringLiteral("cutdt.mdb"), bytes.left(bytes.size() / 2));
        QVERIFY(QDir(bad.folder()).mkdir(QStringLiteral("folderdt.mdb")));

        Session s(m_folder.folder());
        s.start(QString());
        // Each kind of damage has its core test; here what the window does with one.
        for (const QString &name : {QStringLiteral("cutdt.mdb"), QStringLiteral("folderdt.mdb")}) {
            s.prompter.clear();
            s.prompter.openFileAnswers.enqueue(bad.path(name));
            QVERIFY(s.controller.loadLog());
            s.clickStats(0);
            QCOMPARE(s.prompter.messageTexts(),
                     QStringList({QStringLiteral("SQL or FILENAME error!"), QStringLiteral("SQL or FILENAME error!"),
                                  QStringLiteral("SQL or FILENAME error!")}));
            QVERIFY(s.find(QStringLiteral("CmdStats_0"))->isEnabled());
        }
        s.prompter.clear();
        s.prompter.openFileAnswers.enqueue(good);
        QVERIFY(s.controller.loadLog());
        s.clickStats(0);
        QVERIFY(s.prompter.messages().isEmpty());
        QCOMPARE(s.line("lblFull", 3).toLong(), reference::entityCount(m_rows, 0, {"*"}, 3, false));
    }

    void printGivesOneLandscapePageWithoutTheCommands()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.clickStats(0);
        const QColor loadedColour = s.window.palette().color(QPalette::Window);
        const QColor titleColour = s.find(QStringLiteral("LblTitolo"))->palette().color(QPalette::Window);
        s.printer.file = m_folder.path(QStringLiteral("main.pdf"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(s.find(QStringLiteral("CmdPrint")), Qt::LeftButton);
        QCOMPARE(s.prompter.messages().size(), 1);
        QCOMPARE(s.prompter.messages().first().flags, 4);
        QCOMPARE(s.prompter.messages().first().title, QStringLiteral("VarkelChecher Print screen!"));
        for (const QString &name : {QStringLiteral("CmdStats_0"), QStringLiteral("CmdLoadLog"), QStringLiteral("Command2")})
            QVERIFY(s.find(name)->isVisible());
        // The colours of a loaded logbook come back, also on a second print.
        QCOMPARE(s.window.palette().color(QPalette::Window), loadedColour);
        QCOMPARE(s.find(QStringLiteral("LblTitolo"))->palette().color(QPalette::Window), titleColour);
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(s.find(QStringLiteral("CmdPrint")), Qt::LeftButton);
        QCOMPARE(s.window.palette().color(QPalette::Window), loadedColour);

        QFile pdf(s.printer.file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 1);
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]")).match(QString::fromLatin1(bytes));
        QVERIFY(box.hasMatch());
        QVERIFY(box.captured(1).toDouble() > box.captured(2).toDouble());
        // The page holds the grid as text and lines (no picture of the whole page),
        // the counts and titles, and neither the commands nor the menu bar.
        const bool readBack = popplerAtHand();
        if (readBack) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), s.printer.file, QStringLiteral("-")});
            QVERIFY2(text.waitForFinished(), "pdftotext (poppler-utils) is needed");
            const QString words = QString::fromUtf8(text.readAllStandardOutput());
            for (const QString &shown : {QStringLiteral("NOT CONFIRMED"), QStringLiteral("IK2ABC LOG checker"), s.line("lblFull", 3)})
                QVERIFY2(words.contains(shown), qPrintable(shown));
            for (const QString &hidden : {QStringLiteral("Load LogBook"), QStringLiteral("Check your BAND"), QStringLiteral("PRT"),
                                          QStringLiteral("MEMO"), QStringLiteral("EXPORT TO EXCEL")})
                QVERIFY2(!words.contains(hidden), qPrintable(hidden));
            QProcess images;
            images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), s.printer.file});
            QVERIFY(images.waitForFinished());
            for (const QString &line : QString::fromUtf8(images.readAllStandardOutput()).split(QLatin1Char('\n')).mid(2)) {
                const QStringList f = line.simplified().split(QLatin1Char(' '));
                if (f.size() > 4)
                    QVERIFY2(f[3].toInt() * f[4].toInt() < 1000 * 1000, qPrintable(line)); // width x height
            }
        }

        // Before a logbook is loaded only three commands come back; No prints nothing.
        Session bare(m_folder.folder());
        bare.start(QString());
        bare.printer.file = m_folder.path(QStringLiteral("bare.pdf"));
        bare.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(bare.find(QStringLiteral("CmdPrint")), Qt::LeftButton);
        QVERIFY(bare.find(QStringLiteral("CmdPrint"))->isVisible());
        QVERIFY(bare.find(QStringLiteral("Command1"))->isVisible());
        QVERIFY(!bare.find(QStringLiteral("CmdStats_0"))->isVisible());
        QVERIFY(!bare.find(QStringLiteral("Command2"))->isVisible());
        bare.prompter.clear();
        bare.prompter.messageAnswers.enqueue(MsgAnswer::No);
        const QDateTime printed = QFileInfo(bare.printer.file).lastModified();
        QTest::mouseClick(bare.find(QStringLiteral("CmdPrint")), Qt::LeftButton);
        QCOMPARE(bare.prompter.messageTexts().last(), QStringLiteral("EXIT WITHOUT PRINTING"));
        QCOMPARE(QFileInfo(bare.printer.file).lastModified(), printed);

        // No printer at all: the operator is told at once, nothing is asked, the window stays whole.
        bare.prompter.clear();
        bare.printer.available = false;
        QTest::mouseClick(bare.find(QStringLiteral("CmdPrint")), Qt::LeftButton);
        QCOMPARE(bare.prompter.messages().size(), 1);
        QVERIFY(bare.prompter.messageTexts().last().contains(QStringLiteral("No printer")));
        QVERIFY(bare.find(QStringLiteral("CmdPrint"))->isVisible());
        if (!readBack)
            QSKIP("the printed page's text and pictures need poppler (pdftotext, pdfimages), which this system lacks");
    }

    void bandWindowPrintsToo()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        QTest::mouseClick(s.find(QStringLiteral("CmdBandaSingola_6")), Qt::LeftButton);
        FrmBanda *band = s.window.bandWindow();
        QVERIFY(band);
        s.printer.file = m_folder.path(QStringLiteral("band.pdf"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(band->findChild<QPushButton *>("CmdPrt"), Qt::LeftButton);
        QVERIFY(band->findChild<QPushButton *>("CmdStart")->isVisible());
        if (!popplerAtHand()) {
            band->close();
            QSKIP("the printed page's text needs poppler (pdftotext), which this system lacks");
        }
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {s.printer.file, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(words.contains(QStringLiteral("BAND [14.0] checker")), qPrintable(words));
        QVERIFY(!words.contains(QStringLiteral("START")));
        band->close();
    }
};

QTEST_MAIN(TestWindowActions)
#include "TestWindowActions.moc"
