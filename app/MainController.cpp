#include "app/MainController.h"

#include "bands/BandChoice.h"
#include "bands/BandPresets.h"
#include "bands/BandSet.h"
#include "bands/LogInventory.h"
#include "bands/MemoFile.h"
#include "listing/DrillDown.h"
#include "listing/GridExport.h"
#include "listing/GridRecordset.h"
#include "listing/ListingExport.h"
#include "listing/ListingRun.h"
#include "listing/XlsxExport.h"
#include "logbook/LogFileName.h"
#include "logbook/types/QuietPrompter.h"
#include "stats/Computations.h"
#include "stats/CountSql.h"
#include "stats/GridTexts.h"
#include "stats/StatsContext.h"
#include "stats/StatsMessages.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTime>
#include <QTimer>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Ft8WithoutLog = QStringLiteral("PLEASE LOAD LOGBOOK or SAVE VARKELCHECKER.EXE in VARKEL/DATA");
const QString LoadError = QStringLiteral("ERROR NO FILE .MDB");
const QString LoadErrorTitle = QStringLiteral("Varkel - Load Log");

QString shortDate() { return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat); }
QString currentTime() { return QTime::currentTime().toString(QStringLiteral("HH:mm:ss")); }

} // namespace

MainController::MainController(Prompter &prompter, const QString &programFolder, QObject *parent)
    : QObject(parent), m_prompter(prompter),
      m_listing(
          m_state, m_matrix, prompter, [this] { return m_ft8; }, [this](const ListingRequest &request) { emit gridRequested(request); })
{
    m_state.ProgramFolder = programFolder;
    connect(&m_matrix, &StatsMatrix::captionChanged, this, [this](StatsMatrix::Line line, int index) {
        if (line == StatsMatrix::Line::Lblstat && index >= CountSlotIndex::FirstHeader)
            emit staleChanged();
    });
    connect(this, &MainController::logbookLoaded, this, &MainController::staleChanged);
    connect(this, &MainController::ft8Changed, this, &MainController::staleChanged);
    connect(this, &MainController::logbookLoaded, this, &MainController::followPath);
    connect(&m_watcher, &LogWatcher::quiet, this, &MainController::followLogbook);
    m_listing.setCheck([this](const QString &query) { return ListingRun::refusal(m_state, m_engine, query); });
}

MainController::~MainController() = default;

void MainController::setYield(std::function<void()> yield)
{
    m_yield = yield ? std::move(yield) : [] {};
}

void MainController::startUp(const Startup &startup)
{
    m_state.PendingLogName = startup.commandLine.trimmed();
    setWindowCaption(GridTexts::credits() + QStringLiteral("             LogBook: [") + m_state.PendingLogName + QStringLiteral("]"));

    if (!m_state.PendingLogName.isEmpty())
        loadLog();

    const int width = startup.screenSize.width();
    const int height = startup.screenSize.height();
    if (width < 1024 || height < 768) {
        m_prompter.message(QStringLiteral("YOUR SCREEN IS set to: %1 x %2").arg(width).arg(height) + CrLf + CrLf +
                               QStringLiteral("The least resolution to correctly use this application is of 1024x768. "
                                              "Takes to provide the I deserve."),
                           MsgFlags::Critical, QStringLiteral("VARKEL STARTUP MINIMAL screen1024x768"));
    }

    m_state.ActiveBandCount = int16_t(BandSet(m_matrix.headers()).activeCount());

    m_state.StationCallsign = startup.callsign;
    setTitolo(GridTexts::TitlePrefix + m_state.StationCallsign + QStringLiteral(" LOG checker"));
}

bool MainController::loadLog()
{
    if (busy())
        return false;
    if (!m_state.PendingLogName.isEmpty()) {
        const QString pending = m_state.PendingLogName;
        m_state.PendingLogName.clear();
        return takeLog(LogFileName::fromCommandLine(pending), LogFileName::resolveCommandLine(pending, m_state.ProgramFolder));
    }
    const QString chosen =
        m_prompter.openFile(QStringLiteral("Select LOG file"), QStringLiteral("VARKEL file (*dt.mdb)"), m_state.ProgramFolder);
    return !chosen.isEmpty() && takeChosen(chosen);
}

bool MainController::loadLogFile(const QString &file) { return !busy() && takeChosen(file); }

bool MainController::takeChosen(const QString &chosen)
{
    const Result<QString> chosenName = LogFileName::fromChosenTitle(QFileInfo(chosen).fileName());
    if (!chosenName) {
        m_prompter.message(LoadError, MsgFlags::Exclamation, LoadErrorTitle, chosenName.error());
        return false;
    }
    // The operator picked this very file, wherever it lies.
    return takeLog(*chosenName, QFileInfo(chosen).absoluteFilePath());
}

bool MainController::takeLog(const QString &name, const QString &path)
{
    // The new name, path and display name are worked out first; the loaded
    // logbook changes only when all of them are good.
    const Result<QString> display = LogFileName::displayName(name);
    if (!display) {
        m_prompter.message(LoadError, MsgFlags::Exclamation, LoadErrorTitle, display.error());
        return false;
    }
    m_state.LogName = name;
    m_state.LogPath = path;

    setWindowCaption(statusCaption(*display));
    setInfo(infoText(*display));
    m_commandsVisible = true;
    emit logbookLoaded();
    return true;
}

bool MainController::runStats(int index)
{
    if (busy() || index < 0 || index > CustomQueryButton)
        return false;

    if (index == CustomQueryButton) {
        if (!m_state.hasLog()) {
            m_prompter.message(StatsMessages::NoLogbook, MsgFlags::Information, QString());
            return true;
        }
        m_prompter.beep();
        m_listing.customQuery();
        return true;
    }

    const RunHooks hooks{.yield = [this] { m_yield(); }, .ft8 = [this] { return m_ft8; }, .stopping = [this] { return m_closing; }};
    StatsContext ctx{m_state, m_matrix, m_engine, m_prompter, hooks};

    m_running = true;
    emit runningChanged(true);
    setChanges({});
    m_runs.push_back(basisNow());
    m_matrix.setRun(int(m_runs.size()) - 1);
    // The file is looked at once, then every computation of the run counts
    // the version read (the host program may write it meanwhile).
    if (m_state.hasLog())
        (void)m_engine.open(m_state.LogPath);
    m_engine.hold();
    runStatistics(ctx, AwardKinds::atButton(index));
    if (m_state.hasLog()) {
        if (const auto counted = m_engine.open(m_state.LogPath))
            m_shown = *counted;
    }
    m_engine.release();
    m_running = false;
    emit runningChanged(false);
    emit staleChanged();
    // Once the grid stands: the hints of its NOT CONFIRMED cells, then the SQLite
    // copy (listings and inventories need it) fills while the operator looks.
    QTimer::singleShot(0, this, [this] {
        workOutHints();
        m_engine.prefetch();
    });
    return true;
}

bool MainController::isStale(StatsMatrix::Line line, int index) const
{
    const int run = m_matrix.runOf(line, index);
    return run > 0 && m_matrix.caption(line, index) != QLatin1String(GridTexts::NotComputed) &&
           ::isStale(m_runs[size_t(run)], basisNow(), line, index);
}

bool MainController::isQsoTotalStale() const
{
    const int run = m_matrix.countQsoRun();
    return run > 0 && ::isQsoTotalStale(m_runs[size_t(run)], basisNow());
}

bool MainController::anyStale() const
{
    using Line = StatsMatrix::Line;
    if (isQsoTotalStale())
        return true;
    for (int i = 0; i < CountSlotIndex::Cells; ++i) {
        if (isStale(Line::Lblstat, i))
            return true;
    }
    for (const Line line : {Line::Mix, Line::Tot, Line::Full}) {
        for (int r = 0; r < CountSlotIndex::Slots; ++r) {
            if (isStale(line, r))
                return true;
        }
    }
    return false;
}

void MainController::setFt8(bool checked)
{
    if (m_ft8 == checked)
        return;
    m_ft8 = checked;
    emit ft8Changed(checked);
}

void MainController::warnFt8WithoutLog()
{
    m_prompter.message(Ft8WithoutLog, MsgFlags::OkOnly, QString());
    setFt8(false);
}

void MainController::clickFt8()
{
    if (!m_state.hasLog())
        warnFt8WithoutLog();
}

void MainController::ft8GotFocus(bool byMouse)
{
    // A click brings its own warning; warning on the focus as well would ask twice.
    if (byMouse && !m_state.hasLog())
        return;
    updateDataCaptions();
}

void MainController::ft8LostFocus() { updateDataCaptions(); }

void MainController::updateDataCaptions()
{
    if (!m_state.hasLog()) {
        warnFt8WithoutLog();
        return;
    }
    setDataCaption(GridTexts::dataCaption(m_ft8));
}

bool MainController::applyPreset(const QString &name)
{
    if (busy())
        return false;
    const BandPreset *preset = BandPresets::find(name);
    if (!preset)
        return false;
    if (preset->clearFirst) {
        for (int c = 0; c < CountSlotIndex::Bands; ++c)
            m_matrix.setHeader(c, QString());
    }
    const QStringList headers = BandPresets::headersAfter(*preset, m_matrix.headers());
    for (int c = 0; c < CountSlotIndex::Bands; ++c)
        m_matrix.setHeader(c, headers[c]);
    return true;
}

void MainController::requestStop()
{
    m_closing = true;
    m_watcher.stop();
}

void MainController::showInfo()
{
    m_prompter.message(
        QStringLiteral("VarkelChecker is a test release - ") + GridTexts::version() + CrLf + CrLf +
            QStringLiteral("Contact: the VarkelChecker developers, through the project's issue tracker.") + CrLf +
            QStringLiteral("With a report, please give the release (%1) and what you did before the fault.").arg(GridTexts::version()) +
            CrLf + CrLf + QStringLiteral("Please don't ask additions but check possible bug on the actual release!"),
        MsgFlags::Information, QStringLiteral("Varkel-Checker test!"));
    m_prompter.message(QStringLiteral("This program is given as it is, without warranty of any kind.") + CrLf +
                           QStringLiteral("It only reads your logbook; use its counts at your own risk and check them "
                                          "against your QSL cards before you apply for an award."),
                       MsgFlags::OkOnly, QStringLiteral("VARKEL warranty"));
}

void MainController::checkBands() { listDistinct(LogInventory::BandQuery, QStringLiteral("Banda"), QStringLiteral("VARKEL BAND CHECK")); }

void MainController::checkModes() { listDistinct(LogInventory::ModeQuery, QStringLiteral("Mode"), QStringLiteral("VARKEL MODE CHECK")); }

void MainController::listDistinct(const QString &query, const QString &field, const QString &title)
{
    if (busy())
        return;
    if (!m_state.hasLog()) {
        m_prompter.message(StatsMessages::NoLogbook, MsgFlags::Information, QString());
        return;
    }
    const auto db = m_engine.open(m_state.LogPath);
    const Result<QStringList> values =
        db ? LogInventory::values((*db)->database(), query, field) : Result<QStringList>::failure(db.error());
    if (!values) {
        m_prompter.message(StatsMessages::QsoError, MsgFlags::Information, StatsMessages::QsoNrTitle, values.error());
        return;
    }
    m_prompter.message(LogInventory::asLines(*values), MsgFlags::Information, title);
}

void MainController::doubleClickCell(int lblstatIndex)
{
    if (busy())
        return;
    m_listing.cellDoubleClicked(lblstatIndex);
}

void MainController::doubleClickMix(int slot)
{
    if (busy())
        return;
    m_listing.mixDoubleClicked(slot);
}

void MainController::clickFull(int slot)
{
    if (busy())
        return;
    m_listing.fullClicked(slot);
}

void MainController::doubleClickHeader(int /*band: every header opens the same list*/)
{
    if (busy())
        return;
    m_prompter.beep();
    if (!m_state.hasLog())
        return;
    // Failures leave the list empty, without a message.
    QStringList bands;
    if (const auto db = m_engine.open(m_state.LogPath)) {
        if (const Result<QStringList> values = LogInventory::values((*db)->database(), LogInventory::BandQuery, QStringLiteral("Banda")))
            bands = *values;
    }
    emit choicePanelRequested(bands);
}

void MainController::chooseListBand(const QString &item)
{
    if (!busy())
        setHeaders(BandChoice::choose(m_matrix.headers(), item));
}

void MainController::clearLastBand()
{
    if (!busy())
        setHeaders(BandChoice::clearLast(m_matrix.headers()));
}

void MainController::setHeaders(const QStringList &headers)
{
    for (int c = 0; c < CountSlotIndex::Bands; ++c)
        m_matrix.setHeader(c, headers.value(c));
}

void MainController::clickBandButton(int band)
{
    if (busy())
        return;
    m_prompter.beep();
    if (BandSet::isBlank(m_matrix.header(band)))
        return;
    const QString header = m_matrix.header(band).trimmed();
    if (!m_state.hasLog()) {
        m_prompter.message(StatsMessages::NoLogbook, MsgFlags::Information, QStringLiteral("Varkelchecker - Check BAND"));
        return;
    }
    m_state.ChosenBand = header;
    emit bandWindowRequested();
}

QString MainController::statusCaption(const QString &display) const
{
    return GridTexts::credits() + QStringLiteral("            Status LogBook: [") + display + QStringLiteral(" - ") + shortDate() +
           QStringLiteral("]");
}

QString MainController::infoText(const QString &display) const
{
    return QStringLiteral("InfoLog: ") + shortDate() + QStringLiteral(" / ") + currentTime() + CrLf + QStringLiteral("LogName: ") + display;
}

QString MainController::displayName() const
{
    const Result<QString> display = LogFileName::displayName(m_state.LogName);
    return display.ok() ? *display : QString();
}

QString MainController::bandWindowCaption() const { return statusCaption(displayName()); }

QString MainController::bandWindowInfo() const { return infoText(displayName()); }

QString MainController::bandWindowTitolo() const
{
    return GridTexts::TitlePrefix + m_state.StationCallsign + QStringLiteral(" BAND [") + m_state.ChosenBand + QStringLiteral("] checker");
}

void MainController::chooseMemo(int number)
{
    if (busy())
        return;
    const Result<QStringList> headers = MemoFile::read(MemoFile::path(m_state.ProgramFolder, number));
    if (!headers) {
        m_prompter.message(MemoFile::failureMessage(), MsgFlags::Exclamation, MemoFile::failureTitle(), headers.error());
        return;
    }
    setHeaders(*headers);
}

void MainController::exportToExcel()
{
    if (busy())
        return;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString kind = QStringLiteral("GRID_") + (m_matrix.kind() ? m_matrix.modo() : QStringLiteral("NONE"));
    exportWorkbook(m_prompter, ListingRun::proposedExportPath(folder, m_state.LogName, kind, QDate::currentDate()),
                   [this](const QString &path) {
                       const auto stale = [this](StatsMatrix::Line line, int index) { return isStale(line, index); };
                       return writeSheetsXlsx(
                           path, {{m_matrix.modo(), statsGridSheet(m_matrix, displayName(), m_dataCaption, stale, isQsoTotalStale())}});
                   });
}

void MainController::workOutHints()
{
    m_hints.reset();
    const CountBasis &counted = m_runs.back();
    const std::optional<AwardKind> kind = m_matrix.kind();
    m_hintsLog.reset();
    if (m_state.hasLog() && kind && AwardKinds::countsEntities(*kind)) {
        if (const auto log = m_engine.open(counted.logPath)) {
            Result<Chase::Lists> lists = Needed::lists(**log, *kind, counted.headers, counted.ft8);
            if (lists) {
                m_hints = std::move(*lists);
                m_hintsLog = *log;
                m_hintsKind = *kind;
            }
        }
    }
    emit hintsChanged();
}

QString MainController::notConfirmedHint(int band, ModeClass mode) const
{
    return m_hints ? Needed::hint(*m_hints, m_hintsKind, band, mode) : QString();
}

std::optional<MatrixReport::Basis> MainController::listedBasis(const QString &title, const QString &purpose)
{
    if (busy())
        return std::nullopt;
    if (!m_state.hasLog()) {
        m_prompter.message(StatsMessages::NoLogbook, MsgFlags::Information, QString());
        return std::nullopt;
    }
    const std::optional<AwardKind> kind = m_matrix.kind();
    if (!kind || !AwardKinds::countsEntities(*kind)) {
        m_prompter.message(purpose + QStringLiteral(": press DXC, WPX, WAZ, ITU, WAC or SQR first."), MsgFlags::Information, title);
        return std::nullopt;
    }
    const auto log = m_engine.open(m_state.LogPath);
    if (!log) {
        m_prompter.message(StatsMessages::EntityError, MsgFlags::Information, title, log.error());
        return std::nullopt;
    }
    return MatrixReport::Basis{*log, *kind, m_matrix.headers(), m_ft8};
}

void MainController::needed()
{
    const QString title = QStringLiteral("VarkelChecker - NEEDED");
    const std::optional<MatrixReport::Basis> basis = listedBasis(title, QStringLiteral("NEEDED lists what an award still needs"));
    if (!basis)
        return;
    Result<Needed::Report> report = Needed::report(*basis->log, basis->kind, basis->headers, basis->ft8);
    if (!report) {
        m_prompter.message(StatsMessages::EntityError, MsgFlags::Information, title, report.error());
        return;
    }
    report->log = basis->log;
    emit neededReady(*report);
}

void MainController::awardMatrix()
{
    const QString title = QStringLiteral("VarkelChecker - MATRIX");
    const std::optional<MatrixReport::Basis> basis =
        listedBasis(title, QStringLiteral("MATRIX shows the entities of an award band by band"));
    if (!basis)
        return;
    const Result<MatrixReport::Report> report = MatrixReport::report(*basis, ModeClass::All);
    if (!report) {
        m_prompter.message(StatsMessages::EntityError, MsgFlags::Information, title, report.error());
        return;
    }
    emit awardMatrixReady(*basis, *report);
}

void MainController::listMatrixCell(const MatrixReport::Basis &basis, const QString &entity, const QString &band, ModeClass mode)
{
    if (!busy())
        m_listing.matrixCellDoubleClicked(basis.kind, entity, band, mode, basis.ft8);
}

void MainController::exportMatrixCellAdif(const MatrixReport::Basis &basis, const QString &entity, const QString &band, ModeClass mode)
{
    if (busy() || !m_state.hasLog())
        return;
    const DrillDown::Request q = DrillDown::matrixCell(basis.kind, entity, band, mode, basis.ft8);
    if (q.outcome != DrillDown::Outcome::Listing)
        return;
    ListingRun::Outcome outcome = ListingRun::run(m_state, m_engine, q.sql);
    if (!outcome.ok) {
        if (!outcome.cancelled)
            m_prompter.message(outcome.failure.text, outcome.failure.flags, outcome.failure.title, outcome.failure.detail);
        return;
    }
    GridRecordset rows;
    rows.setTable(std::move(outcome.table), false);
    exportListingAdif(m_prompter, m_state, basis.kind, rows, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                      QDate::currentDate());
}

void MainController::print()
{
    if (!busy())
        emit printRequested();
}

void MainController::setText(QString &field, const QString &text, void (MainController::*changed)(const QString &))
{
    if (field == text)
        return;
    field = text;
    emit(this->*changed)(text);
}

void MainController::setWindowCaption(const QString &caption) { setText(m_windowCaption, caption, &MainController::windowCaptionChanged); }
void MainController::setTitolo(const QString &text) { setText(m_titolo, text, &MainController::titoloChanged); }
void MainController::setInfo(const QString &text) { setText(m_info, text, &MainController::infoChanged); }
void MainController::setDataCaption(const QString &caption) { setText(m_dataCaption, caption, &MainController::dataCaptionChanged); }

void MainController::setLive(bool on)
{
    if (m_live == on)
        return;
    m_live = on;
    emit liveChanged(on);
    if (!on) {
        m_watcher.stop();
        return;
    }
    if (m_state.hasLog())
        m_watcher.watch(m_state.LogPath);
    // What the host program wrote while the box was off shows now.
    if (m_shown)
        QTimer::singleShot(0, this, &MainController::followLogbook);
}

void MainController::followPath()
{
    m_shown.reset();
    m_uncounted.reset();
    m_failingSince.invalidate();
    setChanges({});
    setLiveNote(QString());
    if (m_live && m_state.hasLog())
        m_watcher.watch(m_state.LogPath);
    else
        m_watcher.stop();
}

void MainController::followLogbook()
{
    if (!m_live || !m_state.hasLog() || m_closing)
        return;
    if (busy() || m_updateBlocked()) {
        m_watcher.retry();
        return;
    }
    const auto log = m_engine.open(m_state.LogPath);
    if (!log) {
        liveReadFailed(log.error());
        return;
    }
    m_failingSince.invalidate();
    if (*log == m_shown || *log == m_uncounted)
        return; // touched, or written back as it was; or already found uncountable
    // The grid, its hints and every window refreshed count this version.
    m_engine.hold();
    QString reason;
    if (updateCounts(**log, reason)) {
        m_shown = *log;
        m_uncounted.reset();
        emit logbookUpdated();
    } else {
        // Read whole, but a count failed on it: the counts shown stay. Trying
        // again would fail the same way; a new change of the file is followed.
        m_uncounted = *log;
        setLiveNote(LiveUpdate::countFailureNote(QTime::currentTime(), reason));
    }
    m_engine.release();
}

bool MainController::updateCounts(const LogSnapshot &log, QString &reason)
{
    using Line = StatsMatrix::Line;
    const int lastRun = int(m_runs.size()) - 1;
    const CountBasis &counted = m_runs.back();
    const std::optional<AwardKind> kind = m_matrix.kind();
    std::vector<LiveUpdate::ChangedCount> changes;
    std::vector<LiveUpdate::NewEntity> news;
    const bool recount = kind && lastRun > 0 && counted.logPath == m_state.LogPath;
    if (recount) {
        StatsMatrix fresh;
        QuietPrompter quiet;
        if (!runDetached(fresh, m_state, m_engine, quiet, *kind, counted.headers, counted.ft8)) {
            reason = quiet.reason;
            return false;
        }
        if (m_shown && AwardKinds::countsEntities(*kind)) {
            Result<std::vector<LiveUpdate::NewEntity>> found = LiveUpdate::newEntities(*m_shown, log, *kind, counted.headers, counted.ft8);
            if (!found) {
                reason = found.error();
                return false;
            }
            for (const LiveUpdate::NewEntity &e : *found) {
                if (!isStale(Line::Lblstat, CountSlotIndex::cell(e.position, CountSlotIndex::slot(QslStatus::Worked, e.mode))))
                    news.push_back(e);
            }
        }
        changes = LiveUpdate::apply(m_matrix, fresh, [this, lastRun](Line line, int index) {
            return m_matrix.runOf(line, index) == lastRun && !isStale(line, index);
        });
    }
    const std::optional<qint64> before = m_shown ? std::optional<qint64>(qint64(m_shown->columnar().rowCount())) : std::nullopt;
    setLiveNote(LiveUpdate::note(QTime::currentTime(), before, qint64(log.columnar().rowCount()), news, counted.headers, counted.ft8));
    setChanges(std::move(changes));
    if (recount)
        workOutHints();
    return true;
}

void MainController::liveReadFailed(const QString &reason)
{
    if (!m_failingSince.isValid())
        m_failingSince.start();
    const qint64 failing = m_failingSince.elapsed();
    if (failing >= m_failureNoteMs)
        setLiveNote(LiveUpdate::failureNote(failing / 1000, reason));
    m_watcher.retry();
}

void MainController::setLiveNote(const QString &text) { setText(m_liveNote, text, &MainController::liveNoteChanged); }

void MainController::setChanges(std::vector<LiveUpdate::ChangedCount> changes)
{
    if (changes.empty() && m_changes.empty())
        return;
    m_changes = std::move(changes);
    emit changedCountsChanged();
}
