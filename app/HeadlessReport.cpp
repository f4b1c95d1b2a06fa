#include "app/HeadlessReport.h"

#include "app/LogWatcher.h"
#include "app/MatrixWriter.h"
#include "app/ReportWriter.h"
#include "app/StopSignal.h"
#include "bands/BandSet.h"
#include "logbook/LogFileName.h"
#include "logbook/LogbookEngine.h"
#include "logbook/types/QuietPrompter.h"
#include "stats/Computations.h"
#include "stats/StatsMatrix.h"
#include "stats/StatsMessages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace HeadlessReport {

namespace {

/// Messages go to the error stream, with their reason; nobody is there to answer questions.
class StreamPrompter : public QuietPrompter {
public:
    explicit StreamPrompter(QTextStream &err) : m_err(err) {}

    int message(const QString &text, int, const QString &title, const QString &detail) override
    {
        QString shown = text;
        if (!detail.isEmpty())
            shown += QStringLiteral(" (") + detail + QStringLiteral(")");
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_err << (title.isEmpty() ? QStringLiteral("VarkelChecker") : title) << ": " << shown << Qt::endl;
        return MsgAnswer::Ok;
    }

private:
    QTextStream &m_err;
};

/// The chase lists of --needed from `engine`; the status as run() gives it.
int runNeeded(const Options &options, const QString &path, const QStringList &headers, LogbookEngine &engine, QTextStream &out,
              StreamPrompter &prompter, const QString &read)
{
    const auto log = engine.open(path);
    Result<Needed::Report> report =
        log ? Needed::report(**log, options.kind, headers, options.ft8) : Result<Needed::Report>::failure(log.error());
    if (!report) {
        prompter.message(StatsMessages::EntityError, MsgFlags::Information, QStringLiteral("VarkelChecker - NEEDED"), report.error());
        return 1;
    }
    writeNeeded(out, options, path, **log, *report, read);
    out.flush();
    return 0;
}

/// The award matrix of --matrix from `engine`; the status as run() gives it.
int runMatrix(const Options &options, const QString &path, const QStringList &headers, LogbookEngine &engine, QTextStream &out,
              StreamPrompter &prompter)
{
    const auto log = engine.open(path);
    const Result<MatrixReport::Report> report = log ? MatrixReport::report({*log, options.kind, headers, options.ft8}, options.matrixClass)
                                                    : Result<MatrixReport::Report>::failure(log.error());
    if (!report) {
        prompter.message(StatsMessages::EntityError, MsgFlags::Information, QStringLiteral("VarkelChecker - MATRIX"), report.error());
        return 1;
    }
    writeMatrix(out, options, path, *report);
    out.flush();
    return 0;
}

/// One report (the grid or the chase lists) of `logbook` as
/// `engine` reads it; the status as run() gives it. When `read` is given
/// (watching) nothing is printed unless every computation succeeded.
int reportOnce(const Options &options, const LoadedLog &logbook, LogbookEngine &engine, QTextStream &out, StreamPrompter &prompter,
               const QString &read = QString())
{
    if (options.needed)
        return runNeeded(options, logbook.LogPath, BandSet(options.headers).labels(), engine, out, prompter, read);
    if (options.matrix)
        return runMatrix(options, logbook.LogPath, BandSet(options.headers).labels(), engine, out, prompter);

    StatsMatrix matrix;
    const bool failed = !runDetached(matrix, logbook, engine, prompter, options.kind, options.headers, options.ft8);
    if (failed && !read.isEmpty())
        return 1;
    writeGrid(out, options, logbook.LogPath, matrix, read);
    out.flush();
    return failed ? 1 : 0;
}

/// --watch: a report of the logbook as it is, then one each time it has
/// changed and been read whole, until the program is asked to stop.
int watch(const Options &options, const LoadedLog &logbook, QTextStream &out, StreamPrompter &prompter)
{
    LogbookEngine engine;
    LogWatcher watcher;
    std::shared_ptr<const LogSnapshot> shown;
    const auto attempt = [&] {
        const QString read = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
        const auto log = engine.open(logbook.LogPath);
        if (!log) {
            prompter.message(QStringLiteral("The logbook could not be read; watching goes on."), MsgFlags::Information,
                             QStringLiteral("VarkelChecker - watch"), log.error());
            watcher.retry();
            return;
        }
        if (*log == shown)
            return; // touched, or written back as it was
        // Every computation of this report counts the version just read.
        engine.hold();
        const int status = reportOnce(options, logbook, engine, out, prompter, read);
        engine.release();
        if (status == 0)
            shown = *log;
        else
            watcher.retry();
    };
    QObject::connect(&watcher, &LogWatcher::quiet, &watcher, attempt);
    quitOnStopSignals();
    // Followed from before the first read, so that a change while it runs is seen.
    watcher.watch(logbook.LogPath);
    attempt();
    QCoreApplication::exec();
    return 0;
}

} // namespace

QString resolveLogbook(const QString &argument, const QString &programFolder)
{
    const QString beside = LogFileName::resolveCommandLine(argument, programFolder);
    if (QFileInfo::exists(beside))
        return QFileInfo(beside).absoluteFilePath();
    const QString here = LogFileName::resolveCommandLine(argument, QDir::currentPath());
    if (QFileInfo::exists(here))
        return QFileInfo(here).absoluteFilePath();
    return beside;
}

int run(const Options &options, const QString &programFolder, QTextStream &out, QTextStream &err)
{
    const LoadedLog logbook{LogFileName::fromCommandLine(options.logbook), resolveLogbook(options.logbook, programFolder)};
    StreamPrompter prompter(err);
    if (options.watch)
        return watch(options, logbook, out, prompter);

    LogbookEngine engine;
    const int status = reportOnce(options, logbook, engine, out, prompter);
    if (status != 0 && !options.needed && !options.matrix)
        err << "LogBook: " << logbook.LogPath << Qt::endl;
    return status;
}

int exec(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Result<Options> options = parseArguments(app.arguments().mid(1));
    if (!options) {
        err << refusal(options.error());
        return 2;
    }
    if (options->help) {
        out << usage();
        return 0;
    }
    return run(*options, QCoreApplication::applicationDirPath(), out, err);
}

} // namespace HeadlessReport
