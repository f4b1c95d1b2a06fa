// The windows at every size: the count grids grow and shrink with their
// window, keep every count inside it at its full width, and scroll where the
// window is smaller than the grid at its smallest readable size.
#include "bandwindow/FrmBanda.h"
#include "stats/StatsMatrix.h"
#include "tests/app/MainWindowSession.h"
#include "tests/support/TempLogbook.h"
#include "window/GridScaler.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>

namespace {

using Line = StatsMatrix::Line;

/// Whether `label` lies wholly inside what the scroll area shows, and that
/// inside its window.
bool onView(const QLabel *label, const QScrollArea *area)
{
    const QWidget *viewport = area->viewport();
    const QRect inViewport(label->mapTo(viewport, QPoint(0, 0)), label->size());
    const QRect inWindow(viewport->mapTo(viewport->window(), QPoint(0, 0)), viewport->size());
    return viewport->rect().contains(inViewport) && viewport->window()->rect().contains(inWindow);
}

/// Every label shows its whole caption, in the font it has.
QString clipped(const QList<QLabel *> &labels)
{
    for (const QLabel *l : labels) {
        const int needed = QFontMetrics(l->font()).horizontalAdvance(l->text());
        if (needed > l->contentsRect().width())
            return QStringLiteral("%1 \"%2\": %3 > %4").arg(l->objectName(), l->text()).arg(needed).arg(l->contentsRect().width());
    }
    return {};
}

/// The labels not wholly on view; where the area scrolls, scrolled to first.
QString offView(const QList<QLabel *> &labels, QScrollArea *area, bool scrolls)
{
    for (QLabel *l : labels) {
        if (scrolls)
            area->ensureWidgetVisible(l, 0, 0);
        if (!onView(l, area))
            return l->objectName();
    }
    return {};
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

/// Counts the layout requests `watched` gets.
class LayoutRequests : public QObject {
public:
    explicit LayoutRequests(QObject *watched) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};

/// Whether the window has come to rest once settled: nothing asks for
/// another layout of its content (a window fitting itself for ever keeps a
/// core busy while nobody touches it).
bool atRest(QScrollArea *area)
{
    settle();
    LayoutRequests requests(area->widget());
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(5);
    }
    return requests.count == 0;
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private:
    TempLogbook m_folder;

    static QList<QLabel *> countLabels(Session &s)
    {
        QList<QLabel *> labels;
        for (int i = 0; i < 320; ++i)
            labels << s.find<QLabel>(QStringLiteral("Lblstat_%1").arg(i));
        for (const char *line : {"lblMix", "LblTot", "lblFull"})
            for (int r = 0; r < Session::Slots; ++r)
                labels << s.find<QLabel>(QStringLiteral("%1_%2").arg(QLatin1String(line)).arg(r));
        return labels;
    }

private slots:
    void initTestCase() { m_folder.write(genlog::generate(300, 3), QStringLiteral("testdt.mdb")); }

    void mainGridFitsEveryWindowSize()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        // Seven digits in every count, as in the totals of a log of millions of contacts.
        StatsMatrix &m = s.controller.matrix();
        for (int i = 0; i < 320; ++i)
            m.setCaption(Line::Lblstat, i, QStringLiteral("1234567"));
        for (const Line line : {Line::Mix, Line::Tot, Line::Full})
            for (int r = 0; r < Session::Slots; ++r)
                m.setCaption(line, r, QStringLiteral("7654321"));
        const QList<QLabel *> counts = countLabels(s);
        auto *area = s.window.findChild<QScrollArea *>(QStringLiteral("WindowScroll"));
        QVERIFY(area);
        const GridScaler &scaler = s.window.gridScaler();
        QVERIFY2(atRest(area), "as started");

        double larger = 0; // the cell font at the larger window before
        for (const QSize size : {QSize(1900, 1040), QSize(1280, 720), QSize(1100, 700), QSize(960, 540), QSize(700, 420)}) {
            s.window.resize(size);
            settle();
            QCOMPARE(s.window.size(), size);
            QVERIFY2(atRest(area), qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
            const bool scrolls = scaler.scale() <= scaler.smallest();
            // Where the window is as large as the grid at its smallest, nothing scrolls.
            QCOMPARE(area->verticalScrollBar()->isVisible() || area->horizontalScrollBar()->isVisible(), scrolls);
            const double cellPoints = counts.first()->font().pointSizeF();
            QVERIFY2(cellPoints >= 8.0, qPrintable(QString::number(cellPoints)));
            if (larger > 0)
                QVERIFY(cellPoints <= larger);
            larger = cellPoints;
            // Seven-digit counts keep the cell's font (bold in the MIX, TOT and FULL lines) ...
            for (int i = 0; i < counts.size(); ++i) {
                QCOMPARE(counts[i]->font().pointSizeF(), cellPoints);
                QCOMPARE(counts[i]->font().bold(), i >= 320);
            }
            // ... and no less room than the mode title over them.
            for (int r = 0; r < Session::Slots; ++r)
                QVERIFY(counts[r * 20]->width() >= s.find<QLabel>(QStringLiteral("Label%1").arg(6 + r))->width());
            const QString cut = clipped(counts);
            QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("%1x%2: %3").arg(size.width()).arg(size.height()).arg(cut)));
            const QString outside = offView(counts, area, scrolls);
            QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("%1x%2: %3").arg(size.width()).arg(size.height()).arg(outside)));
        }
        // The largest window shows a larger grid than the desktop's font, the smallest scrolls.
        s.window.resize(1900, 1040);
        settle();
        QVERIFY(scaler.scale() > 1.2);
        s.window.resize(700, 420);
        settle();
        QCOMPARE(scaler.scale(), scaler.smallest());

        // Short counts again: the columns narrow back to five digits.
        s.window.resize(1280, 720);
        settle();
        const int wide = counts.first()->width();
        for (int i = 0; i < 320; ++i)
            m.setCaption(Line::Lblstat, i, QStringLiteral("12"));
        for (const Line line : {Line::Mix, Line::Tot, Line::Full})
            for (int r = 0; r < Session::Slots; ++r)
                m.setCaption(line, r, QStringLiteral("345"));
        settle();
        QVERIFY(counts.first()->width() < wide);
        QVERIFY(clipped(counts).isEmpty());
        QVERIFY(offView(counts, area, false).isEmpty());
    }

    void bandGridFitsEveryWindowSize()
    {
        Session s(m_folder.folder());
        s.start(QStringLiteral("testdt"));
        QTest::mouseClick(s.find(QStringLiteral("CmdBandaSingola_6")), Qt::LeftButton);
        QPointer<FrmBanda> band = s.window.bandWindow();
        QVERIFY(band && band->isVisible());
        QList<QLabel *> cells;
        for (int i = 0; i < BandMatrix::Cells; ++i) {
            band->matrix().setCaption(i, QStringLiteral("1234567"));
            cells << band->findChild<QLabel *>(QStringLiteral("LblstatBanda_%1").arg(i));
        }
        auto *area = band->findChild<QScrollArea *>(QStringLiteral("WindowScroll"));
        QVERIFY(area);
        const GridScaler &scaler = band->gridScaler();
        double larger = 0;
        for (const QSize size : {QSize(1900, 1040), QSize(1280, 720), QSize(960, 540), QSize(600, 300)}) {
            band->resize(size);
            settle();
            QVERIFY2(atRest(area), qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
            const bool scrolls = scaler.scale() <= scaler.smallest();
            const double points = cells.first()->font().pointSizeF();
            QVERIFY(points >= GridScaler::SmallestPoints);
            if (larger > 0)
                QVERIFY(points <= larger);
            larger = points;
            for (const QLabel *cell : std::as_const(cells))
                QCOMPARE(cell->font().pointSizeF(), points);
            const QString cut = clipped(cells);
            QVERIFY2(cut.isEmpty(), qPrintable(QStringLiteral("%1x%2: %3").arg(size.width()).arg(size.height()).arg(cut)));
            const QString outside = offView(cells, area, scrolls);
            QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("%1x%2: %3").arg(size.width()).arg(size.height()).arg(outside)));
        }
        band->resize(1900, 1040);
        settle();
        QVERIFY(scaler.scale() > 1.2);
        band->close();
        QTRY_VERIFY(!band);
    }
};

QTEST_MAIN(TestWindowLayout)
#include "TestWindowLayout.moc"
