#pragma once
#include <QString>
#include <QStringList>

/// Building the band set one band at a time from the bands of the log.
namespace BandChoice {

/// The headers after choosing `item` from the list: it goes to the first
/// position whose caption is exactly empty; "NONE" and the empty item count as
/// the empty text; with every position taken nothing changes.
QStringList choose(QStringList headers, const QString &item);

/// The headers after "CLEAR BAND": the last caption that is not empty becomes empty.
QStringList clearLast(QStringList headers);

} // namespace BandChoice
