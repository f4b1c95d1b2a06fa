#pragma once
#include "logbook/jet/LogDatabase.h"
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>

/// The bands and modes that occur in a logbook, in the logbook's text order.
namespace LogInventory {

const QString BandQuery = QStringLiteral("Select Distinct Banda From Log Order By Banda");
const QString ModeQuery = QStringLiteral("Select Distinct mode From Log Order By mode");

/// The distinct values of `field` that `query` returns; a missing value (NULL)
/// is the empty text.
Result<QStringList> values(const LogDatabase &db, const QString &query, const QString &field);

/// The values one per line, each followed by CR LF.
QString asLines(const QStringList &values);

} // namespace LogInventory
