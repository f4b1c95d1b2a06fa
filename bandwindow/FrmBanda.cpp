#include "bandwindow/FrmBanda.h"

#include "window/EventYield.h"

#include "bandwindow/BandStats.h"
#include "logbook/LoadedLog.h"
#include "logbook/count/CountSlot.h"
#include "logbook/types/QuietPrompter.h"
#include "print/ScreenPrint.h"
#include "stats/GridTexts.h"
#include "window/GridScaler.h"
#include "window/OwnedWindow.h"
#include "window/ScreenFit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The grid's fonts are set by its scale (FrmBanda::applyScale), not by these styles.
const QString TitleStyle = QStringLiteral("background:#d8e4f0; border:1px solid #a0a0a0; padding:2px;");
const QString CellStyle = QStringLiteral("color:#c00000; background:palette(base); border:1px solid #c8c8c8; padding:1px 3px;");
/// Border and padding of a cell, left and right.
constexpr int CellFrame = 8;
const QString RowTitleStyle = QStringLiteral("background:rgb(192,255,192); border:1px solid #a0a0a0; padding:2px 6px;");
const QString CountQsoStyle = QStringLiteral("padding:3px;");
const QColor Grey(224, 224, 224);

} // namespace

FrmBanda::FrmBanda(const LoadedLog &log, LogbookEngine &engine, Prompter &prompter, PrinterPort &printer, std::function<bool()> ft8,
                   QWidget *mainWindow)
    : QWidget(nullptr, Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint), m_log(log), m_engine(engine), m_prompter(prompter),
      m_printer(printer), m_ft8(std::move(ft8))
{
    setObjectName(QStringLiteral("FrmBanda"));
    OwnedWindow::attach(this, mainWindow);
    // The main window takes no input while this window is open.
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    setBackground(Grey);

    makeControls();
    QWidget *gridFrame = makeGrid();
    followMatrix();
    layOut(gridFrame);
}

void FrmBanda::makeControls()
{
    m_titolo = makeLabel(QStringLiteral("LblTitolo"), QString(), QStringLiteral("font-size:16pt; font-weight:bold; padding:4px;"));
    m_band = makeLabel(QStringLiteral("Label22"), QStringLiteral("BAND"),
                       QStringLiteral("background:rgb(255,192,192); color:rgb(0,0,192); border:1px solid #a0a0a0; font-size:14pt; "
                                      "font-weight:bold; padding:4px 12px;"));
    m_info =
        makeLabel(QStringLiteral("LblInfo"), QString(), QStringLiteral("border:1px solid #a0a0a0; background:palette(base); padding:3px;"));
    m_countQso = makeLabel(QStringLiteral("lblCountQso"), m_matrix.countQso(), CountQsoStyle);
    m_start = new QPushButton(QStringLiteral("START"), this);
    m_start->setObjectName(QStringLiteral("CmdStart"));
    m_print = new QPushButton(QStringLiteral("PRT"), this);
    m_print->setObjectName(QStringLiteral("CmdPrt"));
    m_print->setToolTip(QStringLiteral("Print Screen - orizontal size!"));
    connect(m_start, &QPushButton::clicked, this, &FrmBanda::start);
    connect(m_print, &QPushButton::clicked, this, &FrmBanda::printScreen);
}

QWidget *FrmBanda::makeGrid()
{
    auto *gridFrame = new QWidget;
    gridFrame->setObjectName(QStringLiteral("BandGrid"));
    auto *grid = new QGridLayout(gridFrame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    m_countQso->setAlignment(Qt::AlignCenter);
    m_titles << m_countQso;
    grid->addWidget(m_countQso, 0, 0, 2, 1);
    addColumnTitles(grid);
    addRows(grid);
    return gridFrame;
}

void FrmBanda::addColumnTitles(QGridLayout *grid)
{
    for (int s = 0; s < 4; ++s) {
        QLabel *block = makeLabel(QStringLiteral("LabelBlock%1").arg(s), GridTexts::blockTitles()[s], TitleStyle);
        block->setAlignment(Qt::AlignCenter);
        m_titles << block;
        grid->addWidget(block, 0, 1 + CountSlotIndex::slot(QslStatus(s), ModeClass::Cw), 1, 4);
        for (int m = 0; m < 4; ++m) {
            const int r = CountSlotIndex::slot(QslStatus(s), ModeClass(m));
            QLabel *mode = makeLabel(QStringLiteral("LabelMode%1").arg(r), GridTexts::modeTitles()[m], TitleStyle);
            mode->setAlignment(Qt::AlignCenter);
            m_titles << mode;
            grid->addWidget(mode, 1, 1 + r);
            if (m == 2)
                m_dataTitles << mode;
        }
    }
}

void FrmBanda::addRows(QGridLayout *grid)
{
    m_cells.resize(BandMatrix::Labels);
    for (int row = 0; row < BandMatrix::Rows; ++row) {
        QLabel *title = makeLabel(QStringLiteral("LblstatBanda_%1").arg(BandMatrix::Cells + row), m_matrix.caption(BandMatrix::Cells + row),
                                  RowTitleStyle);
        m_cells[BandMatrix::Cells + row] = title;
        m_titles << title;
        grid->addWidget(title, 2 + row, 0);
        for (int r = 0; r < CountSlotIndex::Slots; ++r) {
            const int index = BandMatrix::cell(r, row);
            QLabel *cell = makeLabel(QStringLiteral("LblstatBanda_%1").arg(index), m_matrix.caption(index), CellStyle);
            cell->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_cells[index] = cell;
            grid->addWidget(cell, 2 + row, 1 + r);
        }
    }
}

void FrmBanda::followMatrix()
{
    connect(&m_matrix, &BandMatrix::captionChanged, this, [this](int index) {
        const qsizetype before = m_cells[index]->text().size();
        m_cells[index]->setText(m_matrix.caption(index));
        // A count longer than any before widens the cells.
        if (index < BandMatrix::Cells && m_cells[index]->text().size() > before) {
            m_scaler->invalidate();
            m_scaler->growWindow();
        }
        m_cells[index]->repaint();
    });
    connect(&m_matrix, &BandMatrix::countQsoChanged, m_countQso, &QLabel::setText);
}

void FrmBanda::layOut(QWidget *gridFrame)
{
    auto *top = new QHBoxLayout;
    top->addWidget(m_band);
    top->addWidget(m_titolo, 1);
    top->addWidget(m_info);

    auto *legend = new QHBoxLayout;
    legend->addWidget(makeLabel(QStringLiteral("Label31"), GridTexts::legendTitle(), QStringLiteral("font-weight:bold;")));
    for (const GridTexts::LegendEntry &entry : GridTexts::legend())
        legend->addWidget(makeLabel(QString(), entry.mode + QLatin1Char(' ') + entry.meaning, QStringLiteral("padding:0 8px;")));
    legend->addStretch(1);
    legend->addWidget(m_start);
    legend->addWidget(m_print);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("WindowContent"));
    auto *layout = new QVBoxLayout(m_content);
    layout->addLayout(top);
    layout->addWidget(gridFrame);
    layout->addLayout(legend);
    layout->addStretch(1);
    m_baseFont = font();
    // The grid takes the room the window gives it; below its smallest size the window scrolls.
    m_scaler = new GridScaler(
        m_content, gridFrame, [this](double scale) { applyScale(scale); }, m_baseFont.pointSizeF(), this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scaler->area());
    ScreenFit::resizeWithin(this, m_scaler->naturalSize());
}

void FrmBanda::applyScale(double scale)
{
    const QFont plain = GridScaler::scaled(m_baseFont, scale);
    QFont bold = plain;
    bold.setBold(true);
    for (QLabel *title : std::as_const(m_titles))
        title->setFont(bold);
    const QFontMetrics cells(plain);
    // Six digits, or the widest count shown: seven-digit counts keep their font.
    int widest = cells.horizontalAdvance(QStringLiteral("888888"));
    for (int i = 0; i < BandMatrix::Cells; ++i)
        widest = std::max(widest, cells.horizontalAdvance(m_cells[i]->text()));
    for (int i = 0; i < BandMatrix::Cells; ++i) {
        m_cells[i]->setFont(plain);
        m_cells[i]->setMinimumWidth(widest + CellFrame);
    }
    m_countQso->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(GridTexts::qsoCaption(QStringLiteral("1000000"))) + CellFrame);
}

FrmBanda::~FrmBanda() = default;

QLabel *FrmBanda::makeLabel(const QString &name, const QString &text, const QString &style)
{
    auto *label = new QLabel(text, this);
    if (!name.isEmpty())
        label->setObjectName(name);
    label->setStyleSheet(style);
    return label;
}

void FrmBanda::setBackground(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
}

void FrmBanda::showBand(const Texts &texts)
{
    setWindowTitle(texts.caption);
    m_titolo->setText(texts.titolo);
    m_info->setText(texts.info);
    m_chosenBand = texts.band;
    m_band->setText(texts.band);
    show();
    raise();
    activateWindow();
}

void FrmBanda::setDataCaption(const QString &caption)
{
    for (QLabel *l : std::as_const(m_dataTitles))
        l->setText(caption);
}

void FrmBanda::start()
{
    if (m_running)
        return;
    m_running = true;
    m_start->setEnabled(false);
    m_print->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const RunHooks hooks{.yield = eventYield(), .ft8 = m_ft8, .stopping = [this] { return m_closing; }};
    BandContext ctx{m_log, m_chosenBand, m_matrix, m_engine, m_prompter, hooks};
    m_countedBand = m_chosenBand;
    m_countedFt8 = m_ft8();
    startBandRun(ctx);
    m_counted = true;
    // The cells as wide as the counts now shown, narrower ones included.
    m_scaler->invalidate();
    m_scaler->refit();
    QApplication::restoreOverrideCursor();
    m_running = false;
    if (m_closing) {
        close();
        return;
    }
    m_start->setEnabled(true);
    m_print->setEnabled(true);
}

bool FrmBanda::recount()
{
    if (!m_counted || m_running)
        return false;
    BandMatrix fresh;
    QuietPrompter quiet;
    BandContext ctx{m_log, m_countedBand, fresh, m_engine, quiet, RunHooks::fixedFt8(m_countedFt8)};
    startBandRun(ctx);
    if (!quiet.reason.isEmpty())
        return false;
    for (int i = 0; i < BandMatrix::Cells; ++i)
        m_matrix.setCaption(i, fresh.caption(i));
    m_matrix.setCountQso(fresh.countQso());
    return true;
}

void FrmBanda::printScreen()
{
    ScreenPrint::run(
        m_prompter, m_printer, m_content,
        [this] {
            setBackground(Qt::white);
            m_print->hide();
            m_start->hide();
        },
        [this] {
            setBackground(Grey);
            m_print->show();
            m_start->show();
        });
}

void FrmBanda::closeEvent(QCloseEvent *event)
{
    if (m_running) {
        // The run ends at its next pause; the window closes then.
        m_closing = true;
        event->ignore();
        return;
    }
    event->accept();
}
