#pragma once
#include "logbook/CountQuery.h"

#include <QString>
#include <QStringList>

/// The counts of the statistics grid: each as data (CountDescription) and as the
/// exact Jet text the logbook engine is asked when the columnar copy cannot
/// answer it. Every text names its single field "Quanti".
namespace CountSql {

/// The band pattern of the whole-log counts: every band.
inline const QString WholeLog = QStringLiteral("*");

/// Number of contacts in the log.
CountRequest totalQsos();

/// Contacts of one band (a LIKE pattern, used as given) for count slot r.
CountRequest qso(const QString &band, int r, bool ft8Only);

/// Distinct entities of award column F over the selected bands of `headers`
/// together, for a count slot outside the NOT CONFIRMED block.
CountRequest mix(const QString &column, const QStringList &headers, int r, bool ft8Only);

/// The Jet text of a count.
QString text(const CountDescription &description);

/// A band label (or any text) as it stands inside a quoted SQL literal: its
/// quotes doubled, so a label holding a quote is compared, never run.
QString literal(const QString &text);

/// Bands as quoted literals in one condition: `first` before the first band,
/// `further` before each further one, `close` after each. No band reads as the
/// one band ''.
QString joinBands(const QStringList &bands, const QString &first, const QString &further, const QString &close);

/// The band list of the selected-bands totals: the first selected band, then
/// " OR banda = '...' " for each further one.
QString mixBandList(const QStringList &headers);

} // namespace CountSql

/// Distinct entities of award column F on band pattern B for count slot r (a
/// slot outside the NOT CONFIRMED block); "*" as B counts the whole log.
CountRequest AwardCountSql(const QString &column, const QString &band, int r, bool ft8Only);
