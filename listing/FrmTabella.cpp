#include "listing/FrmTabella.h"

#include "listing/GridRecordset.h"
#include "listing/GridView.h"
#include "listing/ListingExport.h"
#include "listing/ListingJob.h"
#include "listing/ListingRun.h"
#include "logbook/LoadedLog.h"
#include "logbook/types/Prompter.h"
#include "stats/EntityData.h"
#include "window/OwnedWindow.h"
#include "window/ScreenFit.h"
#include "window/WindowMenu.h"

#include <QDate>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

/// A listing that takes longer than this shows its progress and a Cancel button.
constexpr int QuietWaitMs = 150;

/// Waits for the job. After a short quiet wait a progress dialog with Cancel
/// shows while the window keeps repainting; Cancel stops the read.
void waitFor(ListingJob &job, QWidget *parent)
{
    if (job.wait(QuietWaitMs))
        return;
    QProgressDialog progress(QStringLiteral("Reading the listing..."), QStringLiteral("Cancel"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("ListingProgress"));
    OwnedWindow::attach(&progress, parent);
    progress.setWindowTitle(QStringLiteral("VARKEL GRID"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    QEventLoop loop;
    QObject::connect(&job, &ListingJob::finished, &loop, &QEventLoop::quit);
    // Cancel, the window's close button and Esc all stop the read.
    QObject::connect(&progress, &QProgressDialog::canceled, &job, &ListingJob::cancel);
    QObject::connect(&progress, &QDialog::rejected, &job, &ListingJob::cancel);
    QTimer rowsRead;
    QObject::connect(&rowsRead, &QTimer::timeout, &progress,
                     [&] { progress.setLabelText(QStringLiteral("Reading the listing: %1 rows so far...").arg(job.rows())); });
    rowsRead.start(250);
    progress.show();
    // finished() comes after isFinished() turns true, so it cannot be missed here.
    if (!job.isFinished())
        loop.exec();
}

} // namespace

FrmTabella::FrmTabella(QWidget *parent, const LoadedLog &log, Prompter &prompter)
    : QDialog(parent), m_log(log), m_prompter(prompter), m_model(new GridRecordset(this)),
      m_query(new QLabel(QStringLiteral("Query!"), this)), m_grid(new QTableView(this))
{
    setObjectName(QStringLiteral("FrmTabella"));
    OwnedWindow::attach(this, parent);
    setWindowTitle(QStringLiteral("Varkel Search query result"));
    setModal(true);
    ScreenFit::resizeWithin(this, QSize(1000, 620));

    QMenuBar *menu =
        WindowMenu::exports(this, {QStringLiteral("Data_export"), QString(), [this] { exportToSpreadsheet(); }},
                            {QStringLiteral("Data_export_adif"), QStringLiteral("The contacts of the listing as an ADIF file (.adi)"),
                             [this] { exportToAdif(); }});

    m_query->setObjectName(QStringLiteral("LblQuery"));
    m_query->setWordWrap(true);
    m_query->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_query->setStyleSheet(
        QStringLiteral("QLabel { background: #ffffe0; border: 1px solid #c0c0c0; padding: 4px; font-family: monospace; }"));

    m_grid->setObjectName(QStringLiteral("DataGrid1"));
    setUpGridView(m_grid, m_model);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addWidget(m_query);
    layout->addWidget(m_grid, 1);
}

FrmTabella::~FrmTabella() = default;

void FrmTabella::showListing(QWidget *parent, const LoadedLog &log, LogbookEngine &engine, Prompter &prompter,
                             const ListingRequest &request)
{
    ListingRun::Failure failure;
    std::shared_ptr<const LogDatabase> db = ListingRun::open(log, engine, request.query, failure);
    if (!db) {
        prompter.message(failure.text, failure.flags, failure.title, failure.detail);
        return;
    }
    ListingJob job(std::move(db), request.query, ListingRun::limits());
    job.start();
    waitFor(job, parent);
    ListingRun::Outcome outcome = ListingRun::conclude(request.query, job.take());
    if (outcome.cancelled)
        return;
    if (!outcome.ok) {
        prompter.message(outcome.failure.text, outcome.failure.flags, outcome.failure.title, outcome.failure.detail);
        return;
    }
    if (!outcome.notice.text.isEmpty())
        prompter.message(outcome.notice.text, outcome.notice.flags, outcome.notice.title);
    FrmTabella window(parent, log, prompter);
    window.m_kind = request.kind;
    window.m_query->setText(request.query);
    const qsizetype records = outcome.table.rowCount();
    // The entities of a DXC listing are named beside their texts.
    const bool names = request.entityCaptions && request.kind == AwardKind::Dxc;
    if (names)
        EntityData::insertNames(outcome.table, 0);
    window.m_model->setTable(std::move(outcome.table), request.entityCaptions, names);
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
    exportListing(m_prompter, m_log, m_kind, *m_model, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                  QDate::currentDate());
}

void FrmTabella::markLogbookChanged()
{
    if (m_logbookChanged)
        return;
    m_logbookChanged = true;
    setWindowTitle(windowTitle() + QStringLiteral(" - the logbook has changed since this list was made"));
}

void FrmTabella::exportToAdif()
{
    exportListingAdif(m_prompter, m_log, m_kind, *m_model, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                      QDate::currentDate());
}
