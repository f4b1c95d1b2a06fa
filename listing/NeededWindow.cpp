#include "listing/NeededWindow.h"

#include "listing/GridRecordset.h"
#include "listing/GridView.h"
#include "listing/ListingExport.h"
#include "listing/ListingRun.h"
#include "listing/NeededSheets.h"
#include "print/ScreenPrint.h"
#include "print/TablePrint.h"
#include "stats/GridTexts.h"
#include "window/OwnedWindow.h"
#include "window/ScreenFit.h"
#include "window/WindowMenu.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

/// The rows of a table whose CLASS column (1) reads `title`.
QueryTable rowsOfClass(const QueryTable &table, const QString &title)
{
    QueryTable out;
    out.fields = table.fields;
    for (qsizetype r = 0; r < table.rowCount(); ++r) {
        if (table.at(r, 1) != title)
            continue;
        for (qsizetype c = 0; c < table.columnCount(); ++c)
            out.cells.push_back(table.at(r, c));
    }
    return out;
}

QTableView *makeView(const QString &name, GridRecordset *model)
{
    auto *view = new QTableView;
    view->setObjectName(name);
    setUpGridView(view, model);
    // Columns as wide as their contents (fitGridColumns), the last one taking
    // the room left; longer texts end in "..." and show whole in their tool tip.
    view->horizontalHeader()->setStretchLastSection(true);
    view->setTextElideMode(Qt::ElideRight);
    return view;
}

} // namespace

NeededWindow::NeededWindow(Needed::Report report, const QString &logName, const LoadedLog &loaded, Prompter &prompter, PrinterPort &printer,
                           QWidget *parent)
    : QDialog(parent), m_lists(std::move(report)), m_logName(logName), m_log(loaded), m_prompter(prompter), m_printer(printer),
      m_qsl(new GridRecordset(this)), m_slots(new GridRecordset(this)), m_titolo(new QLabel), m_class(new QComboBox), m_tabs(new QTabWidget)
{
    // The design's name: the tests find the window and the settings remember its place by it.
    setObjectName(QStringLiteral("FrmNeeded"));
    OwnedWindow::attach(this, parent);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("VarkelChecker - NEEDED %1 [%2]").arg(GridTexts::kindCaption(m_lists.kind), logName));
    ScreenFit::resizeWithin(this, QSize(1100, 640));

    QMenuBar *menu = WindowMenu::exports(
        this, {QStringLiteral("NeededExport"), QStringLiteral("Both lists, a sheet each"), [this] { exportLists(); }},
        {QStringLiteral("NeededExportAdif"), QStringLiteral("Every contact that could confirm a needed entity, as an ADIF file (.adi)"),
         [this] { exportQslChaseAdif(); }});

    QTableView *qslView = makeView(QStringLiteral("QslChase"), m_qsl);
    QTableView *slotView = makeView(QStringLiteral("BandSlotChase"), m_slots);
    m_tabs->setObjectName(QStringLiteral("NeededTabs"));
    m_tabs->addTab(qslView, QString());
    auto *slotPage = new QWidget;
    auto *slotLayout = new QVBoxLayout(slotPage);
    auto *classRow = new QHBoxLayout;
    classRow->addWidget(new QLabel(QStringLiteral("Mode class:")));
    m_class->setObjectName(QStringLiteral("SlotClass"));
    m_class->addItems(GridTexts::modeTitles(GridTexts::dataCaption(m_lists.ft8)));
    classRow->addWidget(m_class);
    classRow->addStretch(1);
    slotLayout->addLayout(classRow);
    slotLayout->addWidget(slotView, 1);
    m_tabs->addTab(slotPage, QStringLiteral("Band-slot chase"));
    connect(m_class, &QComboBox::currentIndexChanged, this, [this](int index) { showSlotClass(ModeClass(index)); });

    QHBoxLayout *top =
        WindowMenu::titleWithPrint(m_titolo, QStringLiteral("Print both lists on landscape pages"), [this] { printLists(); });

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(top);
    layout->addWidget(m_tabs, 1);

    m_class->setCurrentIndex(int(ModeClass::All));
    const std::shared_ptr<const LogSnapshot> log = m_lists.log;
    take(std::move(m_lists), log.get());
    fitGridColumns(qslView);
}

void NeededWindow::take(Needed::Report report, const LogSnapshot *log)
{
    m_chaseContacts = log ? Adif::contactsOfRows(log->columnar(), Needed::qslContacts(report.chase)) : std::vector<AdifContact>();
    m_lists = std::move(report);
    m_slotCounts.clear();
    for (int m = 0; m < 4; ++m)
        m_slotCounts << Needed::slotCounts(m_lists.chase, m_lists.headers, ModeClass(m));
    // The chase lists view the texts of their log, which may go when the logbook is read anew.
    m_lists.chase = {};
    m_lists.log.reset();
    m_qsl->setTable(m_lists.tables.qsl, false);
    m_tabs->setTabText(0, QStringLiteral("QSL chase (%1)").arg(m_qsl->rowCount()));
    showSlotClass(ModeClass(m_class->currentIndex()));
}

bool NeededWindow::refresh(const LogSnapshot &log)
{
    Result<Needed::Report> report = Needed::report(log, m_lists.kind, m_lists.headers, m_lists.ft8);
    if (!report)
        return false;
    take(std::move(*report), &log);
    return true;
}

void NeededWindow::showSlotClass(ModeClass mode)
{
    const QString title = GridTexts::modeTitles(GridTexts::dataCaption(m_lists.ft8))[int(mode)];
    m_slots->setTable(rowsOfClass(m_lists.tables.bandSlots, title), false);
    if (auto *view = findChild<QTableView *>(QStringLiteral("BandSlotChase")))
        fitGridColumns(view);
    m_tabs->setTabText(1, QStringLiteral("Band-slot chase %1 (%2)").arg(title).arg(m_slots->rowCount()));
    m_titolo->setText(QStringLiteral("What do I still need? %1 - band slots in %2: %3")
                          .arg(GridTexts::kindCaption(m_lists.kind), title, m_slotCounts.value(int(mode))));
}

void NeededWindow::exportLists()
{
    const QString kind = QStringLiteral("%1_NEEDED").arg(QString::fromLatin1(AwardKinds::name(m_lists.kind)));
    exportWorkbook(m_prompter,
                   ListingRun::proposedExportPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), m_log.LogName, kind,
                                                  QDate::currentDate()),
                   [this](const QString &path) {
                       return writeSheetsXlsx(path, NeededSheets::sheets(NeededSheets::lists(m_lists.tables, m_lists.kind, m_logName)));
                   });
}

void NeededWindow::exportQslChaseAdif()
{
    const QString kind = QStringLiteral("%1_QSL").arg(QString::fromLatin1(AwardKinds::name(m_lists.kind)));
    exportAdif(m_prompter,
               ListingRun::proposedExportPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), m_log.LogName, kind,
                                              QDate::currentDate(), QStringLiteral(".adi")),
               m_chaseContacts);
}

void NeededWindow::printLists()
{
    const std::vector<NeededSheets::List> lists = NeededSheets::lists(m_lists.tables, m_lists.kind, m_logName);
    std::vector<std::unique_ptr<GridRecordset>> models;
    std::vector<TablePrint::Table> tables;
    for (const NeededSheets::List &list : lists) {
        models.push_back(std::make_unique<GridRecordset>());
        models.back()->setTable(*list.table, false);
        // Pages that carry on the columns repeat the band, class and entity.
        tables.push_back({list.title, models.back().get(), Needed::EntityColumn + 1});
    }
    ScreenPrint::confirmAndPrint(m_prompter, m_printer, [&](QPrinter &printer) { return TablePrint::print(printer, tables); });
}
