#pragma once
#include "listing/AdifExport.h"
#include "listing/XlsxExport.h"
#include "logbook/LoadedLog.h"
#include "logbook/count/AwardKind.h"
#include "logbook/types/Prompter.h"

#include <QDate>
#include <QString>
#include <functional>
#include <optional>

class GridRecordset;

/// Title of every message of an export.
inline const QString ExportTitle = QStringLiteral("VARKELchecker - Export");

/// What every "EXPORT TO EXCEL" does: asks, lets the operator pick the file
/// (proposing `proposed`), writes it through `write` (which may tell more
/// after writing), reports a failure and opens the file written.
void exportWorkbook(Prompter &prompter, const QString &proposed, const std::function<Status(const QString &path)> &write);

/// The export of the rows a listing shows (its menu entry "EXPORT TO EXCEL"):
/// proposes a file name in `folder` after the logbook and the award kind
/// (QSO for none), writes the rows in their shown order and says so when the
/// sheet could not hold them all. `maxRows` is the number of records a sheet holds.
void exportListing(Prompter &prompter, const LoadedLog &log, std::optional<AwardKind> kind, const GridRecordset &rows,
                   const QString &folder, const QDate &date, qsizetype maxRows = SheetDataRows);

/// What every "EXPORT ADIF" does: lets the operator pick the file (proposing
/// `proposed` with ".adi"), writes the contacts as ADIF (Adif::write) and says
/// how many it wrote, or why it failed. Without contacts it says so and asks nothing.
void exportAdif(Prompter &prompter, const QString &proposed, const std::vector<AdifContact> &contacts);

/// The ADIF export of the contacts a listing shows, in their shown order; a
/// listing of entities (no Callsign and TDate columns) is refused with a word.
void exportListingAdif(Prompter &prompter, const LoadedLog &log, std::optional<AwardKind> kind, const GridRecordset &rows,
                       const QString &folder, const QDate &date);
