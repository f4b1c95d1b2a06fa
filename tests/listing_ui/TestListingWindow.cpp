// The result grid window and the custom query, driven as the operator would.
#include "listing/FrmTabella.h"
#include "listing/GridRecordset.h"
#include "listing/ListingActions.h"
#include "listing/ListingRun.h"
#include "logbook/LogbookEngine.h"
#include "stats/EntityData.h"
#include "tests/support/CountryReference.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ModalGrid.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/XlsxSheet.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

const QString Endless = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT COUNT(*) FROM c");

/// The progress dialog of a listing while it shows.
QProgressDialog *shownProgress()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("ListingProgress") && w->isVisible())
            return qobject_cast<QProgressDialog *>(w);
    }
    return nullptr;
}

/// Clicks a column header where the operator would.
void clickHeader(QHeaderView *header, int column)
{
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

/// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestListingWindow : public QObject {
    Q_OBJECT

private:
    /// Opens the grid for `query` and runs `inspect` on it while it is shown.
    bool openGrid(bool entity, const std::function<void(FrmTabella &)> &inspect, QWidget *parent = nullptr)
    {
        return withGrid([&] { FrmTabella::showListing(parent, state, engine, prompter, {query, entity}); }, inspect);
    }

    TempLogbook *dir = nullptr;
    QString path;
    std::vector<genlog::LogRow> rows;
    LoadedLog state;
    QString query; ///< the text openGrid runs
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
        state = LoadedLog{QStringLiteral("TESTDT"), path};
        query.clear();
        prompter.clear();
        prompter.openDocumentAnswer = true;
    }

    void entityListingShowsGridCaptionsAndCount()
    {
        query = QStringLiteral(
            "SELECT DISTINCT LOG.DXC, First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS First_BAND, First(LOG.Mode) AS First_MODE, "
            "First(LOG.TDate) AS First_DATE, First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) "
            "AS AWARD, "
            "First(LOG.DIPTEXT) AS DIPL_TEXT From Log Where (((Log.Banda) = '14.0') And ((Log.DXC) <> '??') And ((Log.DXC) <> '')) GROUP "
            "BY LOG.DXC;");
        const bool shown = openGrid(true, [&](FrmTabella &w) {
            GridRecordset *m = w.recordset();
            QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("DXC"));
            QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("FIRST CALL"));
            QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("FIRST QSO DATE"));
            QCOMPARE(m->headerData(9, Qt::Horizontal).toString(), QStringLiteral("AWARD DXC WPX WAZ..."));
            QCOMPARE(m->fieldName(2), QStringLiteral("First_BAND"));
            QVERIFY(m->rowCount() > 0);
            QCOMPARE(w.windowTitle(), QStringLiteral("Varkel Search query result Records found : %1").arg(m->rowCount()));
            QCOMPARE(w.findChild<QLabel *>("LblQuery")->text(), query);
            QCOMPARE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable, Qt::ItemFlags());
        });
        QVERIFY(shown);
        QVERIFY(prompter.messages().isEmpty());
    }

    void dxcListingNamesItsEntities()
    {
        // The listing of a DXC cell: a column of names after the entity, the
        // grid's captions after it; other kinds' listings have none.
        const QString cell = QStringLiteral(
            "SELECT DISTINCT LOG.%1, First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS First_BAND, First(LOG.Mode) AS First_MODE, "
            "First(LOG.TDate) AS First_DATE, First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) "
            "AS AWARD, First(LOG.DIPTEXT) AS DIPL_TEXT From Log Where (((Log.Banda) = '14.0') And ((Log.%1) <> '??') And ((Log.%1) <> "
            "'')) GROUP BY LOG.%1;");
        if (EntityData::source().isEmpty())
            QSKIP("no country file cty.csv beside the program or in the system's folder");
        const CountryReference reference(EntityData::source());
        query = cell.arg(QStringLiteral("DXC"));
        const QString target = dir->path(QStringLiteral("dxc.xlsx"));
        prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        prompter.saveFileAnswers.enqueue(target);
        QStringList names;
        QVERIFY(withGrid(
            [&] {
                FrmTabella::showListing(nullptr, state, engine, prompter, {query, true, AwardKind::Dxc});
            },
            [&](FrmTabella &w) {
                GridRecordset *m = w.recordset();
                QCOMPARE(m->columnCount(), 11);
                QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("DXC"));
                QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NAME"));
                QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("FIRST CALL"));
                QCOMPARE(m->headerData(10, Qt::Horizontal).toString(), QStringLiteral("AWARD DXC WPX WAZ..."));
                QCOMPARE(m->fieldName(3), QStringLiteral("First_BAND"));
                QVERIFY(m->columnWidth(1) > m->columnWidth(2));
                QVERIFY(m->rowCount() > 10);
                for (int r = 0; r < m->rowCount(); ++r) {
                    QCOMPARE(m->text(r, 1), reference.name(m->text(r, 0)));
                    QVERIFY2(!m->text(r, 1).isEmpty(), qPrintable(m->text(r, 0)));
                    names << m->text(r, 1);
                }
                w.findChild<QAction *>("Data_export")->trigger();
            }));
        // The export holds the names in their column, under their field name.
        const auto cells = readSheet(target);
        QCOMPARE(cells.at({1, 2}), QStringLiteral("NAME"));
        QCOMPARE(cells.at({1, 3}), QStringLiteral("First_CALL"));
        for (int r = 0; r < names.size(); ++r)
            QCOMPARE(cells.at({r + 2, 2}), QLatin1Char(' ') + names[r] + QLatin1Char(' ')); // the export pads its cells
        QCOMPARE(cells.count({int(names.size()) + 2, 1}), size_t(0));

        query = cell.arg(QStringLiteral("WPX"));
        QVERIFY(withGrid(
            [&] {
                FrmTabella::showListing(nullptr, state, engine, prompter, {query, true, AwardKind::Wpx});
            },
            [&](FrmTabella &w) {
                QCOMPARE(w.recordset()->columnCount(), 10);
                QCOMPARE(w.recordset()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("FIRST CALL"));
            }));
    }

    void otherResultsKeepTheirFieldNamesAndSortByHeaderClicks()
    {
        query = QStringLiteral("SELECT ID, Callsign FROM LOG WHERE Mode = 'CW' ORDER BY Callsign");
        QVERIFY(openGrid(false, [&](FrmTabella &w) {
            GridRecordset *m = w.recordset();
            QCOMPARE(m->columnCount(), 2);
            QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Callsign"));
            QVERIFY(m->rowCount() > 10);
            auto *header = w.findChild<QTableView *>("DataGrid1")->horizontalHeader();
            const auto ids = [&] {
                QList<int> list;
                for (int r = 0; r < m->rowCount(); ++r)
                    list << m->text(r, 0).toInt();
                return list;
            };
            const auto calls = [&] {
                QStringList list;
                for (int r = 0; r < m->rowCount(); ++r)
                    list << m->text(r, 1);
                return list;
            };
            QList<int> ascending = ids();
            std::sort(ascending.begin(), ascending.end());
            QList<int> descending = ascending;
            std::reverse(descending.begin(), descending.end());
            QVERIFY(ids() != ascending); // the query's own order first

            // First click ascending, the next descending, then ascending again.
            const std::pair<QList<int>, Qt::SortOrder> clicks[] = {
                {ascending, Qt::AscendingOrder}, {descending, Qt::DescendingOrder}, {ascending, Qt::AscendingOrder}};
            for (const auto &[rows, order] : clicks) {
                clickHeader(header, 0);
                QCOMPARE(ids(), rows);
                QCOMPARE(header->sortIndicatorSection(), 0);
                QCOMPARE(header->sortIndicatorOrder(), order);
            }
            clickHeader(header, 0); // descending by ID
            // Another column starts ascending too, case aside.
            clickHeader(header, 1);
            QStringList sorted = calls();
            std::stable_sort(sorted.begin(), sorted.end(),
                             [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
            QCOMPARE(calls(), sorted);
            QCOMPARE(header->sortIndicatorSection(), 1);
            QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
            clickHeader(header, 1);
            for (int r = 1; r < m->rowCount(); ++r)
                QVERIFY(m->text(r - 1, 1).compare(m->text(r, 1), Qt::CaseInsensitive) >= 0);
            QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        }));
    }

    void anEndlessQueryIsCancelledFromItsProgressDialog()
    {
        QWidget main;
        main.resize(400, 300);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        PaintCounter counter;
        main.installEventFilter(&counter);
        query = Endless;

        int paintsWhileRunning = -1;
        bool clicked = false;
        QTimer operatorHand;
        operatorHand.setInterval(20);
        connect(&operatorHand, &QTimer::timeout, this, [&] {
            QProgressDialog *progress = shownProgress();
            if (!progress || clicked)
                return;
            if (paintsWhileRunning < 0)
                paintsWhileRunning = counter.paints;
            main.update();
            // Cancel once the window behind has repainted while the query runs.
            if (counter.paints > paintsWhileRunning + 2) {
                clicked = true;
                QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        operatorHand.start();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!openGrid(
            false, [](FrmTabella &) {}, &main));
        operatorHand.stop();
        QVERIFY(clicked);
        QVERIFY(clock.elapsed() < 20000);
        QVERIFY(prompter.requests.isEmpty()); // a cancel ends without a word
        QVERIFY(!shownProgress());

        // The program goes on: the next listing runs on the same snapshot.
        query = QStringLiteral("SELECT Callsign FROM LOG");
        QVERIFY(openGrid(
            false, [&](FrmTabella &w) { QCOMPARE(w.recordset()->rowCount(), int(rows.size())); }, &main));
    }

    void aCrossJoinIsCutAtTheRowsOfASheetAndSaysSo()
    {
        query = QStringLiteral("SELECT a.ID FROM LOG a, LOG b, LOG c");
        QVERIFY(openGrid(false, [&](FrmTabella &w) {
            QCOMPARE(w.recordset()->rowCount(), 1048576);
            QCOMPARE(w.windowTitle(), QStringLiteral("Varkel Search query result Records found : 1048576"));
        }));
        const auto messages = prompter.messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.first().text, QStringLiteral("The listing was cut at 1048576 rows: a spreadsheet sheet holds no more."));
        QCOMPARE(messages.first().title, QStringLiteral("VARKEL GRID"));
        QCOMPARE(messages.first().flags, 48);
    }

    void zeroMatchesStillOpen()
    {
        query = QStringLiteral("SELECT * FROM LOG WHERE (BANDA = 'NOBAND') order by CALLSIGN;");
        QVERIFY(openGrid(
            false, [&](FrmTabella &w) { QCOMPARE(w.windowTitle(), QStringLiteral("Varkel Search query result Records found : 0")); }));
    }

    void failuresShowTheirMessagesAndNoWindow()
    {
        query = QStringLiteral("SELECT Nonsense FROM LOG");
        QVERIFY(!openGrid(false, [](FrmTabella &) {}));
        QCOMPARE(prompter.messageTexts(),
                 QStringList{QStringLiteral("Attention, your Search Query or LOG is not exactly!\r\n\r\nSELECT Nonsense FROM LOG")});
        QCOMPARE(prompter.messages().first().flags, 16);
        QCOMPARE(prompter.messageTitles(), QStringList{QStringLiteral("VARKEL GRID")});
        QCOMPARE(prompter.messages().first().detail, QStringLiteral("no such column: Nonsense"));
        prompter.clear();
        state.LogName = QStringLiteral("  ");
        QVERIFY(!openGrid(false, [](FrmTabella &) {}));
        QCOMPARE(prompter.messageTexts(), QStringList{QStringLiteral("Attention, your Log Name is not exactly!\r\n\r\n  ")});
    }

    void exportWritesTheRowsAndOpensThem()
    {
        query = QStringLiteral("SELECT ID, Callsign, NOTE FROM LOG WHERE Banda = '7.0' ORDER BY ID");
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
        const QString sheet = QString::fromUtf8(unzipEntry(target, QStringLiteral("xl/worksheets/sheet1.xml")));
        QCOMPARE(sheet.count(QStringLiteral("<row ")), shownRows + 1);
        QVERIFY(sheet.contains(QStringLiteral("Callsign")));
    }

    void exportAdifWritesTheContactsShownInTheirOrder()
    {
        query = QStringLiteral("SELECT * FROM LOG WHERE Banda = '7.0' ORDER BY ID");
        const QString target = dir->path(QStringLiteral("listing.adi"));
        prompter.saveFileAnswers.enqueue(target);
        QStringList shownCalls;
        QVERIFY(openGrid(false, [&](FrmTabella &w) {
            // The entry stands beside EXPORT TO EXCEL on the menu bar.
            const auto actions = w.findChild<QMenuBar *>()->actions();
            QCOMPARE(actions.size(), 2);
            QCOMPARE(actions[0]->text(), QStringLiteral("EXPORT TO EXCEL"));
            QCOMPARE(actions[1]->text(), QStringLiteral("EXPORT ADIF"));
            QCOMPARE(actions[1]->objectName(), QStringLiteral("Data_export_adif"));
            // In the order shown after a click on the CALLSIGN header.
            GridRecordset *m = w.recordset();
            const int call = int(m->table().fields.indexOf(QStringLiteral("Callsign")));
            clickHeader(w.findChild<QTableView *>("DataGrid1")->horizontalHeader(), call);
            for (int r = 0; r < m->rowCount(); ++r)
                shownCalls << m->text(r, call).trimmed();
            actions[1]->trigger();
        }));
        QVERIFY(!shownCalls.isEmpty());
        const auto saves = prompter.of(FakePrompter::Kind::SaveFile);
        QCOMPARE(saves.size(), 1);
        QVERIFY(saves.first().folder.endsWith(QStringLiteral("TEST_QSO_%1.adi").arg(QDate::currentDate().toString("yyyy-MM-dd"))));
        QCOMPARE(prompter.messageTexts(), QStringList{QStringLiteral("%1 contacts written to %2").arg(shownCalls.size()).arg(target)});
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList writtenCalls;
        static const QRegularExpression callField(QStringLiteral("<CALL:(\\d+)>"));
        const QByteArray bytes = file.readAll();
        for (auto it = callField.globalMatch(QString::fromLatin1(bytes)); it.hasNext();) {
            const auto m = it.next();
            writtenCalls << QString::fromUtf8(bytes.mid(m.capturedEnd(), m.captured(1).toInt()));
        }
        QCOMPARE(writtenCalls, shownCalls);
        QCOMPARE(bytes.count("<BAND:3>40m"), shownCalls.size());

        // An entity listing holds no contacts: a word, no file dialog.
        prompter.clear();
        query = QStringLiteral("SELECT DISTINCT LOG.DXC, First(LOG.Callsign) AS First_CALL From Log GROUP BY LOG.DXC;");
        QVERIFY(openGrid(true, [](FrmTabella &w) { w.exportToAdif(); }));
        QCOMPARE(prompter.messageTexts(),
                 QStringList{QStringLiteral("EXPORT ADIF writes contacts: this listing shows entities, not contacts.")});
        QVERIFY(prompter.of(FakePrompter::Kind::SaveFile).isEmpty());
    }

    void exportWithoutSpreadsheetApplicationSaysWhereTheFileIs()
    {
        query = QStringLiteral("SELECT Callsign FROM LOG WHERE Banda = '50'");
        const QString target = dir->path(QStringLiteral("noapp.xlsx"));
        prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        prompter.saveFileAnswers.enqueue(target);
        prompter.openDocumentAnswer = false;
        QVERIFY(openGrid(false, [](FrmTabella &w) { w.exportToSpreadsheet(); }));
        QCOMPARE(prompter.messageTexts().last(),
                 QStringLiteral("Not available! Can't open Excel application.\r\n\r\nThe spreadsheet was saved as:\r\n") + target);
        QVERIFY(QFile::exists(target));
        prompter.clear();
        prompter.messageAnswers.enqueue(MsgAnswer::No);
        QVERIFY(openGrid(false, [](FrmTabella &w) { w.exportToSpreadsheet(); }));
        QCOMPARE(prompter.of(FakePrompter::Kind::SaveFile).size(), 0);
    }

    void customQueryOffersTheLastText()
    {
        int opened = 0;
        ListingActions actions(
            state, matrix, prompter, [] { return false; },
            [&](const ListingRequest &request) {
                ++opened;
                query = request.query;
            });
        actions.setCheck([&](const QString &query) { return ListingRun::refusal(state, engine, query); });
        const auto offered = [&] { return prompter.of(FakePrompter::Kind::Input).last().folder; };
        // Cancel and the lone SELECT stop without a word; the text typed is offered next time.
        const std::pair<QString, QString> stops[] = {
            {QString(), QStringLiteral("SELECT * FROM LOG")},
            {QStringLiteral("select"), QStringLiteral("SELECT * FROM LOG")},
            {QStringLiteral("  SELECT  "), QStringLiteral("select")},
            {QString(), QStringLiteral("  SELECT  ")},
            {QString(), QStringLiteral("  SELECT  ")},
        };
        for (const auto &[answer, offer] : stops) {
            prompter.clear();
            prompter.inputAnswers.enqueue(answer);
            actions.customQuery();
            QCOMPARE(offered(), offer);
            QCOMPARE(prompter.messages().size(), 0);
        }
        const auto input = prompter.of(FakePrompter::Kind::Input).first();
        QCOMPARE(input.text, QStringLiteral("ENTER QUERY:\r\n\r\nSELECT * FROM LOG...\r\nLOCAL Query"));
        QCOMPARE(input.title, QStringLiteral("VarkelChecker QUERY"));
        QCOMPARE(opened, 0);

        // A comment first, a slash in a literal and a Jet date literal run as they are.

        prompter.clear();
        prompter.inputAnswers.enqueue(
            QStringLiteral("-- my calls\nSELECT Replace(Callsign,'/','-') AS C FROM LOG WHERE TDate >= #2020-01-01#"));
        actions.customQuery();
        QCOMPARE(opened, 1);
        QCOMPARE(query, QStringLiteral("-- my calls\nSELECT Replace(Callsign,'/','-') AS C FROM LOG WHERE TDate >= #2020-01-01#"));
        QCOMPARE(prompter.messageTitles(), QStringList{QStringLiteral("VARKEL - VarkelChecker grid")});
    }

    void aFailedCustomQueryKeepsItsTextAndGivesTheReason()
    {
        ListingActions actions(
            state, matrix, prompter, [] { return false; },
            [&](const ListingRequest &request) { FrmTabella::showListing(nullptr, state, engine, prompter, request); });
        actions.setCheck([&](const QString &query) { return ListingRun::refusal(state, engine, query); });
        prompter.inputAnswers.enqueue(QStringLiteral("SELECT Callsign FROM LOG WHERE Nonsense = 1"));
        QVERIFY(!withGrid([&] { actions.customQuery(); }, [](FrmTabella &) {}));
        const auto messages = prompter.messages();
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[1].text,
                 QStringLiteral("Attention, your Search Query or LOG is not exactly!\r\n\r\nSELECT Callsign FROM LOG WHERE Nonsense = 1"));
        QCOMPARE(messages[1].title, QStringLiteral("VARKEL GRID"));
        QCOMPARE(messages[1].flags, 16);
        QCOMPARE(messages[1].detail, QStringLiteral("no such column: Nonsense"));

        // The same button, typed right, shows its rows.
        prompter.clear();
        prompter.inputAnswers.enqueue(QStringLiteral("SELECT Callsign FROM LOG WHERE ID <= 10"));
        QVERIFY(withGrid([&] { actions.customQuery(); }, [](FrmTabella &w) { QCOMPARE(w.recordset()->rowCount(), 10); }));
        QCOMPARE(prompter.of(FakePrompter::Kind::Input).first().folder, QStringLiteral("SELECT Callsign FROM LOG WHERE Nonsense = 1"));
    }
};

QTEST_MAIN(TestListingWindow)
#include "TestListingWindow.moc"
