#pragma once
#include "app/LogState.h"
#include "app/LogWatcher.h"
#include "listing/ListingActions.h"
#include "logbook/LogbookEngine.h"
#include "logbook/types/Prompter.h"
#include "stats/LiveUpdate.h"
#include "stats/MatrixReport.h"
#include "stats/NeededLists.h"
#include "stats/StaleCounts.h"
#include "stats/StatsMatrix.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

/// The main window's behaviour without the widgets: start-up, loading a
/// logbook, the award buttons, the FT8 option, the BAND presets and the
/// information commands. The window shows what it holds and forwards every
/// click; clicks that later work answers (listings, band choice list, single
/// band window, memo files, export, print) come out as signals.
///
/// A statistics run processes pending events between queries (the yield), so
/// clicks can arrive while it runs: the controller ignores every run, preset,
/// load, header change and drill-down until the run has ended, and a window
/// that closes meanwhile ends the run at its next yield without another message.
class MainController : public QObject {
    Q_OBJECT
public:
    /// What start-up needs from the outside world.
    struct Startup {
        QString commandLine; ///< the program's arguments joined by blanks
        QSize screenSize;    ///< primary screen in pixels
        QString callsign;    ///< station callsign from the host program's settings
    };

    /// Index of the award button that opens the custom query instead of a run.
    static constexpr int CustomQueryButton = 7;

    MainController(Prompter &prompter, const QString &programFolder, QObject *parent = nullptr);
    ~MainController() override;

    LogState &state() { return m_state; }
    const LogState &state() const { return m_state; }
    StatsMatrix &matrix() { return m_matrix; }
    LogbookEngine &engine() { return m_engine; }
    Prompter &prompter() { return m_prompter; }

    QString windowCaption() const { return m_windowCaption; }
    QString titolo() const { return m_titolo; }           ///< LblTitolo
    QString info() const { return m_info; }               ///< LblInfo (lines joined by CR LF)
    QString dataCaption() const { return m_dataCaption; } ///< "DATA" or "FT8": the DATA column titles
    bool commandsVisible() const { return m_commandsVisible; }
    bool ft8() const { return m_ft8; }
    bool isRunning() const { return m_running; }
    bool isClosing() const { return m_closing; }

    /// What a run calls between two queries; the window processes pending events there.
    void setYield(std::function<void()> yield);

    /// Window load: command-line logbook, captions, screen check, band count, callsign.
    void startUp(const Startup &startup);

    /// "Load LogBook": a pending command-line name, else the file dialog.
    /// True when a logbook was loaded.
    bool loadLog();
    /// Loads the logbook `file` as if it had been picked in the file dialog
    /// (an entry of the recent logbooks). True when it was loaded.
    bool loadLogFile(const QString &file);

    /// Award button `index` 0..7. False when ignored (a run is in progress).
    bool runStats(int index);

    /// FT8 check box value as the box shows it.
    void setFt8(bool checked);
    /// FT8 check box clicked: without a logbook the operator is told and the box unchecked.
    void clickFt8();
    /// FT8 check box got the focus; a mouse click is followed by its own click handler.
    void ft8GotFocus(bool byMouse);
    /// FT8 check box lost the focus.
    void ft8LostFocus();
    /// Switches the DATA column titles between "DATA" and "FT8" (or warns without a logbook).
    void updateDataCaptions();

    /// Applies the BAND menu entry with this entry name or caption; false when
    /// ignored (unknown, or a run is in progress).
    bool applyPreset(const QString &name);

    /// The window is closing: a run in progress ends at its next yield.
    void requestStop();

    /// Information boxes (INFO).
    void showInfo();
    /// Bands present in the log (Check your BAND).
    void checkBands();
    /// Modes present in the log (Check your MODE).
    void checkModes();

    // The window's grid and menus. Each is ignored while a run is in progress.
    void doubleClickCell(int lblstatIndex);
    void doubleClickMix(int slot);
    void clickFull(int slot);
    void doubleClickHeader(int band);
    void clickBandButton(int band);
    void chooseMemo(int number);
    void exportToExcel();
    void print();
    /// NEEDED: the chase lists of the last run's award kind over the band set.
    void needed();
    /// MATRIX: the award matrix of the last run's award kind over the band set.
    void awardMatrix();
    /// A double-click on a cell of the award matrix: lists the contacts of
    /// the entity on the band in the mode class (gridRequested).
    void listMatrixCell(const MatrixReport::Basis &basis, const QString &entity, const QString &band, ModeClass mode);
    /// EXPORT ADIF of the award matrix: the contacts behind a cell, those the
    /// double-click lists, as an ADIF file.
    void exportMatrixCellAdif(const MatrixReport::Basis &basis, const QString &entity, const QString &band, ModeClass mode);

    /// The tool tip of the NOT CONFIRMED cell of a band position and mode
    /// class after an entity run ("3 not confirmed: 3B8, VK9X, ZS8"); empty
    /// when there is nothing to tell.
    QString notConfirmedHint(int band, ModeClass mode) const;
    /// The logbook's display name; empty when none is loaded.
    QString displayName() const;

    /// The band choice list: a band double-clicked in the list goes to the first
    /// empty header; "CLEAR BAND" empties the last header that holds a band.
    void chooseListBand(const QString &item);
    void clearLastBand();

    /// True when the count shown at `line`/`index` was counted under another
    /// band, logbook or FT8 choice than the window shows now ("-" never is).
    bool isStale(StatsMatrix::Line line, int index) const;
    /// True when the QSO total shown was counted on another logbook.
    bool isQsoTotalStale() const;
    /// True when any count shown, or the QSO total, is stale.
    bool anyStale() const;

    /// LIVE: the loaded logbook is followed while the host program writes it;
    /// off, the counts stay as they were counted.
    void setLive(bool on);
    bool live() const { return m_live; }
    LogWatcher &watcher() { return m_watcher; }
    /// While this says so (the single-band window is counting), an update
    /// waits for the next quiet interval.
    void setUpdateBlocked(std::function<bool()> blocked) { m_updateBlocked = std::move(blocked); }
    /// Reads the logbook followed and, when it is another version than the
    /// one counted, counts the last run again over its band set and FT8
    /// option; counts already stale stay as they are. A read that saw the file
    /// change is tried again after the next quiet interval.
    void followLogbook();
    /// How long reads of a changed logbook fail before the line under the grid says so.
    void setFailureNoteAfter(int ms) { m_failureNoteMs = ms; }
    /// The counts the last update changed, until the next update or run.
    const std::vector<LiveUpdate::ChangedCount> &changedCounts() const { return m_changes; }
    /// The line under the grid about the logbook followed; empty before the first update.
    QString liveNote() const { return m_liveNote; }
    /// The version of the logbook the counts shown were counted on; none before the first run or update.
    std::shared_ptr<const LogSnapshot> shownLog() const { return m_shown; }

    /// Texts of the single-band window for the chosen band.
    QString bandWindowCaption() const;
    QString bandWindowTitolo() const;
    QString bandWindowInfo() const;

signals:
    void windowCaptionChanged(const QString &caption);
    void titoloChanged(const QString &text);
    void infoChanged(const QString &text);
    void dataCaptionChanged(const QString &caption);
    void ft8Changed(bool checked);
    /// A load succeeded: commands that need a logbook are shown from now on.
    void logbookLoaded();
    void runningChanged(bool running);
    /// Counts may have become stale, or fresh again (headers, logbook, FT8 option, a run).
    void staleChanged();
    /// The NOT CONFIRMED cells' hints were worked out anew.
    void hintsChanged();
    /// The chase lists are ready: the window shows them.
    void neededReady(const Needed::Report &report);
    /// The award matrix is ready, in the MIX class: the window shows it.
    void awardMatrixReady(const MatrixReport::Basis &basis, const MatrixReport::Report &report);

    void liveChanged(bool on);
    /// The counts of the last update were marked, or the marks cleared by a run.
    void changedCountsChanged();
    void liveNoteChanged(const QString &text);
    /// The logbook followed was read anew and the grid updated: the windows
    /// open refresh what they show from shownLog() (the engine hands out that
    /// version while the signal is handled).
    void logbookUpdated();

    /// PRT button.
    void printRequested();

    /// A listing is ready: the window shows the result grid.
    void gridRequested(const ListingRequest &request);
    /// A header was double-clicked with a logbook loaded: the band choice panel
    /// opens with the bands of the log (as far as they could be read).
    void choicePanelRequested(const QStringList &bands);
    /// A band button was pressed for a band: the single-band window shows state().ChosenBand.
    void bandWindowRequested();

private:
    /// Sets a text the window shows; `changed` tells it when that changed the text.
    void setText(QString &field, const QString &text, void (MainController::*changed)(const QString &));
    void setWindowCaption(const QString &caption);
    void setTitolo(const QString &text);
    void setInfo(const QString &text);
    void setDataCaption(const QString &caption);
    void warnFt8WithoutLog();
    void listDistinct(const QString &query, const QString &field, const QString &title);
    bool busy() const { return m_running; }
    /// The end of a load: `name` and `path` become the loaded logbook when its
    /// display name can be formed.
    bool takeLog(const QString &name, const QString &path);
    /// A load of the file the operator picked.
    bool takeChosen(const QString &chosen);
    /// What NEEDED and MATRIX list: the last run's award kind, the band set and
    /// the FT8 option on the logbook as the engine hands it out now. Without a
    /// logbook or an entity kind the operator is told (`purpose` says what the
    /// command does), and when the logbook cannot be read why; then there is none.
    std::optional<MatrixReport::Basis> listedBasis(const QString &title, const QString &purpose);

    void setHeaders(const QStringList &headers);
    QString statusCaption(const QString &display) const;
    QString infoText(const QString &display) const;
    CountBasis basisNow() const { return {m_matrix.headers(), m_state.LogPath, m_ft8}; }

    Prompter &m_prompter;
    LogState m_state;
    StatsMatrix m_matrix;
    LogbookEngine m_engine;
    ListingActions m_listing;
    std::function<void()> m_yield = [] {};
    /// What each run counted under; a label's run (StatsMatrix::runOf) picks its
    /// entry. Entry 0 stands for the captions before any run.
    std::vector<CountBasis> m_runs = {CountBasis{}};
    std::optional<Chase::Lists> m_hints;           ///< of the last entity run, for the NOT CONFIRMED cells
    std::shared_ptr<const LogSnapshot> m_hintsLog; ///< whose texts m_hints holds
    AwardKind m_hintsKind = AwardKind::Qso;        ///< the kind of m_hints
    void workOutHints();

    /// Counts the last run again on `log` into the grid; false, with the reason, when a computation failed.
    bool updateCounts(const LogSnapshot &log, QString &reason);
    void liveReadFailed(const QString &reason);
    void setLiveNote(const QString &text);
    void setChanges(std::vector<LiveUpdate::ChangedCount> changes);
    void followPath();

    LogWatcher m_watcher;
    bool m_live = true;
    std::function<bool()> m_updateBlocked = [] { return false; };
    std::shared_ptr<const LogSnapshot> m_shown;
    std::shared_ptr<const LogSnapshot> m_uncounted; ///< read whole, but the last run could not be counted on it
    std::vector<LiveUpdate::ChangedCount> m_changes;
    QString m_liveNote;
    QElapsedTimer m_failingSince; ///< running while reads of a changed logbook fail
    int m_failureNoteMs = 30000;  ///< failing that long is said under the grid

    QString m_windowCaption;
    QString m_titolo;
    QString m_info;
    QString m_dataCaption = QStringLiteral("DATA");
    bool m_commandsVisible = false;
    bool m_ft8 = false;
    bool m_running = false;
    bool m_closing = false;
};
