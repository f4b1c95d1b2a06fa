#pragma once
#include "logbook/LoadedLog.h"
#include "logbook/LogbookEngine.h"
#include "logbook/jet/LogDatabase.h"
#include "logbook/jet/QueryTable.h"

#include <QDate>
#include <QString>
#include <memory>

/// Running a listing text for the result grid, and what the grid shows.
namespace ListingRun {

/// The most memory the rows of one listing may take (LogDatabase::cellBytes).
constexpr qsizetype MaxListingBytes = qsizetype(512) << 20;

/// A message to show: its text, title, flags and the engine's reason.
struct Failure {
    QString text;
    QString title;
    int flags = 0;
    QString detail; ///< the engine's reason
};

struct Outcome {
    bool ok = false;        ///< `table` holds the rows to show
    bool cancelled = false; ///< the operator stopped the run: nothing to show, nothing to say
    QueryTable table;
    Failure failure; ///< when neither ok nor cancelled
    Failure notice;  ///< when ok but the rows were cut: the message that says so
};

/// What a listing may hold: as many rows as a spreadsheet sheet, within MaxListingBytes.
ReadLimits limits();

/// The snapshot a listing's `query` runs on; nullptr, with `failure` filled,
/// when the log name is blank or the logbook cannot be opened.
std::shared_ptr<const LogDatabase> open(const LoadedLog &loaded, LogbookEngine &engine, const QString &query, Failure &failure);

/// What the grid makes of the rows read for `query`.
Outcome conclude(const QString &query, ReadResult read);

/// Runs a listing's `query` on the loaded logbook, on the calling thread.
Outcome run(const LoadedLog &loaded, LogbookEngine &engine, const QString &query, const ReadLimits &readLimits = limits());

/// The message that refuses the operator's `query` by the snapshot's
/// read-only rules, before anything runs; empty when it may run (or when the
/// logbook cannot be opened, which the run then reports).
QString refusal(const LoadedLog &loaded, LogbookEngine &engine, const QString &query);

/// Window caption of the grid for a result of `records` rows.
QString caption(qsizetype records);

/// A file name for an export: the logbook's display name, the kind and the date,
/// in `folder`, ending in `suffix`.
QString proposedExportPath(const QString &folder, const QString &logName, const QString &kind, const QDate &date,
                           const QString &suffix = QStringLiteral(".xlsx"));

/// The message shown when no spreadsheet application could open the export.
QString notAvailableMessage(const QString &savedPath);

} // namespace ListingRun
