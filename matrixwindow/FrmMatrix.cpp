#include "matrixwindow/FrmMatrix.h"

#include "listing/ListingExport.h"
#include "listing/ListingRun.h"
#include "logbook/LoadedLog.h"
#include "matrixwindow/MatrixColours.h"
#include "matrixwindow/MatrixExport.h"
#include "matrixwindow/MatrixModel.h"
#include "print/ScreenPrint.h"
#include "print/TablePrint.h"
#include "stats/GridTexts.h"
#include "window/OwnedWindow.h"
#include "window/WindowMenu.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QString classTitle(ModeClass mode, bool ft8) { return GridTexts::modeTitles(GridTexts::dataCaption(ft8))[int(mode)]; }

/// The legend: each state's letter on its colour, and what it stands for.
QString legend()
{
    QStringList swatches;
    for (const AwardMatrix::Cell cell : {AwardMatrix::Cell::Confirmed, AwardMatrix::Cell::Worked, AwardMatrix::Cell::Empty}) {
        const QString letter = MatrixReport::cellText(cell);
        swatches << QStringLiteral("<span style=\"background-color:#%1\">&nbsp;%2&nbsp;</span>&nbsp;%3")
                        .arg(MatrixColours::of(cell), 6, 16, QLatin1Char('0'))
                        .arg(letter.isEmpty() ? QStringLiteral("&nbsp;") : letter, MatrixReport::cellState(cell));
    }
    return swatches.join(QStringLiteral("&nbsp;&nbsp; "));
}

} // namespace

FrmMatrix::FrmMatrix(MatrixReport::Basis basis, MatrixReport::Report report, const QString &logName, const LoadedLog &log,
                     Prompter &prompter, PrinterPort &printer, ListContacts listContacts, QWidget *parent)
    : QDialog(parent), m_basis(std::move(basis)), m_logName(logName), m_log(log), m_prompter(prompter), m_printer(printer),
      m_listContacts(std::move(listContacts)), m_model(new MatrixModel(this)), m_filter(new MatrixFilter(this)), m_titolo(new QLabel),
      m_class(new QComboBox), m_neededOnly(new QCheckBox(QStringLiteral("needed only"))), m_find(new QLineEdit), m_found(new QLabel),
      m_view(new QTableView)
{
    setObjectName(QStringLiteral("FrmMatrix"));
    OwnedWindow::attach(this, parent);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("VarkelChecker - MATRIX %1 [%2]").arg(QString::fromLatin1(AwardKinds::name(m_basis.kind)), logName));
    resize(1180, 720);

    QMenuBar *menu =
        WindowMenu::exports(this, {QStringLiteral("MatrixExport"), QString(), [this] { exportShown(); }},
                            {QStringLiteral("MatrixAdif"), QStringLiteral("The contacts behind the chosen band cell, as an ADIF file"),
                             [this] { exportCellAdif(); }});
    QHBoxLayout *top =
        WindowMenu::titleWithPrint(m_titolo, QStringLiteral("Print the matrix on landscape pages"), [this] { printShown(); });

    m_class->setObjectName(QStringLiteral("MatrixClass"));
    m_class->addItems(GridTexts::modeTitles(GridTexts::dataCaption(m_basis.ft8)));
    m_class->setCurrentIndex(int(ModeClass::All));
    connect(m_class, &QComboBox::currentIndexChanged, this, [this](int index) { showClass(ModeClass(index)); });
    m_neededOnly->setObjectName(QStringLiteral("ChkNeeded"));
    m_neededOnly->setToolTip(QStringLiteral("Only the entities with a band still to work or to confirm"));
    connect(m_neededOnly, &QCheckBox::toggled, m_filter, &MatrixFilter::setNeededOnly);
    m_find->setObjectName(QStringLiteral("TxtFind"));
    m_find->setPlaceholderText(QStringLiteral("prefix or name"));
    m_find->setClearButtonEnabled(true);
    m_find->setMaximumWidth(220);
    connect(m_find, &QLineEdit::textEdited, this, [this](const QString &text) { find(text); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] {
        const QModelIndex at = m_view->currentIndex();
        find(m_find->text(), at.isValid() ? at.row() + 1 : 0);
    });
    m_found->setObjectName(QStringLiteral("LblFound"));
    auto *legendLabel = new QLabel(legend());
    legendLabel->setObjectName(QStringLiteral("LblLegend"));
    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("Mode class:")));
    controls->addWidget(m_class);
    controls->addSpacing(12);
    controls->addWidget(m_neededOnly);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("Find:")));
    controls->addWidget(m_find);
    controls->addWidget(m_found);
    controls->addStretch(1);
    controls->addWidget(legendLabel);

    m_filter->setSourceModel(m_model);
    m_view->setObjectName(QStringLiteral("MatrixView"));
    m_view->setModel(m_filter);
    m_view->setSortingEnabled(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // A fixed row height, and widths from a sample of rows: large matrices stay quick.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setResizeContentsPrecision(200);
    m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    connect(m_view, &QTableView::doubleClicked, this, &FrmMatrix::cellDoubleClicked);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menu);
    layout->addLayout(top);
    layout->addLayout(controls);
    layout->addWidget(m_view, 1);

    setMatrix(std::move(report));
}

void FrmMatrix::setMatrix(MatrixReport::Report report)
{
    m_model->setReport(std::move(report));
    const int lead = m_model->leadColumns();
    QHeaderView *header = m_view->horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (m_model->bandOf(c) >= 0)
            m_view->setColumnWidth(
                c, std::max(44, m_view->fontMetrics().horizontalAdvance(m_model->headerData(c, Qt::Horizontal).toString()) + 16));
        else
            m_view->resizeColumnToContents(c);
    }
    if (lead > 1)
        m_view->setColumnWidth(1, std::min(m_view->columnWidth(1), 260));
    header->setStretchLastSection(false);
    m_titolo->setText(titleLine());
    if (!m_find->text().isEmpty())
        find(m_find->text());
}

QString FrmMatrix::titleLine() const
{
    const MatrixReport::Report &r = m_model->report();
    QString text =
        QStringLiteral("%1 matrix %2 - %3 entities - %4").arg(r.kind, classTitle(r.mode, r.ft8)).arg(r.rows.size()).arg(m_logName);
    if (r.dxcc)
        text += QStringLiteral("\n") + MatrixReport::dxccFigures(*r.dxcc);
    return text;
}

void FrmMatrix::showClass(ModeClass mode)
{
    if (m_class->currentIndex() != int(mode)) {
        m_class->setCurrentIndex(int(mode)); // comes back here through the box
        return;
    }
    Result<MatrixReport::Report> report = MatrixReport::report(m_basis, mode);
    if (!report) {
        m_prompter.message(QStringLiteral("The matrix could not be computed."), MsgFlags::Exclamation,
                           QStringLiteral("VarkelChecker - MATRIX"), report.error());
        return;
    }
    setMatrix(std::move(*report));
}

bool FrmMatrix::refresh(std::shared_ptr<const LogSnapshot> log)
{
    MatrixReport::Basis basis = m_basis;
    basis.log = std::move(log);
    Result<MatrixReport::Report> report = MatrixReport::report(basis, m_model->report().mode);
    if (!report)
        return false;
    m_basis = std::move(basis);
    setMatrix(std::move(*report));
    return true;
}

bool FrmMatrix::find(const QString &text, int from)
{
    const QString wanted = text.trimmed();
    m_found->clear();
    if (wanted.isEmpty())
        return false;
    const int rows = m_filter->rowCount();
    const bool named = m_model->leadColumns() > 1;
    for (int n = 0; n < rows; ++n) {
        const int row = (from + n) % rows;
        const QModelIndex at = m_filter->index(row, 0);
        if (at.data(MatrixModel::TotalRole).toBool())
            continue;
        const bool hit = at.data().toString().startsWith(wanted, Qt::CaseInsensitive) ||
                         (named && m_filter->index(row, 1).data().toString().contains(wanted, Qt::CaseInsensitive));
        if (hit) {
            m_view->setCurrentIndex(at);
            m_view->scrollTo(at, QAbstractItemView::PositionAtCenter);
            return true;
        }
    }
    m_found->setText(QStringLiteral("not found"));
    return false;
}

bool FrmMatrix::bandCell(const QModelIndex &index, QString &entity, QString &band) const
{
    if (!index.isValid())
        return false;
    const QModelIndex source = m_filter->mapToSource(index);
    const int column = m_model->bandOf(source.column());
    entity = m_model->entityOf(source.row());
    if (column < 0 || entity.isEmpty())
        return false;
    band = m_model->report().bands[column];
    return true;
}

void FrmMatrix::cellDoubleClicked(const QModelIndex &index)
{
    QString entity, band;
    if (m_listContacts && bandCell(index, entity, band))
        m_listContacts(entity, band, m_model->report().mode);
}

void FrmMatrix::exportCellAdif()
{
    QString entity, band;
    if (!bandCell(m_view->currentIndex(), entity, band)) {
        m_prompter.message(QStringLiteral("Choose a band cell of an entity first: EXPORT ADIF writes the contacts behind it."),
                           MsgFlags::Information, QStringLiteral("VarkelChecker - MATRIX"));
        return;
    }
    if (m_exportContacts)
        m_exportContacts(entity, band, m_model->report().mode);
}

void FrmMatrix::exportShown()
{
    const MatrixReport::Report &r = m_model->report();
    const QString what = QStringLiteral("%1_MATRIX_%2").arg(r.kind, classTitle(r.mode, r.ft8));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    exportWorkbook(m_prompter, ListingRun::proposedExportPath(folder, m_log.LogName, what, QDate::currentDate()), [&](const QString &path) {
        return writeSheetsXlsx(path, {{QStringLiteral("%1 %2").arg(r.kind, classTitle(r.mode, r.ft8)),
                                       shownSheet(QString(titleLine()).replace(QLatin1Char('\n'), QStringLiteral(" - ")), *m_filter), 2,
                                       m_model->leadColumns()}});
    });
}

void FrmMatrix::printShown()
{
    const QString title = windowTitle() + QStringLiteral(" - ") + QString(titleLine()).replace(QLatin1Char('\n'), QStringLiteral(" - "));
    ScreenPrint::confirmAndPrint(m_prompter, m_printer,
                                 [&](QPrinter &printer) { return TablePrint::print(printer, title, *m_filter, m_model->leadColumns()); });
}
