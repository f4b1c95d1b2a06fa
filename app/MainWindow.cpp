#include "app/MainWindow.h"

#include "app/ClickLabel.h"
#include "app/MainController.h"
#include "app/Settings.h"
#include "app/WindowPlace.h"
#include "bands/BandPresets.h"
#include "bandwindow/FrmBanda.h"
#include "listing/FrmTabella.h"
#include "listing/NeededWindow.h"
#include "matrixwindow/FrmMatrix.h"
#include "print/PrinterPort.h"
#include "print/ScreenPrint.h"
#include "stats/Computations.h"
#include "stats/GridTexts.h"
#include "stats/StaleCounts.h"
#include "window/GridScaler.h"
#include "window/ScreenFit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

// Colours of the grid.
const QColor HeaderBack(255, 192, 192);
const QColor HeaderText(0, 0, 192);
const QColor MixBack(255, 255, 192);
const QColor TotFullBack(255, 192, 255);
const QColor GridLines(150, 156, 170);
const QColor BlockBack[2] = {QColor(255, 255, 255), QColor(232, 239, 250)};
const QColor BlockBackAlt[2] = {QColor(244, 245, 247), QColor(220, 229, 244)};
const QColor TitleBack[2] = {QColor(214, 220, 232), QColor(196, 210, 234)};
const QColor TitleText(24, 32, 64);
const QColor CountText(0, 0, 0);
const QColor NotComputedText(150, 150, 150);
const QColor StaleText = QColor::fromRgb(StaleColour);
const QColor FillerBack(236, 236, 236);
const QColor ChangedText(0, 128, 0);

/// The award buttons: the award kinds, then the custom query.
struct StatsButton {
    QString caption;
    QString tip;
};
const std::vector<StatsButton> &statsButtons()
{
    static const std::vector<StatsButton> buttons = [] {
        std::vector<StatsButton> b;
        for (const AwardKinds::Entry &e : AwardKinds::Table)
            b.push_back({QString::fromLatin1(e.name), QString::fromLatin1(e.tip)});
        b.push_back({QStringLiteral("SQL"), QStringLiteral("Select one personal Search Query!")});
        return b;
    }();
    return buttons;
}

// Grid columns: band header, band button, then four blocks of four slots,
// each block after a thin gap that draws a heavier line between blocks.
constexpr int HeaderColumn = 0;
constexpr int ButtonColumn = 1;
int slotColumn(int r) { return 3 + int(status(r)) * 5 + int(mode(r)); }
int gapColumn(int block) { return 2 + block * 5; }
// Grid rows: two title rows, 20 band rows, a gap, MIX, TOT and FULL.
constexpr int BlockTitleRow = 0;
constexpr int ModeTitleRow = 1;
constexpr int FirstBandRow = 2;
constexpr int TotalsGapRow = FirstBandRow + Bands;
constexpr int MixRow = TotalsGapRow + 1;
constexpr int TotRow = MixRow + 1;
constexpr int FullRow = TotRow + 1;

void paint(QWidget *w, const QColor &background, const QColor &text)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setTextColour(QWidget *w, const QColor &text)
{
    QPalette p = w->palette();
    if (p.color(QPalette::WindowText) == text)
        return;
    p.setColor(QPalette::WindowText, text);
    w->setPalette(p);
}

void keepPlaceWhenHidden(QWidget *w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

QPushButton *makeButton(const QString &name, const QString &caption, const QString &toolTip = {})
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    if (!toolTip.isEmpty())
        b->setToolTip(toolTip);
    // As wide as the caption needs: the style's usual minimum would push the
    // command row past a 1024 pixel screen.
    b->setFixedWidth(qMax(QFontMetrics(b->font()).horizontalAdvance(caption) + 14, 44));
    return b;
}

} // namespace

MainWindow::MainWindow(MainController &controller, QWidget *parent, PrinterPort *printer)
    : QMainWindow(parent), m_controller(controller), m_printer(printer)
{
    if (!m_printer) {
        m_ownPrinter = std::make_unique<SystemPrinter>();
        m_printer = m_ownPrinter.get();
    }
    setObjectName(QStringLiteral("VarkelChecker"));

    m_baseCellFont = font();
    m_baseCellFont.setPointSizeF(qMax(10.0, m_baseCellFont.pointSizeF()));
    m_baseTitleFont = m_baseCellFont;
    m_baseTitleFont.setBold(true);
    m_baseTitleFont.setPointSizeF(m_baseCellFont.pointSizeF() - 1.5);
    m_cellFont = m_baseCellFont;
    m_titleFont = m_baseTitleFont;
    m_totalsFont = m_cellFont;
    m_totalsFont.setBold(true);
    m_widthCheck = new QTimer(this);
    m_widthCheck->setSingleShot(true);
    m_widthCheck->setInterval(0);
    connect(m_widthCheck, &QTimer::timeout, this, &MainWindow::checkCaptionWidths);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("WindowContent"));
    auto *layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);
    layout->addWidget(buildTop());
    auto *gridRow = new QHBoxLayout;
    gridRow->addStretch(1);
    QWidget *grid = buildGrid();
    gridRow->addWidget(grid);
    gridRow->addStretch(1);
    layout->addLayout(gridRow);
    m_staleNote = new QLabel(StaleNote);
    m_staleNote->setObjectName(QStringLiteral("LblStale"));
    m_staleNote->setAlignment(Qt::AlignCenter);
    setTextColour(m_staleNote, StaleText);
    keepPlaceWhenHidden(m_staleNote);
    m_staleNote->hide();
    layout->addWidget(m_staleNote);
    m_liveNote = new QLabel;
    m_liveNote->setObjectName(QStringLiteral("LblLive"));
    m_liveNote->setAlignment(Qt::AlignCenter);
    setTextColour(m_liveNote, ChangedText);
    layout->addWidget(m_liveNote);
    layout->addWidget(buildLegend());
    layout->addStretch(1);
    // The grid takes the room the window gives it; below its smallest size the window scrolls.
    m_scaler = new GridScaler(
        m_content, grid, [this](double scale) { applyScale(scale); }, m_baseTitleFont.pointSizeF(), this);
    setCentralWidget(m_scaler->area());

    buildMenus();
    buildChoicePanel(grid);
    bindController();
    showCommands(m_controller.commandsVisible());
    checkCaptionWidths();
    // As designed where the screen has room for it, else as large as the screen allows.
    ScreenFit::resizeWithin(this, m_scaler->naturalSize() + QSize(0, menuBar()->sizeHint().height()));
    // Where the operator left it, when that is on a screen.
    WindowPlace::follow(this);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildChoicePanel(QWidget *grid)
{
    // The band choice list stands over the upper left part of the grid while it is open.
    m_choicePanel = new QWidget(grid);
    m_choicePanel->setObjectName(QStringLiteral("ChoicePanel"));
    m_choicePanel->setAutoFillBackground(true);
    m_choicePanel->setStyleSheet(QStringLiteral("#ChoicePanel { border: 2px solid #606060; background: palette(window); }"));
    auto *layout = new QVBoxLayout(m_choicePanel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto *strip = new QHBoxLayout;
    m_choiceTitle = new QLabel(QStringLiteral("CHOICE BAND"));
    m_choiceTitle->setObjectName(QStringLiteral("lblchoice"));
    m_choiceTitle->setStyleSheet(QStringLiteral("background: #c0c0c0; font-weight: bold; padding: 3px 6px;"));
    m_choiceClear = new QPushButton(QStringLiteral("CLEAR BAND"));
    m_choiceClear->setObjectName(QStringLiteral("cmdchoice"));
    m_choiceClose = new QPushButton(QStringLiteral("X"));
    m_choiceClose->setObjectName(QStringLiteral("CmdXchoice"));
    m_choiceClose->setFixedWidth(28);
    strip->addWidget(m_choiceTitle, 1);
    strip->addWidget(m_choiceClear);
    strip->addWidget(m_choiceClose);
    layout->addLayout(strip);
    m_choiceList = new QListWidget;
    m_choiceList->setObjectName(QStringLiteral("List1"));
    layout->addWidget(m_choiceList, 1);
    m_choicePanel->setGeometry(2, 2, 260, 300);
    m_choicePanel->hide();
    for (QWidget *w : std::initializer_list<QWidget *>{m_choiceTitle, m_choiceList, m_choiceClear, m_choiceClose})
        w->hide();

    connect(m_choiceList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_controller.chooseListBand(item->text()); });
    connect(m_choiceClear, &QPushButton::clicked, this, [this] { m_controller.clearLastBand(); });
    connect(m_choiceClose, &QPushButton::clicked, this, &MainWindow::hideChoicePanel);
}

void MainWindow::showChoicePanel(const QStringList &bands)
{
    m_choiceList->clear();
    m_choicePanel->show();
    m_choicePanel->raise();
    for (QWidget *w : std::initializer_list<QWidget *>{m_choiceTitle, m_choiceList, m_choiceClear, m_choiceClose})
        w->show();
    m_choiceList->addItems(bands);
}

void MainWindow::hideChoicePanel()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_choiceTitle, m_choiceList, m_choiceClear, m_choiceClose})
        w->hide();
    m_choicePanel->hide();
}

void MainWindow::openGrid(const ListingRequest &request)
{
    // The hourglass stays over this window while the grid is open.
    setCursor(Qt::WaitCursor);
    MainController &c = m_controller;
    FrmTabella::showListing(this, c.state(), c.engine(), c.prompter(), request);
    unsetCursor();
}

void MainWindow::openBandWindow()
{
    MainController &c = m_controller;
    if (!m_bandWindow) {
        m_bandWindow = new FrmBanda(
            c.state(), c.engine(), c.prompter(), *m_printer, [&c] { return c.ft8(); }, this);
        m_bandWindow->setDataCaption(c.dataCaption());
        WindowPlace::follow(m_bandWindow);
    }
    m_bandWindow->showBand({c.state().ChosenBand, c.bandWindowCaption(), c.bandWindowTitolo(), c.bandWindowInfo()});
}

void MainWindow::printScreen()
{
    // Hiding the buttons moves the focus; it goes back where it was afterwards.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    m_printing = true;
    // The page shows the client area: title line, commands, grid and legend, not the menu bar.
    ScreenPrint::run(
        m_controller.prompter(), *m_printer, m_content,
        [this] {
            setBackground(Qt::white);
            for (QPushButton *b : std::as_const(m_stats))
                b->hide();
            for (QPushButton *b : std::as_const(m_bandButtons))
                b->hide();
            for (QPushButton *b : {m_infoButton, m_checkBand, m_checkMode, m_print, m_loadLog})
                b->hide();
            m_recentLogs->hide();
        },
        [this] {
            applyLoadedColours();
            showCommands(m_controller.state().hasLog());
        });
    if (focused && focused->isVisible())
        focused->setFocus();
    QCoreApplication::processEvents();
    m_printing = false;
}

QHBoxLayout *MainWindow::buildTitleRow()
{
    // LblTitolo, LblModo, lblCountQso and LblInfo.
    auto *titleRow = new QHBoxLayout;
    m_titolo = new QLabel(m_controller.titolo());
    m_titolo->setObjectName(QStringLiteral("LblTitolo"));
    QFont titleFont = font();
    titleFont.setPointSizeF(font().pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_titolo->setFont(titleFont);
    setTextColour(m_titolo, HeaderText);
    titleRow->addWidget(m_titolo);
    titleRow->addStretch(1);

    m_modo = new QLabel(m_controller.matrix().modo());
    m_modo->setObjectName(QStringLiteral("LblModo"));
    m_modo->setToolTip(QStringLiteral("Award of the counts shown"));
    QFont modoFont = titleFont;
    m_modo->setFont(modoFont);
    m_modo->setAlignment(Qt::AlignCenter);
    m_modo->setMinimumWidth(QFontMetrics(modoFont).horizontalAdvance(QStringLiteral("WWWW")));
    m_modo->setFrameShape(QFrame::Panel);
    m_modo->setFrameShadow(QFrame::Sunken);
    paint(m_modo, QColor(255, 255, 255), HeaderText);
    titleRow->addWidget(m_modo);

    m_countQso = new QLabel(m_controller.matrix().countQso());
    m_countQso->setObjectName(QStringLiteral("lblCountQso"));
    QFont countFont = m_cellFont;
    countFont.setBold(true);
    m_countQso->setFont(countFont);
    m_countQso->setMinimumWidth(QFontMetrics(countFont).horizontalAdvance(GridTexts::qsoCaption(QStringLiteral("8888888"))));
    titleRow->addSpacing(8);
    titleRow->addWidget(m_countQso);
    titleRow->addStretch(1);

    m_info = new QLabel;
    m_info->setObjectName(QStringLiteral("LblInfo"));
    m_info->setFrameShape(QFrame::StyledPanel);
    m_info->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("InfoLog: 88/88/8888 / 88:88:88")) + 12);
    m_info->setMinimumHeight(2 * QFontMetrics(font()).height() + 6);
    m_info->setContentsMargins(4, 1, 4, 1);
    titleRow->addWidget(m_info);
    return titleRow;
}

QHBoxLayout *MainWindow::buildCommandRow()
{
    // The commands, the award buttons and the FT8 option.
    auto *commands = new QHBoxLayout;
    commands->setSpacing(4);
    m_loadLog = makeButton(QStringLiteral("CmdLoadLog"), QStringLiteral("Load LogBook"));
    m_infoButton = makeButton(QStringLiteral("Command1"), QStringLiteral("INFO"), QStringLiteral("Info"));
    m_checkBand =
        makeButton(QStringLiteral("Command2"), QStringLiteral("Check your BAND"), QStringLiteral("Select ALL BAND on your LOG DATABASE!"));
    m_checkMode =
        makeButton(QStringLiteral("Command3"), QStringLiteral("Check your MODE"), QStringLiteral("Select ALL MODE on your LOG DATABASE!"));
    m_print = makeButton(QStringLiteral("CmdPrint"), QStringLiteral("PRT"), QStringLiteral("Print Screen - orizontal size!"));
    m_recentLogs = new QToolButton;
    m_recentLogs->setObjectName(QStringLiteral("CmdRecentLog"));
    m_recentLogs->setToolTip(QStringLiteral("The logbooks loaded last"));
    m_recentLogs->setArrowType(Qt::DownArrow);
    m_recentLogs->setPopupMode(QToolButton::InstantPopup);
    m_recentLogs->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }")); // the arrow says it already
    m_recentLogs->setMenu(new QMenu(m_recentLogs));
    m_recentLogs->menu()->setObjectName(QStringLiteral("MnuRecentLog"));
    keepPlaceWhenHidden(m_recentLogs);
    for (QPushButton *b : {m_loadLog, m_infoButton, m_print, m_checkBand, m_checkMode}) {
        keepPlaceWhenHidden(b);
        commands->addWidget(b);
        if (b == m_loadLog)
            commands->addWidget(m_recentLogs);
    }
    commands->addStretch(1);

    QFont awardFont = font();
    awardFont.setBold(true);
    const int awardWidth = QFontMetrics(awardFont).horizontalAdvance(QStringLiteral("WWW")) + 12;
    for (int i = 0; i < int(statsButtons().size()); ++i) {
        QPushButton *b = makeButton(QStringLiteral("CmdStats_%1").arg(i), statsButtons()[size_t(i)].caption, statsButtons()[size_t(i)].tip);
        b->setFont(awardFont);
        b->setFixedWidth(awardWidth);
        keepPlaceWhenHidden(b);
        commands->addWidget(b);
        m_stats << b;
        connect(b, &QPushButton::clicked, this, [this, i] { m_controller.runStats(i); });
    }
    commands->addSpacing(8);
    m_ft8 = new QCheckBox(QStringLiteral("FT8"));
    m_ft8->setObjectName(QStringLiteral("FT8chk"));
    m_ft8->setToolTip(QStringLiteral("DATA only as FT8 mode! Else all as [NOT CW+PHONE]"));
    m_ft8->installEventFilter(this);
    m_live = new QCheckBox(QStringLiteral("LIVE"));
    m_live->setObjectName(QStringLiteral("LiveChk"));
    m_live->setToolTip(QStringLiteral("Follow the logbook while it is written: the counts update themselves"));
    // The two boxes one above the other: side by side the row would not fit a 1024 pixel screen.
    auto *boxes = new QVBoxLayout;
    boxes->setContentsMargins(0, 0, 0, 0);
    boxes->setSpacing(0);
    boxes->addWidget(m_ft8);
    boxes->addWidget(m_live);
    commands->addLayout(boxes);
    return commands;
}

QWidget *MainWindow::buildTop()
{
    auto *top = new QWidget;
    auto *v = new QVBoxLayout(top);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    v->addLayout(buildTitleRow());
    v->addLayout(buildCommandRow());

    connect(m_loadLog, &QPushButton::clicked, this, [this] { m_controller.loadLog(); });
    // The menu is made as it opens: the list may have changed in another session.
    connect(m_recentLogs->menu(), &QMenu::aboutToShow, this, &MainWindow::showRecentLogbooks);
    showRecentLogbooks();
    enableRecentLogbooks();
    connect(m_infoButton, &QPushButton::clicked, this, [this] { m_controller.showInfo(); });
    connect(m_checkBand, &QPushButton::clicked, this, [this] { m_controller.checkBands(); });
    connect(m_checkMode, &QPushButton::clicked, this, [this] { m_controller.checkModes(); });
    connect(m_print, &QPushButton::clicked, this, [this] { m_controller.print(); });
    connect(m_ft8, &QCheckBox::toggled, this, [this](bool on) { m_controller.setFt8(on); });
    connect(m_ft8, &QCheckBox::clicked, this, [this] { m_controller.clickFt8(); });
    connect(m_live, &QCheckBox::clicked, this, [this](bool on) {
        m_controller.setLive(on);
        Settings().setLive(on);
    });
    return top;
}

ClickLabel *MainWindow::makeCountLabel(const QString &name, const QColor &background)
{
    auto *l = new ClickLabel(GridTexts::NotComputed);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    paint(l, background, NotComputedText);
    return l;
}

QLabel *MainWindow::makeTitle(const QString &name, const QString &text, const QColor &background, const QString &toolTip)
{
    auto *l = new QLabel(text);
    l->setObjectName(name);
    l->setAlignment(Qt::AlignCenter);
    m_gridTitles << l;
    if (!toolTip.isEmpty())
        l->setToolTip(toolTip);
    paint(l, background, TitleText);
    return l;
}

QWidget *MainWindow::buildGrid()
{
    auto *frame = new QWidget;
    frame->setObjectName(QStringLiteral("StatsGrid"));
    paint(frame, GridLines, TitleText);
    auto *g = new QGridLayout(frame);
    g->setContentsMargins(1, 1, 1, 1);
    g->setSpacing(1);
    g->setSizeConstraint(QLayout::SetFixedSize);

    for (int b = 0; b < 4; ++b)
        g->setColumnMinimumWidth(gapColumn(b), 2);
    g->setRowMinimumHeight(TotalsGapRow, 2);

    addGridTitles(g);
    m_lblstat.resize(Cells + Bands);
    for (int c = 0; c < Bands; ++c)
        addBandRow(g, c);
    addTotalLines(g);

    for (int i = 0; i < Cells + Bands; ++i)
        showCaption(Line::Lblstat, i);
    for (int r = 0; r < Slots; ++r) {
        showCaption(Line::Mix, r);
        showCaption(Line::Tot, r);
        showCaption(Line::Full, r);
    }
    return frame;
}

void MainWindow::addGridTitles(QGridLayout *g)
{
    // The four status blocks and their mode classes (Label2..Label21), and "BAND".
    QLabel *band = makeTitle(QStringLiteral("Label22"), QStringLiteral("BAND"), TitleBack[0]);
    g->addWidget(band, BlockTitleRow, HeaderColumn, 2, 2);
    for (int s = 0; s < 4; ++s) {
        QLabel *block = makeTitle(QStringLiteral("Label%1").arg(2 + s), GridTexts::blockTitles()[s], TitleBack[s % 2],
                                  s == 3 ? QStringLiteral("[D] Checked on the logbook database!") : QString());
        g->addWidget(block, BlockTitleRow, slotColumn(slot(QslStatus(s), ModeClass::Cw)), 1, 4);
        for (int m = 0; m < 4; ++m) {
            const int r = slot(QslStatus(s), ModeClass(m));
            QLabel *mode = makeTitle(QStringLiteral("Label%1").arg(6 + r), GridTexts::modeTitles()[m], TitleBack[s % 2]);
            m_modeTitles << mode;
            g->addWidget(mode, ModeTitleRow, slotColumn(r));
            if (m == 2)
                m_dataTitles << mode;
        }
    }
}

void MainWindow::addBandRow(QGridLayout *g, int c)
{
    // Cells Lblstat(c + 20 r), the band header Lblstat(320 + c) and the band's own button.
    const int row = FirstBandRow + c;
    for (int r = 0; r < Slots; ++r) {
        const int index = cell(c, r);
        const int s = int(status(r));
        ClickLabel *l = makeCountLabel(QStringLiteral("Lblstat_%1").arg(index), (c % 2 ? BlockBackAlt : BlockBack)[s % 2]);
        l->setToolTip(countToolTip(Line::Lblstat, index));
        g->addWidget(l, row, slotColumn(r));
        m_lblstat[index] = l;
        connect(l, &ClickLabel::doubleClicked, this, [this, index] { m_controller.doubleClickCell(index); });
    }
    ClickLabel *h = new ClickLabel;
    h->setObjectName(QStringLiteral("Lblstat_%1").arg(header(c)));
    h->setAlignment(Qt::AlignCenter);
    h->setToolTip(QStringLiteral("DblClick on the BAND for to change"));
    paint(h, HeaderBack, HeaderText);
    g->addWidget(h, row, HeaderColumn);
    m_lblstat[header(c)] = h;
    connect(h, &ClickLabel::doubleClicked, this, [this, c] { m_controller.doubleClickHeader(c); });

    auto *filler = new QWidget;
    m_fillers << filler;
    paint(filler, FillerBack, TitleText);
    g->addWidget(filler, row, ButtonColumn);
    auto *button = new QPushButton;
    button->setObjectName(QStringLiteral("CmdBandaSingola_%1").arg(c));
    button->setToolTip(QStringLiteral("Open the single-band window"));
    button->setFocusPolicy(Qt::NoFocus);
    keepPlaceWhenHidden(button);
    g->addWidget(button, row, ButtonColumn);
    m_bandButtons << button;
    connect(button, &QPushButton::clicked, this, [this, c] { m_controller.clickBandButton(c); });
}

void MainWindow::addTotalLines(QGridLayout *g)
{
    // MIX, TOT and FULL lines.
    g->addWidget(makeTitle(QStringLiteral("Label32"), GridTexts::MixTitle, MixBack, QStringLiteral("Mix only on the selected BAND!")),
                 MixRow, HeaderColumn, 1, 2);
    g->addWidget(
        makeTitle(QStringLiteral("Label33"), GridTexts::TotTitle, TotFullBack, QStringLiteral("TOTAL like SUM on the selected band!")),
        TotRow, HeaderColumn, 1, 2);
    g->addWidget(makeTitle(QStringLiteral("Label34"), GridTexts::FullTitle, TotFullBack, QStringLiteral("FULL-LOG & ALL-MODE!")), FullRow,
                 HeaderColumn, 1, 2);
    for (int r = 0; r < Slots; ++r) {
        ClickLabel *mix = makeCountLabel(QStringLiteral("lblMix_%1").arg(r), MixBack);
        mix->setToolTip(countToolTip(Line::Mix, r));
        ClickLabel *tot = makeCountLabel(QStringLiteral("LblTot_%1").arg(r), TotFullBack);
        ClickLabel *full = makeCountLabel(QStringLiteral("lblFull_%1").arg(r), TotFullBack);
        full->setToolTip(countToolTip(Line::Full, r));
        g->addWidget(mix, MixRow, slotColumn(r));
        g->addWidget(tot, TotRow, slotColumn(r));
        g->addWidget(full, FullRow, slotColumn(r));
        m_mix << mix;
        m_tot << tot;
        m_full << full;
        connect(mix, &ClickLabel::doubleClicked, this, [this, r] { m_controller.doubleClickMix(r); });
        connect(full, &ClickLabel::clicked, this, [this, r] { m_controller.clickFull(r); });
    }
}

QWidget *MainWindow::buildLegend()
{
    auto *legend = new QWidget;
    auto *h = new QHBoxLayout(legend);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(6);
    QFont small = font();
    const auto add = [&](const QString &name, const QString &text, bool key) {
        auto *l = new QLabel(text);
        l->setObjectName(name);
        QFont f = small;
        f.setBold(key);
        l->setFont(f);
        if (key) {
            l->setAlignment(Qt::AlignCenter);
            l->setContentsMargins(4, 0, 4, 0);
            paint(l, TitleBack[0], TitleText);
        }
        h->addWidget(l);
    };
    add(QStringLiteral("Label31"), GridTexts::legendTitle(), false);
    // The legend labels Label26/Label30 (CW) down to Label23/Label27 (MIX).
    for (int m = 0; m < 4; ++m) {
        const GridTexts::LegendEntry &entry = GridTexts::legend()[size_t(m)];
        if (m > 0)
            h->addSpacing(6);
        add(QStringLiteral("Label%1").arg(26 - m), entry.mode, true);
        add(QStringLiteral("Label%1").arg(30 - m), entry.meaning, false);
    }
    h->addStretch(1);

    auto *bottom = new QWidget;
    auto *v = new QVBoxLayout(bottom);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    v->addWidget(legend);
    auto *credits = new QLabel(QStringLiteral("VarkelChecker %1 - award statistics of the Varkel logbook").arg(GridTexts::version()));
    credits->setObjectName(QStringLiteral("Label1"));
    credits->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setTextColour(credits, QColor(90, 90, 110));
    v->addWidget(credits);
    return bottom;
}

void MainWindow::buildMenus()
{
    m_bandMenu = menuBar()->addMenu(QStringLiteral("BAND"));
    m_bandMenu->setObjectName(QStringLiteral("Mnuband"));
    for (const BandPreset &preset : BandPresets::all()) {
        QAction *a = m_bandMenu->addAction(preset.caption);
        a->setObjectName(preset.objectName);
        if (!preset.shortcut.isEmpty())
            a->setShortcut(QKeySequence(preset.shortcut));
        const QString name = preset.objectName;
        connect(a, &QAction::triggered, this, [this, name] { m_controller.applyPreset(name); });
    }
    // The last entry, captioned "-", draws as a separator line.
    QAction *prova = m_bandMenu->addAction(QStringLiteral("-"));
    prova->setObjectName(QStringLiteral("mnuprova"));
    prova->setSeparator(true);

    m_memoMenu = menuBar()->addMenu(QStringLiteral("MEMO"));
    m_memoMenu->setObjectName(QStringLiteral("MnuMemoria"));
    for (int n = 1; n <= 9; ++n) {
        QAction *a = m_memoMenu->addAction(QStringLiteral("Memo %1").arg(n));
        a->setObjectName(QStringLiteral("MnuMemo%1").arg(n));
        a->setShortcut(QKeySequence(QStringLiteral("F%1").arg(n)));
        connect(a, &QAction::triggered, this, [this, n] { m_controller.chooseMemo(n); });
    }

    m_export = menuBar()->addAction(QStringLiteral("EXPORT TO EXCEL"));
    m_export->setObjectName(QStringLiteral("mnuexport"));
    connect(m_export, &QAction::triggered, this, [this] { m_controller.exportToExcel(); });

    m_needed = menuBar()->addAction(QStringLiteral("NEEDED"));
    m_needed->setObjectName(QStringLiteral("mnuneeded"));
    m_needed->setShortcut(QKeySequence(QStringLiteral("Ctrl+N")));
    m_needed->setToolTip(QStringLiteral("What the award of the last run still needs: QSLs to chase and bands to work"));
    connect(m_needed, &QAction::triggered, this, [this] { m_controller.needed(); });

    m_awardMatrix = menuBar()->addAction(QStringLiteral("MATRIX"));
    m_awardMatrix->setObjectName(QStringLiteral("mnumatrix"));
    m_awardMatrix->setShortcut(QKeySequence(QStringLiteral("Ctrl+M")));
    m_awardMatrix->setToolTip(QStringLiteral("Every entity of the award of the last run by band: confirmed, worked or still needed"));
    connect(m_awardMatrix, &QAction::triggered, this, [this] { m_controller.awardMatrix(); });
}

void MainWindow::bindController()
{
    MainController &c = m_controller;
    showWindowCaption(c.windowCaption());
    m_titolo->setText(c.titolo());
    m_info->setText(QString(c.info()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    connect(&c, &MainController::windowCaptionChanged, this, &MainWindow::showWindowCaption);
    connect(&c, &MainController::titoloChanged, m_titolo, &QLabel::setText);
    connect(&c, &MainController::infoChanged, this,
            [this](const QString &text) { m_info->setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))); });
    connect(&c, &MainController::dataCaptionChanged, this, [this](const QString &caption) {
        for (int i = int(m_dataTitles.size()) - 1; i >= 0; --i)
            m_dataTitles[i]->setText(caption);
    });
    connect(&c, &MainController::ft8Changed, m_ft8, &QCheckBox::setChecked);
    c.setLive(Settings().live(true));
    m_live->setChecked(c.live());
    connect(&c, &MainController::liveChanged, m_live, &QCheckBox::setChecked);
    m_liveNote->setText(c.liveNote());
    connect(&c, &MainController::liveNoteChanged, m_liveNote, &QLabel::setText);
    connect(&c, &MainController::changedCountsChanged, this, &MainWindow::showChanges);
    connect(&c, &MainController::logbookUpdated, this, &MainWindow::refreshOpenWindows);
    c.setUpdateBlocked([this] { return m_bandWindow && m_bandWindow->isRunning(); });
    connect(&c, &MainController::logbookLoaded, this, [this] {
        applyLoadedColours();
        showCommands(true);
        // A logbook that is there is one to come back to.
        if (QFileInfo(m_controller.state().LogPath).isFile())
            Settings().addRecentLogbook(m_controller.state().LogPath);
        enableRecentLogbooks();
    });
    connect(&c, &MainController::runningChanged, this, &MainWindow::setRunning);
    connect(&c, &MainController::staleChanged, this, &MainWindow::showStaleness);
    connect(&c, &MainController::hintsChanged, this, &MainWindow::showHints);
    connect(&c, &MainController::neededReady, this, [this](const Needed::Report &report) {
        MainController &mc = m_controller;
        auto *window = new NeededWindow(report, mc.displayName(), mc.state(), mc.prompter(), *m_printer, this);
        WindowPlace::follow(window);
        window->show();
    });
    connect(&c, &MainController::awardMatrixReady, this, [this](const MatrixReport::Basis &basis, const MatrixReport::Report &report) {
        MainController &mc = m_controller;
        const auto list = [&mc, basis](const QString &entity, const QString &band, ModeClass mode) {
            mc.listMatrixCell(basis, entity, band, mode);
        };
        auto *window = new FrmMatrix(basis, report, mc.displayName(), mc.state(), mc.prompter(), *m_printer, list, this);
        WindowPlace::follow(window);
        window->setExportContacts([&mc, basis](const QString &entity, const QString &band, ModeClass mode) {
            mc.exportMatrixCellAdif(basis, entity, band, mode);
        });
        window->show();
    });
    connect(&c, &MainController::gridRequested, this, &MainWindow::openGrid);
    connect(&c, &MainController::choicePanelRequested, this, &MainWindow::showChoicePanel);
    connect(&c, &MainController::bandWindowRequested, this, &MainWindow::openBandWindow);
    connect(&c, &MainController::printRequested, this, &MainWindow::printScreen);
    connect(&c, &MainController::dataCaptionChanged, this, [this](const QString &caption) {
        if (m_bandWindow)
            m_bandWindow->setDataCaption(caption);
    });

    StatsMatrix &m = c.matrix();
    connect(&m, &StatsMatrix::captionChanged, this, &MainWindow::showCaption);
    connect(&m, &StatsMatrix::countQsoChanged, this, [this](const QString &text) {
        m_countQso->setText(text);
        if (m_countQso->isVisible())
            m_countQso->repaint();
    });
    connect(&m, &StatsMatrix::modoChanged, this, [this](const QString &text) {
        m_modo->setText(text);
        if (m_modo->isVisible())
            m_modo->repaint();
    });
}

void MainWindow::showWindowCaption(const QString &caption)
{
    // "[*]" in a window title stands for the modified mark; show it as typed.
    setWindowTitle(QString(caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}

void MainWindow::showCaption(StatsMatrix::Line line, int index)
{
    ClickLabel *label = countLabel(line, index);
    if (!label)
        return;
    const QString text = m_controller.matrix().caption(line, index);
    label->setText(text);
    const bool isHeader = line == Line::Lblstat && index >= FirstHeader;
    if (!isHeader) {
        setTextColour(label, countColour(line, index));
        label->setFont(countFont(line, index));
        // While counting, the widths are checked once at the end: measuring the
        // grid anew between the queries of a run would cost more than the run.
        if (!m_controller.isRunning() && !m_widthCheck->isActive())
            m_widthCheck->start();
    }
    // Painted when the run lets events through, between its queries.
    label->update();
}

ClickLabel *MainWindow::countLabel(Line line, int index) const
{
    switch (line) {
    case Line::Lblstat:
        return m_lblstat.value(index);
    case Line::Mix:
        return m_mix.value(index);
    case Line::Tot:
        return m_tot.value(index);
    case Line::Full:
        return m_full.value(index);
    }
    return nullptr;
}

QFont MainWindow::countFont(Line line, int index) const
{
    // Changed counts stand out in bold; every count keeps its line's size.
    QFont font = line == Line::Lblstat ? m_cellFont : m_totalsFont;
    if (LiveUpdate::was(m_controller.changedCounts(), line, index))
        font.setBold(true);
    return font;
}

void MainWindow::checkCaptionWidths()
{
    // The longest count, a bold one before one as long.
    qsizetype longest = 0;
    StatsMatrix::forEachCount([&](Line line, int index) {
        const ClickLabel *label = countLabel(line, index);
        longest = std::max(longest, 2 * label->text().size() + (label->font().bold() ? 1 : 0));
    });
    if (longest == m_captionChars)
        return;
    m_captionChars = longest;
    m_scaler->invalidate();
    m_scaler->growWindow();
}

void MainWindow::applyScale(double scale)
{
    // Cells, fonts and headers scale together; padding with them.
    m_cellFont = GridScaler::scaled(m_baseCellFont, scale);
    m_titleFont = GridScaler::scaled(m_baseTitleFont, scale);
    m_totalsFont = m_cellFont;
    m_totalsFont.setBold(true);
    const QFontMetrics cells(m_cellFont), titles(m_titleFont);
    m_rowHeight = cells.height() + qRound(5 * scale);
    // Every count column as wide as five digits, its mode title and the widest count
    // shown: six- and seven-digit counts keep their font and widen the columns.
    int widest = std::max(cells.horizontalAdvance(QStringLiteral("88888")), titles.horizontalAdvance(QStringLiteral("PHONE")));
    StatsMatrix::forEachCount([&](Line line, int index) {
        ClickLabel *label = countLabel(line, index);
        label->setFont(countFont(line, index));
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()));
    });
    m_cellWidth = widest + qRound(8 * scale);
    const int headerWidth = cells.horizontalAdvance(QStringLiteral("0.134")) + qRound(16 * scale);
    const int buttonWidth = m_rowHeight - 2;

    StatsMatrix::forEachCount([this](Line line, int index) { countLabel(line, index)->setFixedSize(m_cellWidth, m_rowHeight); });
    for (int c = 0; c < Bands; ++c) {
        m_lblstat[header(c)]->setFont(m_totalsFont);
        m_lblstat[header(c)]->setFixedSize(headerWidth, m_rowHeight);
    }
    for (QLabel *title : std::as_const(m_gridTitles)) {
        title->setFont(m_titleFont);
        title->setMinimumHeight(m_rowHeight);
    }
    for (QLabel *title : std::as_const(m_modeTitles))
        title->setFixedWidth(m_cellWidth);
    for (QWidget *w : std::as_const(m_fillers))
        w->setFixedSize(buttonWidth, m_rowHeight);
    for (QPushButton *b : std::as_const(m_bandButtons))
        b->setFixedSize(buttonWidth, m_rowHeight);
}

QColor MainWindow::countColour(StatsMatrix::Line line, int index) const
{
    if (m_controller.matrix().caption(line, index) == QLatin1String(GridTexts::NotComputed))
        return NotComputedText;
    if (m_controller.isStale(line, index))
        return StaleText;
    return LiveUpdate::was(m_controller.changedCounts(), line, index) ? ChangedText : CountText;
}

void MainWindow::showHints()
{
    for (int c = 0; c < Bands; ++c) {
        for (int r = 0; r < Slots; ++r) {
            if (isDifference(r))
                m_lblstat[cell(c, r)]->setToolTip(countToolTip(Line::Lblstat, cell(c, r)));
        }
    }
}

QString MainWindow::countToolTip(Line line, int index) const
{
    QString tip;
    switch (line) {
    case Line::Lblstat: {
        // Entity NOT CONFIRMED cells list no contacts: they tell which entities they count.
        const int r = slotOfCell(index);
        const std::optional<AwardKind> kind = m_controller.matrix().kind();
        const bool entities = kind && *kind != AwardKind::Qso;
        tip = isDifference(r) && entities ? m_controller.notConfirmedHint(bandOfCell(index), mode(r))
                                          : QStringLiteral("Double-click to list");
        break;
    }
    case Line::Mix:
        tip = QStringLiteral("Click to list your LOG QSO!");
        break;
    case Line::Tot:
        break;
    case Line::Full:
        if (!isDifference(index))
            tip = QStringLiteral("Click FULL-LOG & ALL-MODE!");
        break;
    }
    const std::optional<QString> was = LiveUpdate::was(m_controller.changedCounts(), line, index);
    if (!was)
        return tip;
    return tip.isEmpty() ? LiveUpdate::wasHint(*was) : LiveUpdate::wasHint(*was) + QLatin1Char('\n') + tip;
}

void MainWindow::showChanges()
{
    StatsMatrix::forEachCount([this](Line line, int index) {
        ClickLabel *label = countLabel(line, index);
        const QString tip = countToolTip(line, index);
        if (label->toolTip() != tip)
            label->setToolTip(tip);
        showCaption(line, index);
    });
}

void MainWindow::refreshOpenWindows()
{
    const std::shared_ptr<const LogSnapshot> log = m_controller.shownLog();
    if (!log)
        return;
    for (NeededWindow *needed : findChildren<NeededWindow *>())
        needed->refresh(*log);
    for (FrmMatrix *matrix : findChildren<FrmMatrix *>())
        matrix->refresh(log);
    if (m_bandWindow)
        m_bandWindow->recount();
    for (FrmTabella *listing : findChildren<FrmTabella *>())
        listing->markLogbookChanged();
}

void MainWindow::showStaleness()
{
    for (int i = 0; i < Cells; ++i)
        setTextColour(m_lblstat[i], countColour(Line::Lblstat, i));
    for (int r = 0; r < Slots; ++r) {
        setTextColour(m_mix[r], countColour(Line::Mix, r));
        setTextColour(m_tot[r], countColour(Line::Tot, r));
        setTextColour(m_full[r], countColour(Line::Full, r));
    }
    setTextColour(m_countQso, m_controller.isQsoTotalStale() ? StaleText : CountText);
    m_staleNote->setVisible(m_controller.anyStale());
}

void MainWindow::showCommands(bool shown)
{
    for (QPushButton *b : m_stats)
        b->setVisible(shown);
    for (QPushButton *b : m_bandButtons)
        b->setVisible(shown);
    m_infoButton->setVisible(true);
    m_checkBand->setVisible(shown);
    m_checkMode->setVisible(shown);
    m_print->setVisible(true);
    m_loadLog->setVisible(true);
    m_recentLogs->setVisible(true);
}

void MainWindow::showRecentLogbooks()
{
    QMenu *menu = m_recentLogs->menu();
    menu->clear();
    const QStringList recent = Settings().recentLogbooks();
    for (int i = 0; i < recent.size(); ++i) {
        const QString path = recent[i];
        const QFileInfo file(path);
        // "&1  varkeldt.mdb   (C:\Varkel\Data)": a file that is gone stays in the list, greyed.
        QAction *a = menu->addAction(
            QStringLiteral("&%1  %2   (%3)").arg(i + 1).arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())));
        a->setObjectName(QStringLiteral("MnuRecentLog_%1").arg(i));
        a->setToolTip(QDir::toNativeSeparators(path));
        a->setEnabled(file.isFile());
        connect(a, &QAction::triggered, this, [this, path] { m_controller.loadLogFile(path); });
    }
}

void MainWindow::enableRecentLogbooks() { m_recentLogs->setEnabled(!m_controller.isRunning() && !Settings().recentLogbooks().isEmpty()); }

void MainWindow::applyLoadedColours()
{
    // The menu bar's own colour, as the style gives it: the bar itself shows
    // whatever colour the window had last (white while printing).
    setBackground(QApplication::palette(menuBar()).color(QPalette::Window));
}

void MainWindow::setBackground(const QColor &colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    QPalette t = m_titolo->palette();
    t.setColor(QPalette::Window, colour);
    m_titolo->setPalette(t);
    m_titolo->setAutoFillBackground(true);
}

void MainWindow::setRunning(bool running)
{
    for (QPushButton *b : m_stats)
        b->setEnabled(!running);
    for (QPushButton *b : m_bandButtons)
        b->setEnabled(!running);
    for (QPushButton *b : {m_loadLog, m_checkBand, m_checkMode, m_print})
        b->setEnabled(!running);
    enableRecentLogbooks();
    m_bandMenu->setEnabled(!running);
    m_memoMenu->setEnabled(!running);
    for (QAction *a : m_bandMenu->actions())
        a->setEnabled(!running);
    for (QAction *a : m_memoMenu->actions())
        a->setEnabled(!running);
    m_export->setEnabled(!running);
    m_needed->setEnabled(!running);
    m_awardMatrix->setEnabled(!running);
    if (!running)
        m_widthCheck->start();

    if (running && !m_busyCursor) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_busyCursor = true;
    } else if (!running && m_busyCursor) {
        QApplication::restoreOverrideCursor();
        m_busyCursor = false;
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A run in progress sits below this event in the call stack: it ends at its
    // next yield, quietly, and the program ends when it has returned. The
    // single-band window closes with this one (after its own run, if any).
    m_controller.requestStop();
    if (m_bandWindow)
        m_bandWindow->close();
    event->accept();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ft8 && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Focus that leaves with the whole window (a message box, a menu) is no focus change of the box.
        // Nor is the focus that moves while the print hides the buttons.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_printing) {
            if (event->type() == QEvent::FocusIn)
                m_controller.ft8GotFocus(reason == Qt::MouseFocusReason);
            else
                m_controller.ft8LostFocus();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
