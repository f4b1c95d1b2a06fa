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

/// A band label (or any text) as it stands inside a quoted SQL literal: its
/// quotes doubled, so a label holding a quote is compared, never run.
QString literal(const QString &text);

/// Band headers that are not blank once trimmed.
int activeBandCount(const QStringList &headers);

/// The selected bands: every header of positions 0..19 that is not blank once
/// trimmed, in order of position, each as it stands.
QStringList selectedBands(const QStringList &headers);

/// The band list of the selected-bands totals: the first selected band, then
/// " OR banda = '...' " for each further one.
QString mixBandList(const QStringList &headers);

/// Distinct entities of award column F over the bands of a mix band list, for
/// a count slot outside the NOT CONFIRMED block.
QString mix(const QString &column, const QString &bandList, int r, bool ft8Only);

} // namespace CountSql

/// Distinct entities of award column F on band pattern B for count slot r (a
/// slot outside the NOT CONFIRMED block); "*" as B counts the whole log.
QString AwardCountSql(const QString &column, const QString &band, int r, bool ft8Only);
