#pragma once
#include "CountSlot.h"

#include <QString>
#include <QStringList>

/// The count texts of the statistics grid, exactly as the logbook engine is
/// asked them. Every text names its single field "Quanti".
namespace CountSql {

/// Number of contacts in the log.
QString totalQsos();

/// Contacts of one band (a LIKE pattern, used as given) for count slot r.
QString qso(const QString &band, int r, bool ft8Only);

/// Band headers that are not blank once trimmed.
int activeBandCount(const QStringList &headers);

/// The band list of the selected-bands totals: position 0 as it stands, then
/// every non-empty header among the next activeCount - 1 positions.
QString mixBandList(const QStringList &headers, int activeCount);

/// Distinct entities of award column F over the bands of a mix band list, for
/// a count slot outside the NOT CONFIRMED block.
QString mix(const QString &column, const QString &bandList, int r, bool ft8Only);

} // namespace CountSql

/// Distinct entities of award column F on band pattern B for count slot r (a
/// slot outside the NOT CONFIRMED block); "*" as B counts the whole log.
QString AwardCountSql(const QString &column, const QString &band, int r, bool ft8Only);
