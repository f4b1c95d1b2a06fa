#pragma once
#include "LogState.h"
#include "LogbookEngine.h"
#include "QueryTable.h"

#include <QDate>
#include <QString>

/// Running a listing text for the result grid, and what the grid shows.
namespace ListingRun {

struct Failure {
    QString text;
    QString title;
    int flags = 0;
    QString detail; ///< the engine's reason
};

struct Outcome {
    bool ok = false;
    QueryTable table;
    Failure failure;
};

/// Runs state.ListingQuery on the loaded logbook.
Outcome run(const LogState &state, LogbookEngine &engine);

/// Window caption of the grid for a result of `records` rows.
QString caption(qsizetype records);

/// A file name for an export: the logbook's display name, the kind and the date,
/// in `folder`.
QString proposedExportPath(const QString &folder, const QString &logName, const QString &kind, const QDate &date);

/// The message shown when no spreadsheet application could open the export.
QString notAvailableMessage(const QString &savedPath);

} // namespace ListingRun
