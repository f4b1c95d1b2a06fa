// The result grid window and the custom query, driven as the operator would.
#include "FakePrompter.h"
#include "FrmTabella.h"
#include "GridRecordset.h"
#include "ListingActions.h"
#include "LogbookEngine.h"
#include "TempLogbook.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class TestListingWindow : public QObject {
    Q_OBJECT

private:
    /// Opens the grid for state.ListingQuery and runs `inspect` on it while it is shown.
    bool openGrid(bool entity, const std::function<void(FrmTabella &)> &inspect)
    {
        bool shown = false;
        // The timer lives only as long as this call, so a grid that never opens
        // leaves nothing behind to fire later.
        QTimer timer;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [&] {
            FrmTabella *w = FrmTabella::current();
            if (w) {
                shown = true;
                inspect(*w);
                w->close();
            }
        });
        timer.start(0);
        FrmTabella::showListing(nullptr, state, engine, prompter, entity);
        return shown;
    }

    TempLogbook *dir = nullptr;
    QString path;
    std::vector<genlog::LogRow> rows;
    LogState state;
    LogbookEngine engine;
    FakePrompter prompter;
    StatsMatrix matrix;

private slots:
    void initTestCase()
    {
        dir = new TempLogbook;
        rows = genlog::generate(400, 8);
        path = dir->write(rows);
    }
    void cleanupTestCase() { delete dir; }
    void init()
    {
        state = LogState();
        state.LogName = QStringLiteral("TESTDT");
        state.LogPath = path;
        prompter.clear();
        prompter.openDocumentAnswer = true;
    }

    void entityListingShowsGridCaptionsAndCount()
    {
        state.ListingQuery = QStringLiteral(
            "SELECT DISTINCT LOG.DXC, First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS First_BAND, First(LOG.Mode) AS First_MODE, "
            "First(LOG.TDate) AS First_DATE, First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) AS AWARD, "
            "First(LOG.DIPTEXT) AS DIPL_TEXT From Log Where (((Log.Banda) = '14.0') And ((Log.DXC) <> '??') And ((Log.DXC) <> '')) GROUP BY LOG.DXC;");
        const bool shown = openGrid(true, [&](FrmTabella &w) {
            GridRecordset *m = w.recordset();
            QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("DXC"));
            QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("FIRST CALL"));
            QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("FIRST QSO DATE"));
            QCOMPARE(m->headerData(9, Qt::Horizontal).toString(), QStringLiteral("AWARD DXC WPX WAZ..."));
            QCOMPARE(m->fieldName(2), QStringLiteral("First_BAND"));
            QVERIFY(m->rowCount() > 0);
            QCOMPARE(w.windowTitle(), QStringLiteral("Varkel Search query result Records found : %1").arg(m->rowCount()));
            QCOMPARE(w.findChild<QLabel *>("LblQuery")->text(), state.ListingQuery);
            QCOMPARE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable, Qt::ItemFlags());
        });
        QVERIFY(shown);
        QVERIFY(prompter.messages().isEmpty());
    }

    void otherResultsKeepTheirFieldNamesAndSortByHeader()
    {
        state.ListingQuery = QStringLiteral("SELECT Callsign, Banda FROM LOG WHERE Mode = 'CW'");
        QVERIFY(openGrid(false, [&](FrmTabella &w) {
            GridRecordset *m = w.recordset();
            QCOMPARE(m->columnCount(), 2);
            QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Banda"));
            auto *view = w.findChild<QTableView *>("DataGrid1");
            view->horizontalHeader()->sectionClicked(0);
            for (int r = 1; r < m->rowCount(); ++r)
                QVERIFY(m->text(r - 1, 0).compare(m->text(r, 0), Qt::CaseInsensitive) <= 0);
            view->horizontalHeader()->sectionClicked(0);
            QVERIFY(m->text(0, 0).compare(m->text(m->rowCount() - 1, 0), Qt::CaseInsensitive) >= 0);
        }));
    }

    void zeroMatchesStillOpen()
    {
        state.ListingQuery = QStringLiteral("SELECT * FROM LOG WHERE (BANDA = 'NOBAND') order by CALLSIGN;");
        QVERIFY(openGrid(false, [&](FrmTabella &w) { QCOMPARE(w.windowTitle(), QStringLiteral("Varkel Search query result Records found : 0")); }));
    }

    void failuresShowTheirMessagesAndNoWindow()
    {
        state.ListingQuery = QStringLiteral("SELECT Nonsense FROM LOG");
        QVERIFY(!openGrid(false, [](FrmTabella &) {}));
        QCOMPARE(prompter.messageTexts(), QStringList{QStringLiteral("Attention, your Search Query or LOG is not exactly!\r\n\r\nSELECT Nonsense FROM LOG")});
        QCOMPARE(prompter.messages().first().flags, 16);
        QCOMPARE(prompter.messageTitles(), QStringList{QStringLiteral("VARKEL GRID")});
        prompter.clear();
        state.LogName = QStringLiteral("  ");
        QVERIFY(!openGrid(false, [](FrmTabella &) {}));
        QCOMPARE(prompter.messageTexts(), QStringList{QStringLiteral("Attention, your Log Name is not exactly!\r\n\r\n  ")});
    }

    void exportWritesTheRowsAndOpensThem()
    {
        state.ListingQuery = QStringLiteral("SELECT ID, Callsign, NOTE FROM LOG WHERE Banda = '7.0' ORDER BY ID");
        const QString target = dir->path(QStringLiteral("export.xlsx"));
        prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        prompter.saveFileAnswers.enqueue(target);
        int shownRows = 0;
        QVERIFY(openGrid(false, [&](FrmTabella &w) {
            shownRows = w.recordset()->rowCount();
            w.findChild<QAction *>("Data_export")->trigger();
        }));
        const auto messages = prompter.messages();
        QCOMPARE(messages.first().text, QStringLiteral("Export to Excel?"));
        QCOMPARE(messages.first().flags, 68);
        QCOMPARE(messages.first().title, QStringLiteral("VARKELchecker - Export"));
        const auto saves = prompter.of(FakePrompter::Kind::SaveFile);
        QCOMPARE(saves.size(), 1);
        QVERIFY(saves.first().folder.endsWith(QStringLiteral("TEST_QSO_%1.xlsx").arg(QDate::currentDate().toString("yyyy-MM-dd"))));
        QCOMPARE(prompter.of(FakePrompter::Kind::OpenDocument).first().text, target);
        QProcess unzip;
        unzip.start("unzip", {"-p", target, "xl/worksheets/sheet1.xml"});
        QVERIFY(unzip.waitForFinished());
        const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
        QCOMPARE(sheet.count(QStringLiteral("<row ")), shownRows + 1);
        QVERIFY(sheet.contains(QStringLiteral("Callsign")));
    }

    void exportWithoutSpreadsheetApplicationSaysWhereTheFileIs()
    {
        state.ListingQuery = QStringLiteral("SELECT Callsign FROM LOG WHERE Banda = '50'");
        const QString target = dir->path(QStringLiteral("noapp.xlsx"));
        prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        prompter.saveFileAnswers.enqueue(target);
        prompter.openDocumentAnswer = false;
        QVERIFY(openGrid(false, [](FrmTabella &w) { w.exportToSpreadsheet(); }));
        QCOMPARE(prompter.messageTexts().last(), QStringLiteral("Not available! Can't open Excel application.\r\n\r\nThe spreadsheet was saved as:\r\n") + target);
        QVERIFY(QFile::exists(target));
        prompter.clear();
        prompter.messageAnswers.enqueue(MsgAnswer::No);
        QVERIFY(openGrid(false, [](FrmTabella &w) { w.exportToSpreadsheet(); }));
        QCOMPARE(prompter.of(FakePrompter::Kind::SaveFile).size(), 0);
    }

    void customQueryStopRulesAndRefusals()
    {
        int opened = 0;
        ListingActions actions(state, matrix, prompter, [] { return false; }, [&](bool) { ++opened; });
        for (const QString answer : {QString(), QStringLiteral("select"), QStringLiteral("  SELECT  ")}) {
            prompter.clear();
            prompter.inputAnswers.enqueue(answer);
            actions.customQuery();
            QCOMPARE(prompter.messages().size(), 0);
        }
        const auto inputs = prompter.of(FakePrompter::Kind::Input);
        QCOMPARE(inputs.first().text, QStringLiteral("ENTER QUERY:\r\n\r\nSELECT * FROM LOG...\r\nLOCAL Query"));
        QCOMPARE(inputs.first().title, QStringLiteral("VarkelChecker QUERY"));
        QCOMPARE(inputs.first().folder, QStringLiteral("SELECT * FROM LOG"));
        QCOMPARE(opened, 0);

        const QByteArray before = digest(path);
        for (const char *statement : {"DELETE FROM LOG", "UPDATE LOG SET R = 'Y'", "DROP TABLE LOG", "SELECT * INTO copy FROM LOG",
                                      "SELECT * FROM LOG; DELETE FROM LOG"}) {
            prompter.clear();
            prompter.inputAnswers.enqueue(QString::fromLatin1(statement));
            actions.customQuery();
            QCOMPARE(prompter.messages().size(), 1);
            QVERIFY(prompter.messageTexts().first().contains("never changes it"));
            QCOMPARE(opened, 0);
        }
        QCOMPARE(digest(path), before);

        prompter.clear();
        prompter.inputAnswers.enqueue(QStringLiteral("SELECT Callsign FROM LOG"));
        actions.customQuery();
        QCOMPARE(opened, 1);
        QCOMPARE(state.ListingQuery, QStringLiteral("SELECT Callsign FROM LOG"));
        QVERIFY(!prompter.messageTexts().first().contains("permanent"));
        QCOMPARE(prompter.messageTitles().first(), QStringLiteral("VARKEL - VarkelChecker grid"));
    }
};

QTEST_MAIN(TestListingWindow)
#include "TestListingWindow.moc"
