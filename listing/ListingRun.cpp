#include "ListingRun.h"

#include "LogFileName.h"

#include <QDir>

namespace ListingRun {

namespace {
const QString GridTitle = QStringLiteral("VARKEL GRID");
const QString CrLf = QStringLiteral("\r\n");
} // namespace

Outcome run(const LogState &state, LogbookEngine &engine)
{
    Outcome out;
    const QString query = state.ListingQuery;
    if (state.LogName.trimmed().isEmpty()) {
        out.failure = {QStringLiteral("Attention, your Log Name is not exactly!") + CrLf + CrLf + state.LogName, GridTitle, 16};
        return out;
    }
    const Failure queryFailure{QStringLiteral("Attention, your Search Query or LOG is not exactly!") + CrLf + CrLf + query, GridTitle, 16};
    auto db = engine.open(state.LogPath);
    if (!db) {
        out.failure = queryFailure;
        out.failure.detail = db.error();
        return out;
    }
    Result<QueryTable> table = (*db)->select(query);
    if (!table) {
        out.failure = queryFailure;
        out.failure.detail = table.error();
        return out;
    }
    out.ok = true;
    out.table = std::move(table.value());
    return out;
}

QString caption(qsizetype records) { return QStringLiteral("Varkel Search query result Records found : ") + QString::number(records); }

QString proposedExportPath(const QString &folder, const QString &logName, const QString &kind, const QDate &date)
{
    const Result<QString> display = LogFileName::displayName(logName);
    QString base = display.ok() && !display->isEmpty() ? *display : logName;
    if (base.isEmpty())
        base = QStringLiteral("VARKEL");
    const QString name = base + QLatin1Char('_') + (kind.isEmpty() ? QStringLiteral("QSO") : kind) + QLatin1Char('_') +
                         date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".xlsx");
    return QDir(folder).filePath(name);
}

QString notAvailableMessage(const QString &savedPath)
{
    return QStringLiteral("Not available! Can't open Excel application.") + CrLf + CrLf + QStringLiteral("The spreadsheet was saved as:") + CrLf +
           savedPath;
}

} // namespace ListingRun
