#pragma once
#include "stats/StatsMatrix.h"

#include "bandwindow/FrmBanda.h"
#include "listing/ListingRequest.h"
#include <QMainWindow>

#include <QPointer>
#include <QVector>
#include <memory>

class ClickLabel;
class GridScaler;

class PrinterPort;
class QListWidget;
class MainController;
class QAction;
class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

/// The main window: the count grid with its band headers and MIX, TOT and FULL
/// lines, the award buttons, the commands and the BAND, MEMO and EXPORT menus.
/// Every control carries its program name as objectName (arrays as
/// "Lblstat_<i>", "CmdStats_<i>", "CmdBandaSingola_<c>", "lblMix_<r>",
/// "LblTot_<r>", "lblFull_<r>"). Captions come from the controller and its
/// StatsMatrix; clicks go to the controller.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// `printer` is where the PRT button prints; the system's default printer when null.
    explicit MainWindow(MainController &controller, QWidget *parent = nullptr, PrinterPort *printer = nullptr);
    ~MainWindow() override;

    MainController &controller() { return m_controller; }
    /// The single-band window while it is open.
    FrmBanda *bandWindow() const { return m_bandWindow; }
    /// The landscape print of this window (the PRT button).
    void printScreen();
    /// The grid's scale to the window's room: how large its cells and fonts are.
    GridScaler &gridScaler() const { return *m_scaler; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildTop();
    QHBoxLayout *buildTitleRow();
    QHBoxLayout *buildCommandRow();
    QWidget *buildGrid();
    void addGridTitles(QGridLayout *g);
    void addBandRow(QGridLayout *g, int band);
    void addTotalLines(QGridLayout *g);
    QWidget *buildLegend();
    void buildMenus();
    void bindController();

    ClickLabel *makeCountLabel(const QString &name, const QColor &background);
    QLabel *makeTitle(const QString &name, const QString &text, const QColor &background, const QString &toolTip = {});
    void showWindowCaption(const QString &caption);
    void showCaption(StatsMatrix::Line line, int index);
    /// Black for a count, grey for "-", a lighter grey for a stale count.
    QColor countColour(StatsMatrix::Line line, int index) const;
    /// Every font and size of the grid at `scale` (1: the desktop's font, at least 10 points).
    void applyScale(double scale);
    /// A count's font: its line's, bold where an update changed it.
    QFont countFont(StatsMatrix::Line line, int index) const;
    /// After captions changed: the grid fits again when its widest count has changed length.
    void checkCaptionWidths();
    /// Colours every count by its staleness and shows the note under the grid.
    void showStaleness();
    /// The tool tips of the NOT CONFIRMED cells after a run.
    void showHints();
    /// A count's tool tip: what a click does or, on an entity NOT CONFIRMED
    /// cell, its entities; after an update that changed it, "was 38" first.
    QString countToolTip(StatsMatrix::Line line, int index) const;
    /// The label of a count.
    ClickLabel *countLabel(StatsMatrix::Line line, int index) const;
    /// The counts the last update changed in bold and a colour of their own, the others as usual.
    void showChanges();
    /// The logbook was read anew: the NEEDED lists and the single-band
    /// window count again, the listings say their rows are older.
    void refreshOpenWindows();
    void showCommands(bool shown);
    /// The recent logbooks' menu as the settings hold it.
    void showRecentLogbooks();
    /// The recent logbooks' button: usable while no run goes on and the list has an entry.
    void enableRecentLogbooks();
    void setRunning(bool running);
    void applyLoadedColours();
    /// The window's and the title line's background.
    void setBackground(const QColor &colour);
    void buildChoicePanel(QWidget *grid);
    void showChoicePanel(const QStringList &bands);
    void hideChoicePanel();
    void openGrid(const ListingRequest &request);
    void openBandWindow();

    MainController &m_controller;

    QVector<ClickLabel *> m_lblstat; ///< 0..319 cells, 320..339 band headers
    QVector<ClickLabel *> m_mix, m_tot, m_full;
    QVector<QLabel *> m_dataTitles; ///< Label8, Label12, Label16, Label20
    QLabel *m_modo = nullptr;
    QLabel *m_countQso = nullptr;
    QLabel *m_titolo = nullptr;
    QLabel *m_info = nullptr;
    QLabel *m_staleNote = nullptr; ///< LblStale: the counts no longer match their labels
    QLabel *m_liveNote = nullptr;  ///< LblLive: the last update of the logbook followed

    QVector<QPushButton *> m_stats;
    QVector<QPushButton *> m_bandButtons;
    QPushButton *m_loadLog = nullptr;
    QToolButton *m_recentLogs = nullptr; ///< CmdRecentLog: the logbooks loaded last (MnuRecentLog)
    QPushButton *m_infoButton = nullptr;
    QPushButton *m_checkBand = nullptr;
    QPushButton *m_checkMode = nullptr;
    QPushButton *m_print = nullptr;
    QCheckBox *m_ft8 = nullptr;
    QCheckBox *m_live = nullptr; ///< LiveChk: follow the logbook while it is written

    QMenu *m_bandMenu = nullptr;
    QMenu *m_memoMenu = nullptr;
    QAction *m_export = nullptr;
    QAction *m_needed = nullptr;
    QAction *m_awardMatrix = nullptr;

    QLabel *m_choiceTitle = nullptr;      ///< lblchoice
    QPushButton *m_choiceClear = nullptr; ///< cmdchoice
    QPushButton *m_choiceClose = nullptr; ///< CmdXchoice
    QListWidget *m_choiceList = nullptr;  ///< List1
    QWidget *m_choicePanel = nullptr;

    std::unique_ptr<PrinterPort> m_ownPrinter;
    PrinterPort *m_printer = nullptr;
    QPointer<FrmBanda> m_bandWindow;

    // The grid's layout: its labels by kind, the fonts at scale 1 and as shown.
    QWidget *m_content = nullptr; ///< everything under the menu bar, in the scroll area
    GridScaler *m_scaler = nullptr;
    QVector<QLabel *> m_gridTitles;
    QVector<QLabel *> m_modeTitles; ///< as wide as the counts under them
    QVector<QWidget *> m_fillers;
    QTimer *m_widthCheck = nullptr;
    qsizetype m_captionChars = 0;
    QFont m_baseCellFont;
    QFont m_baseTitleFont;
    QFont m_cellFont;
    QFont m_titleFont;
    QFont m_totalsFont;
    int m_cellWidth = 0;
    int m_rowHeight = 0;
    bool m_busyCursor = false;
    bool m_printing = false;
};
