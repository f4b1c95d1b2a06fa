#pragma once
#include "listing/AdifExport.h"
#include "stats/NeededLists.h"

#include <QDialog>

class GridRecordset;
class PrinterPort;
class Prompter;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableView;
struct LoadedLog;

/// "What do I still need?": the QSL chase and the band-slot chase of the
/// last run's award kind over the band set, each sortable by a column click;
/// the menu exports both lists whole to a spreadsheet (a sheet each), and the
/// QSL chase's contacts as ADIF; PRT prints both lists whole as tables over
/// as many landscape pages as they need. A window of the main window's, modal to it.
class NeededWindow : public QDialog {
    Q_OBJECT
public:
    /// `logName`: the logbook's display name, for the title.
    NeededWindow(Needed::Report report, const QString &logName, const LoadedLog &log, Prompter &prompter, PrinterPort &printer,
                 QWidget *parent);

    /// The band-slot chase of one mode class (the class box).
    void showSlotClass(ModeClass mode);
    /// The lists again, of the same award kind, band set and FT8 option, on
    /// another version of the logbook; the tab and class shown stay. False
    /// (the lists unchanged) when they could not be made.
    bool refresh(const LogSnapshot &log);

    /// The ADIF export of every contact of the QSL chase (the menu entry "EXPORT ADIF").
    void exportQslChaseAdif();

private:
    /// Shows `report`; it keeps no texts of `log`, the log it was made of,
    /// but the contacts of its QSL chase for the ADIF export.
    void take(Needed::Report report, const LogSnapshot *log);

    void exportLists();
    void printLists();

    Needed::Report m_lists;
    QString m_logName;                        ///< the logbook's display name
    QStringList m_slotCounts;                 ///< per mode class, the band-slot counts of the title line
    std::vector<AdifContact> m_chaseContacts; ///< every contact of the QSL chase, once
    const LoadedLog &m_log;
    Prompter &m_prompter;
    PrinterPort &m_printer;
    GridRecordset *m_qsl;
    GridRecordset *m_slots;
    QLabel *m_titolo;
    QComboBox *m_class;
    QTabWidget *m_tabs;
};
