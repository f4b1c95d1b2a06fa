#pragma once
#include "listing/ListingRequest.h"

#include <QDialog>
#include <optional>

class GridRecordset;
class LogbookEngine;
class Prompter;
class QLabel;
class QTableView;
struct LoadedLog;

/// The result grid window: runs a listing's text on the logbook, shows its
/// rows read-only (sortable by a click on a column header) and exports them
/// to a spreadsheet, or the contacts among them as ADIF.
class FrmTabella : public QDialog {
    Q_OBJECT
public:
    /// Runs the request's query and, when it succeeds, shows the rows modally;
    /// returns when the window is closed. The rows are read on a thread of
    /// their own: a run that takes a while shows a progress dialog (object
    /// name "ListingProgress") whose Cancel stops it without a word. A listing
    /// cut at its limits says so before it shows.
    static void showListing(QWidget *parent, const LoadedLog &log, LogbookEngine &engine, Prompter &prompter,
                            const ListingRequest &request);

    GridRecordset *recordset() const { return m_model; }
    /// The export of the shown rows (the menu entry "EXPORT TO EXCEL").
    void exportToSpreadsheet();
    /// The ADIF export of the contacts shown (the menu entry "EXPORT ADIF").
    void exportToAdif();
    /// The logbook was read anew while the window is open: the rows stay, the title line says so.
    void markLogbookChanged();

private:
    FrmTabella(QWidget *parent, const LoadedLog &log, Prompter &prompter);
    ~FrmTabella() override;

    const LoadedLog &m_log;
    std::optional<AwardKind> m_kind;
    Prompter &m_prompter;
    GridRecordset *m_model;
    QLabel *m_query;
    QTableView *m_grid;
    bool m_logbookChanged = false;
};
