#pragma once
#include "stats/MatrixReport.h"

#include <QDialog>
#include <functional>

class MatrixFilter;
class MatrixModel;
class PrinterPort;
class Prompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
struct LoadedLog;

/// The award matrix of the last run's award kind over the band set: a row
/// per entity, a column per band, C / W / nothing in colours of their own,
/// in the mode class chosen in the window. Sorts by a click on any column,
/// shows the needed entities only on request, finds an entity by typing;
/// a double-click on a band cell lists that entity's contacts there. The
/// menu exports it to a spreadsheet with its colours; PRT prints it over as
/// many landscape pages as it needs. For DXC the title line shows the DXCC
/// figures. A window of the main window's, modal to it.
class FrmMatrix : public QDialog {
    Q_OBJECT
public:
    /// Lists the contacts behind a cell: the entity's text, the band label, the class.
    using ListContacts = std::function<void(const QString &entity, const QString &band, ModeClass mode)>;

    /// `report` is the matrix of `basis` in the MIX class; `logName` the
    /// logbook's display name, for the title.
    FrmMatrix(MatrixReport::Basis basis, MatrixReport::Report report, const QString &logName, const LoadedLog &log, Prompter &prompter,
              PrinterPort &printer, ListContacts listContacts, QWidget *parent);

    /// What EXPORT ADIF does with the current band cell: writes that entity's
    /// contacts on the band in the class (the ones a double-click lists).
    void setExportContacts(ListContacts exportContacts) { m_exportContacts = std::move(exportContacts); }

    /// The matrix of another mode class (the class box).
    void showClass(ModeClass mode);
    /// The matrix again, of the same kind, band set, FT8 option and class,
    /// on another version of the logbook; order, filter and search stay.
    /// False (the matrix unchanged) when it could not be made.
    bool refresh(std::shared_ptr<const LogSnapshot> log);
    /// Moves to the next row, from `from` on, whose entity starts with `text`
    /// or whose name holds it; false when none does.
    bool find(const QString &text, int from = 0);

    MatrixModel *model() const { return m_model; }
    MatrixFilter *shown() const { return m_filter; }
    QTableView *view() const { return m_view; }
    /// The title line of pages and sheets: kind, class, logbook and, for DXC, the figures.
    QString titleLine() const;

private:
    void setMatrix(MatrixReport::Report report);
    void exportShown();
    void printShown();
    void cellDoubleClicked(const QModelIndex &index);
    void exportCellAdif();
    /// The entity and band of a band cell of the view; false for the entity
    /// columns, the totals and no cell.
    bool bandCell(const QModelIndex &index, QString &entity, QString &band) const;

    MatrixReport::Basis m_basis;
    QString m_logName;
    const LoadedLog &m_log;
    Prompter &m_prompter;
    PrinterPort &m_printer;
    ListContacts m_listContacts;
    ListContacts m_exportContacts;
    MatrixModel *m_model;
    MatrixFilter *m_filter;
    QLabel *m_titolo;
    QComboBox *m_class;
    QCheckBox *m_neededOnly;
    QLineEdit *m_find;
    QLabel *m_found;
    QTableView *m_view;
};
