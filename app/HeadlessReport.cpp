#include "HeadlessReport.h"

#include "Computations.h"
#include "LogFileName.h"
#include "LogbookEngine.h"
#include "Prompter.h"
#include "ReportWriter.h"
#include "StatsContext.h"
#include "StatsMatrix.h"
#include "StatsMessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace HeadlessReport {

namespace {

/// Messages go to the error stream, with their reason; nobody is there to answer questions.
class StreamPrompter : public Prompter {
public:
    explicit StreamPrompter(QTextStream &err) : m_err(err) {}

    int message(const QString &text, int, const QString &title, const QString &detail) override
    {
        ++m_messages;
        QString shown = text;
        if (!detail.isEmpty())
            shown += QStringLiteral(" (") + detail + QStringLiteral(")");
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_err << (title.isEmpty() ? QStringLiteral("VarkelChecker") : title) << ": " << shown << Qt::endl;
        return MsgAnswer::Ok;
    }
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFile(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(const QString &, const QString &, const QString &) override { return {}; }
    void beep() override {}

    int messages() const { return m_messages; }

private:
    QTextStream &m_err;
    int m_messages = 0;
};

/// The chase lists of --needed; the status as run() gives it.
int runNeeded(const Options &options, const QString &path, const QStringList &headers, QTextStream &out, StreamPrompter &prompter)
{
    LogbookEngine engine;
    const auto log = engine.open(path);
    Result<Needed::Report> report =
        log ? Needed::report(**log, options.kind, headers, options.ft8) : Result<Needed::Report>::failure(log.error());
    if (!report) {
        prompter.message(StatsMessages::EntityError, MsgFlags::Information, QStringLiteral("VarkelChecker - NEEDED"), report.error());
        return 1;
    }
    writeNeeded(out, options, path, **log, *report);
    out.flush();
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
    LogState state;
    state.ProgramFolder = programFolder;
    state.LogName = LogFileName::fromCommandLine(options.logbook);
    state.LogPath = resolveLogbook(options.logbook, programFolder);
    StatsMatrix matrix;
    for (int c = 0; c < CountSlotIndex::Bands; ++c)
        matrix.setHeader(c, options.headers.value(c));
    LogbookEngine engine;
    StreamPrompter prompter(err);

    if (options.needed)
        return runNeeded(options, state.LogPath, matrix.headers(), out, prompter);

    StatsContext ctx{state, matrix, engine, prompter};
    const bool ft8 = options.ft8;
    ctx.ft8 = [ft8] { return ft8; };
    runStatistics(ctx, options.kind);

    writeGrid(out, options, state.LogPath, matrix);
    out.flush();
    if (prompter.messages() > 0) {
        err << "LogBook: " << state.LogPath << Qt::endl;
        return 1;
    }
    return 0;
}

int exec(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Result<Options> options = parseArguments(app.arguments().mid(1));
    if (!options) {
        err << "varkelchecker: " << options.error() << "\n\n" << usage();
        return 2;
    }
    if (options->help) {
        out << usage();
        return 0;
    }
    return run(*options, QCoreApplication::applicationDirPath(), out, err);
}

} // namespace HeadlessReport
