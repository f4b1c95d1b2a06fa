#include "listing/ListingRun.h"

#include "listing/QueryGuard.h"
#include "listing/XlsxExport.h"
#include "logbook/LogFileName.h"

#include <QDir>

namespace ListingRun {

namespace {
const QString GridTitle = QStringLiteral("VARKEL GRID");
const QString QueryTitle = QStringLiteral("VarkelChecker QUERY");
const QString CrLf = QStringLiteral("\r\n");

/// A query or logbook that could not be read: the query shown, the reason as detail.
Failure queryFailure(const QString &query, const QString &reason)
{
    return {QStringLiteral("Attention, your Search Query or LOG is not exactly!") + CrLf + CrLf + query, GridTitle, 16, reason};
}
} // namespace

ReadLimits limits() { return ReadLimits{SheetRows, MaxListingBytes}; }

std::shared_ptr<const LogDatabase> open(const LoadedLog &loaded, LogbookEngine &engine, const QString &query, Failure &failure)
{
    if (loaded.LogName.trimmed().isEmpty()) {
        failure = {QStringLiteral("Attention, your Log Name is not exactly!") + CrLf + CrLf + loaded.LogName, GridTitle, 16, {}};
        return nullptr;
    }
    auto log = engine.open(loaded.LogPath);
    if (!log) {
        failure = queryFailure(query, log.error());
        return nullptr;
    }
    return sharedDatabase(*log);
}

Outcome conclude(const QString &query, ReadResult read)
{
    using End = ReadResult::End;
    Outcome out;
    switch (read.end) {
    case End::Complete:
    case End::RowLimit:
    case End::ByteLimit:
        out.ok = true;
        out.table = std::move(read.table);
        if (read.end == End::RowLimit)
            out.notice = {QStringLiteral("The listing was cut at %1 rows: a spreadsheet sheet holds no more.").arg(out.table.rowCount()),
                          GridTitle,
                          48,
                          {}};
        else if (read.end == End::ByteLimit)
            out.notice = {QStringLiteral("The listing was cut at %1 rows: the rows found take more memory than a listing may hold.")
                              .arg(out.table.rowCount()),
                          GridTitle,
                          48,
                          {}};
        break;
    case End::Cancelled:
        out.cancelled = true;
        break;
    case End::Refused:
        out.failure = {QueryGuard::message(read.refusal), QueryTitle, 48, {}};
        break;
    case End::Failed:
        out.failure = queryFailure(query, read.error);
        break;
    }
    return out;
}

Outcome run(const LoadedLog &loaded, LogbookEngine &engine, const QString &query, const ReadLimits &readLimits)
{
    Outcome out;
    const std::shared_ptr<const LogDatabase> db = open(loaded, engine, query, out.failure);
    if (!db)
        return out;
    return conclude(query, db->read(query, readLimits));
}

QString refusal(const LoadedLog &loaded, LogbookEngine &engine, const QString &query)
{
    Failure unused;
    const std::shared_ptr<const LogDatabase> db = open(loaded, engine, query, unused);
    return db ? QueryGuard::message(db->check(query)) : QString();
}

QString caption(qsizetype records) { return QStringLiteral("Varkel Search query result Records found : ") + QString::number(records); }

QString proposedExportPath(const QString &folder, const QString &logName, const QString &kind, const QDate &date, const QString &suffix)
{
    const Result<QString> display = LogFileName::displayName(logName);
    QString base = display.ok() && !display->isEmpty() ? *display : logName;
    if (base.isEmpty())
        base = QStringLiteral("VARKEL");
    const QString name = base + QLatin1Char('_') + kind + QLatin1Char('_') + date.toString(QStringLiteral("yyyy-MM-dd")) + suffix;
    return QDir(folder).filePath(name);
}

QString notAvailableMessage(const QString &savedPath)
{
    return QStringLiteral("Not available! Can't open Excel application.") + CrLf + CrLf + QStringLiteral("The spreadsheet was saved as:") +
           CrLf + savedPath;
}

} // namespace ListingRun
