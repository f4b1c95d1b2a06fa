#include "FrmTabella.h"

#include "GridRecordset.h"
#include "ListingRun.h"
#include "LogState.h"
#include "Prompter.h"
#include "XlsxExport.h"

#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

FrmTabella *FrmTabella::s_current = nullptr;

FrmTabella::FrmTabella(QWidget *parent, const LogState &state, Prompter &prompter)
    : QDialog(parent), m_state(state), m_prompter(prompter), m_model(new GridRecordset(this)), m_query(new QLabel(QStringLiteral("Query!"), this)),
      m_grid(new QTableView(this))
{
    setObjectName(QStringLiteral("FrmTabella"));
    setWindowTitle(QStringLiteral("Varkel Search query result"));
    setModal(true);
    resize(1000, 620);

    auto *menu = new QMenuBar(this);
    QAction *exportAction = menu->addAction(QStringLiteral("EXPORT TO EXCEL"));
    exportAction->setObjectName(QStringLiteral("Data_export"));
    connect(exportAction, &QAction::triggered, this, &FrmTabella::exportToSpreadsheet);

    m_query->setObjectName(QStringLiteral("LblQuery"));
    m_query->setWordWrap(true);
    m_query->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_query->setStyleSheet(QStringLiteral("QLabel { background: #ffffe0; border: 1px solid #c0c0c0; padding: 4px; font-family: monospace; }"));

    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    m_grid->setModel(m_model);
    m_grid->setSortingEnabled(false); // rows first appear in the order of the query
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setAlternatingRowColors(true);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setResizeContentsPrecision(200);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setSortIndicatorShown(true);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        const Qt::SortOrder order = m_grid->horizontalHeader()->sortIndicatorSection() == column &&
                                            m_grid->horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        m_grid->horizontalHeader()->setSortIndicator(column, order);
        m_model->sort(column, order);
    });

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(m_query);
    layout->addWidget(m_grid, 1);
    s_current = this;
}

FrmTabella::~FrmTabella()
{
    if (s_current == this)
        s_current = nullptr;
}

FrmTabella *FrmTabella::current() { return s_current; }

void FrmTabella::showListing(QWidget *parent, const LogState &state, LogbookEngine &engine, Prompter &prompter, bool entityCaptions)
{
    ListingRun::Outcome outcome = ListingRun::run(state, engine);
    if (!outcome.ok) {
        prompter.message(outcome.failure.text, outcome.failure.flags, outcome.failure.title, outcome.failure.detail);
        return;
    }
    FrmTabella window(parent, state, prompter);
    window.m_query->setText(state.ListingQuery);
    const qsizetype records = outcome.table.rowCount();
    window.m_model->setTable(std::move(outcome.table), entityCaptions);
    window.m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    window.m_grid->resizeColumnsToContents();
    for (int c = 0; c < window.m_model->columnCount(); ++c) {
        if (const int w = window.m_model->columnWidth(c))
            window.m_grid->setColumnWidth(c, w);
        else if (window.m_grid->columnWidth(c) > 320)
            window.m_grid->setColumnWidth(c, 320);
    }
    window.setWindowTitle(ListingRun::caption(records));
    window.exec();
}

void FrmTabella::exportToSpreadsheet()
{
    const QString title = QStringLiteral("VARKELchecker - Export");
    if (m_prompter.message(QStringLiteral("Export to Excel?"), 68, title) != MsgAnswer::Yes)
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString proposed = ListingRun::proposedExportPath(folder, m_state.LogName, m_state.AwardKind, QDate::currentDate());
    const QString path = m_prompter.saveFile(title, QStringLiteral("Excel workbook (*.xlsx)"), proposed);
    if (path.isEmpty())
        return;
    QStringList fields;
    for (int c = 0; c < m_model->columnCount(); ++c)
        fields << m_model->fieldName(c);
    const Status written =
        writeListingXlsx(path, fields, m_model->rowCount(), [this](qsizetype row, int column) { return m_model->text(int(row), column); });
    if (!written) {
        m_prompter.message(written.error(), 48, title);
        return;
    }
    if (!m_prompter.openDocument(path))
        m_prompter.message(ListingRun::notAvailableMessage(path), 0, QString());
}
