// The award matrix window driven from the main window: Ctrl+M after a run,
// its totals against the grid in every class, sorting, "needed only",
// finding, the contacts behind a cell, the spreadsheet with its fills, the
// pages of its print; and a matrix of 30,000 entities.
#include "listing/FrmTabella.h"
#include "listing/GridRecordset.h"
#include "logbook/LoadedLog.h"
#include "matrixwindow/FrmMatrix.h"
#include "matrixwindow/MatrixColours.h"
#include "matrixwindow/MatrixModel.h"
#include "tests/app/MainWindowSession.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/ModalGrid.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"
#include "tests/support/XlsxSheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace CountSlotIndex;

namespace {

/// Runs `action`, which opens the result grid, and gives the grid's row count (-1: none opened).
int gridRows(const std::function<void()> &action)
{
    int rows = -1;
    withGrid(action, [&](FrmTabella &grid) { rows = grid.recordset()->rowCount(); });
    return rows;
}

QString hex(uint32_t rgb) { return QStringLiteral("%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper(); }

/// A double-click on a cell as the operator gives it: the press that picks the cell first.
void doubleClick(QTableView *view, const QModelIndex &cell)
{
    view->scrollTo(cell);
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

/// The column of a band label in the window's table; -1 for none.
int columnOf(const QAbstractItemModel *m, const QString &band)
{
    for (int c = 0; c < m->columnCount(); ++c) {
        if (m->headerData(c, Qt::Horizontal).toString() == band)
            return c;
    }
    return -1;
}

} // namespace

class TestMatrixWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        quietOffscreenWarnings();
        m_rows = genlog::generate(1500, 17);
        for (genlog::LogRow &row : counttest::caseVariantRows())
            m_rows.push_back(std::move(row));
        m_rows.push_back(makeRow("14.0", "CW", "Y", "N", "dm")); // East Germany, deleted
        for (size_t i = 0; i < m_rows.size(); ++i)
            m_rows[i].ID = int32_t(i + 1);
        m_folder.write(m_rows);
    }

    void totalsAreTheGridsInEveryClass()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        QTest::keySequence(&s.window, QKeySequence(QStringLiteral("Ctrl+M")));
        QVERIFY(s.prompter.messageTexts().value(0).startsWith(QStringLiteral("MATRIX "))); // no award run yet
        QVERIFY(!s.window.findChild<FrmMatrix *>());
        s.prompter.clear();
        s.action(QStringLiteral("MnuDxc5"))->trigger();
        QTest::mouseClick(s.find<QCheckBox>(QStringLiteral("FT8chk")), Qt::LeftButton);
        s.clickStats(0);
        s.prompter.clear();
        QTest::keySequence(&s.window, QKeySequence(QStringLiteral("Ctrl+M")));
        auto *w = s.window.findChild<FrmMatrix *>();
        QVERIFY(w && w->isVisible());
        QVERIFY(s.prompter.messages().isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("VarkelChecker - MATRIX DXC [test]"));
        const QString title = w->findChild<QLabel *>(QStringLiteral("LblTitolo"))->text();
        QVERIFY2(title.contains(QStringLiteral("DXCC worked ")) && title.contains(QStringLiteral("deleted 1)")) &&
                     title.contains(QStringLiteral("DXCC Challenge ")),
                 qPrintable(title));
        const QAbstractItemModel *m = w->view()->model();
        QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NAME"));
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("CONT"));

        auto *classBox = w->findChild<QComboBox *>(QStringLiteral("MatrixClass"));
        QCOMPARE(classBox->currentText(), QStringLiteral("MIX"));
        QCOMPARE(classBox->itemText(2), QStringLiteral("FT8")); // the FT8 box of the run
        for (int mode = 0; mode < 4; ++mode) {
            classBox->setCurrentIndex(mode);
            QCOMPARE(int(w->model()->report().mode), mode);
            QCOMPARE(w->model()->report().ft8, true);
            const int totals = m->rowCount() - 2;
            QCOMPARE(m->index(totals, 0).data().toString(), QStringLiteral("WORKED"));
            for (int band = 0; band < 5; ++band) {
                const int c = columnOf(m, s.header(band));
                QVERIFY(c > 0);
                QCOMPARE(m->index(totals, c).data().toString(), s.cell(band, slot(QslStatus::Worked, ModeClass(mode))));
                QCOMPARE(m->index(totals + 1, c).data().toString(), s.cell(band, slot(QslStatus::Confirmed, ModeClass(mode))));
                // The column's letters add up to its totals.
                int worked = 0, confirmed = 0;
                for (int r = 0; r < totals; ++r) {
                    const QString cell = m->index(r, c).data().toString();
                    worked += !cell.isEmpty();
                    confirmed += cell == QStringLiteral("C");
                }
                QCOMPARE(QString::number(worked), s.cell(band, slot(QslStatus::Worked, ModeClass(mode))));
                QCOMPARE(QString::number(confirmed), s.cell(band, slot(QslStatus::Confirmed, ModeClass(mode))));
            }
        }
        w->close();
    }

    void sortFilterFindAndList()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.action(QStringLiteral("MnuDxc5"))->trigger();
        s.clickStats(0);
        s.action(QStringLiteral("mnumatrix"))->trigger();
        auto *w = s.window.findChild<FrmMatrix *>();
        QVERIFY(w);
        QTableView *view = w->view();
        const QAbstractItemModel *m = view->model();
        const int entities = m->rowCount() - 2;
        QVERIFY(entities > 30);
        const int c14 = columnOf(m, QStringLiteral("14.0"));

        // Sorted by a band, either way, the totals stay below.
        view->horizontalHeader()->setSortIndicator(c14, Qt::DescendingOrder);
        QCOMPARE(m->index(0, c14).data().toString(), QStringLiteral("C"));
        QCOMPARE(m->index(entities - 1, c14).data().toString(), QString());
        QCOMPARE(m->index(entities, 0).data().toString(), QStringLiteral("WORKED"));
        view->horizontalHeader()->setSortIndicator(c14, Qt::AscendingOrder);
        QCOMPARE(m->index(0, c14).data().toString(), QString());
        QCOMPARE(m->index(entities + 1, 0).data().toString(), QStringLiteral("CONFIRMED"));
        view->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
        QVERIFY(QString::compare(m->index(0, 0).data().toString(), m->index(1, 0).data().toString(), Qt::CaseInsensitive) <= 0);

        // Needed only: the rows with a band not confirmed, and the totals.
        int needed = 0;
        for (int r = 0; r < entities; ++r) {
            bool all = true;
            for (int c = 3; c < m->columnCount() - 2; ++c)
                all = all && m->index(r, c).data().toString() == QStringLiteral("C");
            needed += !all;
        }
        QVERIFY(needed < entities);
        w->findChild<QCheckBox *>(QStringLiteral("ChkNeeded"))->setChecked(true);
        QCOMPARE(m->rowCount(), needed + 2);
        w->findChild<QCheckBox *>(QStringLiteral("ChkNeeded"))->setChecked(false);
        QCOMPARE(m->rowCount(), entities + 2);

        // Found by typing its prefix, or part of its name.
        auto *find = w->findChild<QLineEdit *>(QStringLiteral("TxtFind"));
        QTest::keyClicks(find, QStringLiteral("3b"));
        QCOMPARE(view->currentIndex().data().toString(), QStringLiteral("3B8"));
        find->clear();
        QTest::keyClicks(find, QStringLiteral("East Germ"));
        QCOMPARE(view->currentIndex().data().toString().toUpper(), QStringLiteral("DM"));
        QVERIFY(!w->find(QStringLiteral("no such entity")));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("LblFound"))->text(), QStringLiteral("not found"));

        // A double-click on a cell lists the entity's contacts on that band in the class.
        const auto contacts = [&](const QString &entity, const QString &band, ModeClass mode) {
            long n = 0;
            const CountDescription d{"DXC", CountDescription::Bands::Pattern, {band.toStdString()}, mode, QslStatus::Worked, false};
            for (const genlog::LogRow &row : m_rows)
                n += reference::counts(row, d) && reference::folded(*row.DXC) == reference::folded(entity.toStdString());
            return n;
        };
        QVERIFY(w->find(QStringLiteral("DL")));
        const QModelIndex cell = m->index(view->currentIndex().row(), c14);
        QCOMPARE(gridRows([&] { doubleClick(view, cell); }), contacts(QStringLiteral("DL"), QStringLiteral("14.0"), ModeClass::All));
        w->findChild<QComboBox *>(QStringLiteral("MatrixClass"))->setCurrentIndex(int(ModeClass::Cw));
        QVERIFY(w->find(QStringLiteral("DL")));
        const QModelIndex cw = m->index(view->currentIndex().row(), c14);
        QCOMPARE(gridRows([&] { doubleClick(view, cw); }), contacts(QStringLiteral("DL"), QStringLiteral("14.0"), ModeClass::Cw));
        // EXPORT ADIF writes the contacts of the chosen band cell; the entity columns have none.
        const auto exportAdif = [&](const QModelIndex &at, const QString &file) {
            view->setCurrentIndex(at);
            s.prompter.saveFileAnswers.enqueue(file);
            w->findChild<QAction *>(QStringLiteral("MatrixAdif"))->trigger();
        };
        const QString adi = m_folder.path(QStringLiteral("cell.adi"));
        exportAdif(cw, adi);
        QFile written(adi);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QStringList calls;
        static const QRegularExpression call(QStringLiteral("<CALL:(\\d+)>"));
        const QString text = QString::fromUtf8(written.readAll());
        for (auto it = call.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch hit = it.next();
            calls << text.mid(hit.capturedEnd(), hit.captured(1).toInt());
        }
        QStringList expected;
        const CountDescription cwd{"DXC", CountDescription::Bands::Pattern, {"14.0"}, ModeClass::Cw, QslStatus::Worked, false};
        for (const genlog::LogRow &row : m_rows) {
            if (reference::counts(row, cwd) && reference::folded(*row.DXC) == reference::folded("DL"))
                expected << QString::fromStdString(*row.Callsign);
        }
        calls.sort();
        expected.sort();
        QVERIFY(!expected.isEmpty());
        QCOMPARE(calls, expected);
        QCOMPARE(text.count(QStringLiteral("<EOR>")), expected.size());
        const qsizetype asked = s.prompter.messages().size();
        exportAdif(m->index(0, 1), m_folder.path(QStringLiteral("none.adi")));
        QCOMPARE(s.prompter.messages().size(), asked + 1);
        QVERIFY(s.prompter.messages().last().text.startsWith(QStringLiteral("Choose a band cell")));
        QVERIFY(!QFile::exists(m_folder.path(QStringLiteral("none.adi"))));
        s.prompter.saveFileAnswers.clear();

        // The entity columns and the totals list nothing.
        QCOMPARE(gridRows([&] { emit view->doubleClicked(m->index(0, 1)); }), -1);
        QCOMPARE(gridRows([&] { emit view->doubleClicked(m->index(entities, c14)); }), -1);
        w->close();
    }

    void exportedWithItsColours()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.clickStats(5); // SQR: no names, no DXCC figures
        s.action(QStringLiteral("mnumatrix"))->trigger();
        auto *w = s.window.findChild<FrmMatrix *>();
        QVERIFY(w);
        QVERIFY(!w->titleLine().contains(QStringLiteral("DXCC")));
        w->findChild<QCheckBox *>(QStringLiteral("ChkNeeded"))->setChecked(true);
        const QAbstractItemModel *m = w->view()->model();
        const QString target = m_folder.path(QStringLiteral("matrix.xlsx"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        s.prompter.saveFileAnswers.enqueue(target);
        w->findChild<QAction *>(QStringLiteral("MatrixExport"))->trigger();
        const QString proposed = s.prompter.of(FakePrompter::Kind::SaveFile).value(0).folder;
        QVERIFY2(proposed.contains(QStringLiteral("test_SQR_MATRIX_MIX_")), qPrintable(proposed));
        const auto cells = readSheet(target);
        const auto fills = readSheetFills(target);
        QVERIFY(cells.at({1, 1}).startsWith(QStringLiteral("SQR matrix MIX")));
        // Row 2 the titles, then the rows as shown, with their texts and fills.
        for (int c = 0; c < m->columnCount(); ++c)
            QCOMPARE(cells.at({2, c + 1}), m->headerData(c, Qt::Horizontal).toString());
        const std::map<QString, QString> colourOf = {{QStringLiteral("C"), hex(MatrixColours::Confirmed)},
                                                     {QStringLiteral("W"), hex(MatrixColours::Worked)},
                                                     {QString(), hex(MatrixColours::Empty)}};
        for (int r = 0; r < m->rowCount(); ++r) {
            const bool total = r >= m->rowCount() - 2;
            for (int c = 0; c < m->columnCount(); ++c) {
                const QString shown = m->index(r, c).data().toString();
                const auto at = cells.find({r + 3, c + 1});
                QCOMPARE(at == cells.end() ? QString() : at->second, shown);
                const bool band = c >= 1 && c < m->columnCount() - 2;
                if (band && !total)
                    QCOMPARE(fills.at({r + 3, c + 1}), colourOf.at(shown));
                else if (total || c >= m->columnCount() - 2)
                    QCOMPARE(fills.at({r + 3, c + 1}), hex(MatrixColours::Totals));
                else
                    QVERIFY(!fills.count({r + 3, c + 1}));
            }
        }
        QVERIFY(!cells.count({m->rowCount() + 3, 1}));
        w->close();
    }

    void printedOverSeveralPages()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        s.clickStats(5);
        s.action(QStringLiteral("mnumatrix"))->trigger();
        auto *w = s.window.findChild<FrmMatrix *>();
        QVERIFY(w);
        const QAbstractItemModel *m = w->view()->model();
        s.printer.file = m_folder.path(QStringLiteral("matrix.pdf"));
        s.prompter.messageAnswers.enqueue(MsgAnswer::Yes);
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("CmdPrt")), Qt::LeftButton);
        QCOMPARE(s.prompter.messages().size(), 1); // the question, and no complaint
        QFile pdf(s.printer.file);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        const int pages = int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
        QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            w->close();
            QSKIP("the printed pages' text needs poppler (pdftotext), which this system lacks");
        }
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), s.printer.file, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        // Every page has the title and the column titles; every entity is printed.
        QCOMPARE(int(words.count(QStringLiteral("VarkelChecker - MATRIX SQR [test]"))), pages);
        QVERIFY(words.contains(QStringLiteral("page %1 of %1").arg(pages)));
        QVERIFY(words.count(QStringLiteral("CONFIRMED")) >= 2); // the column's title, and the totals line
        for (int r = 0; r < m->rowCount() - 2; ++r)
            QVERIFY2(words.contains(m->index(r, 0).data().toString()), qPrintable(m->index(r, 0).data().toString()));
        QVERIFY(!words.contains(QStringLiteral("EXPORT TO EXCEL")));
        w->close();
    }

    void thirtyThousandEntities()
    {
        // A matrix as large as the squares of a big logbook: the table asks
        // only for the rows it shows, sorting and filtering stay whole.
        MatrixReport::Report r;
        r.kind = QStringLiteral("SQR");
        for (int b = 0; b < 20; ++b)
            r.bands << QStringLiteral("B%1").arg(b);
        r.columnWorked.assign(20, 0);
        r.columnConfirmed.assign(20, 0);
        for (int e = 0; e < 30000; ++e) {
            MatrixReport::Row row;
            row.entity =
                QStringLiteral("%1%2%3").arg(QChar('A' + e % 18)).arg(QChar('A' + e / 18 % 18)).arg(e / 324, 2, 10, QLatin1Char('0'));
            for (int b = 0; b < 20; ++b) {
                const auto c = AwardMatrix::Cell((e * 7 + b * 3) % 5 % 3);
                row.cells.push_back(c);
                row.worked += c != AwardMatrix::Cell::Empty;
                row.confirmed += c == AwardMatrix::Cell::Confirmed;
                r.columnWorked[size_t(b)] += c != AwardMatrix::Cell::Empty;
                r.columnConfirmed[size_t(b)] += c == AwardMatrix::Cell::Confirmed;
            }
            r.rows.push_back(std::move(row));
        }
        FakePrompter prompter;
        PdfPrinterPort printer;
        LoadedLog state;
        QElapsedTimer t;
        t.start();
        FrmMatrix w(MatrixReport::Basis{}, r, QStringLiteral("big"), state, prompter, printer, {}, nullptr);
        w.QDialog::show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const qint64 opened = t.restart();
        QTableView *view = w.view();
        view->horizontalHeader()->setSortIndicator(5, Qt::DescendingOrder);
        QCOMPARE(view->model()->index(0, 5).data().toString(), QStringLiteral("C"));
        QCOMPARE(view->model()->index(30001, 0).data().toString(), QStringLiteral("CONFIRMED"));
        const qint64 sorted = t.restart();
        w.findChild<QCheckBox *>(QStringLiteral("ChkNeeded"))->setChecked(true);
        int needed = 0;
        for (const MatrixReport::Row &row : r.rows)
            needed += row.confirmed < 20;
        QCOMPARE(view->model()->rowCount(), needed + 2);
        const qint64 filtered = t.restart();
        QVERIFY(w.find(QStringLiteral("RR91")));
        QCOMPARE(view->currentIndex().data().toString(), QStringLiteral("RR91"));
        qInfo("30,000 entities: shown in %lld ms, sorted in %lld ms, filtered in %lld ms, found in %lld ms", opened, sorted, filtered,
              t.elapsed());
    }

private:
    QTemporaryDir m_config;
    TempLogbook m_folder;
    std::vector<genlog::LogRow> m_rows;
};

QTEST_MAIN(TestMatrixWindow)
#include "TestMatrixWindow.moc"
