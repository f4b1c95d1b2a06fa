#pragma once
#include "bandwindow/BandMatrix.h"

#include <QPointer>
#include <QVector>
#include <QWidget>
#include <functional>

class GridScaler;
class LogbookEngine;
class PrinterPort;
class Prompter;
class QGridLayout;
class QLabel;
class QPushButton;
struct LoadedLog;

/// The single-band window: every count of one band for all seven kinds. A
/// window of the main window's, modal to it: while it is open the main window
/// takes no input, and it closes with the main window.
class FrmBanda : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString band;    ///< the band shown and counted
        QString caption; ///< window title
        QString titolo;  ///< title line (LblTitolo)
        QString info;    ///< LblInfo
    };

    FrmBanda(const LoadedLog &log, LogbookEngine &engine, Prompter &prompter, PrinterPort &printer, std::function<bool()> ft8,
             QWidget *mainWindow);
    ~FrmBanda() override;

    BandMatrix &matrix() { return m_matrix; }
    /// Shows a band with these texts.
    void showBand(const Texts &texts);
    /// The four DATA column titles: "DATA" or "FT8".
    void setDataCaption(const QString &caption);
    /// "START": fills the grid.
    void start();
    /// The counts of the last START again, for the same band and FT8 option,
    /// on the logbook as the engine hands it out now, without a word; false
    /// (the counts unchanged) before a START, while one runs, or when a count failed.
    bool recount();
    /// The print button.
    void printScreen();
    bool isRunning() const { return m_running; }
    /// The grid's scale to the window's room.
    GridScaler &gridScaler() const { return *m_scaler; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    /// The labels the runs and showBand fill in, and the two buttons.
    void makeControls();
    /// The grid of counts: column titles, and per row its title and cells.
    QWidget *makeGrid();
    void addColumnTitles(QGridLayout *grid);
    void addRows(QGridLayout *grid);
    /// The labels follow the matrix's captions.
    void followMatrix();
    /// The title row, the grid and the legend with the buttons, in a content that scales to the window.
    void layOut(QWidget *gridFrame);
    QLabel *makeLabel(const QString &name, const QString &text, const QString &style);
    void setBackground(const QColor &colour);
    /// The grid's fonts and cell widths at `scale` (1: the desktop's font).
    void applyScale(double scale);

    const LoadedLog &m_log;
    QString m_chosenBand;
    LogbookEngine &m_engine;
    Prompter &m_prompter;
    PrinterPort &m_printer;
    std::function<bool()> m_ft8;
    BandMatrix m_matrix;
    QVector<QLabel *> m_cells;
    QVector<QLabel *> m_dataTitles;
    QVector<QLabel *> m_titles; ///< the grid's bold labels: titles and the QSO count
    QWidget *m_content = nullptr;
    GridScaler *m_scaler = nullptr;
    QFont m_baseFont;
    QLabel *m_band = nullptr;
    QLabel *m_titolo = nullptr;
    QLabel *m_info = nullptr;
    QLabel *m_countQso = nullptr;
    QPushButton *m_start = nullptr;
    QPushButton *m_print = nullptr;
    bool m_running = false;
    bool m_closing = false;
    bool m_counted = false; ///< a START has run: m_countedBand and m_countedFt8 say what it counted
    QString m_countedBand;
    bool m_countedFt8 = false;
};
