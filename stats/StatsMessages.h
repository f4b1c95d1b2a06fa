#pragma once
#include <QString>

/// Texts and titles of the messages the statistics computations show.
namespace StatsMessages {

inline const QString NoLogbook = QStringLiteral("PLEASE SELECT YOUR VARKEL-DATABASE SOURCE");
inline const QString QsoError = QStringLiteral("SQL or Log FILENAME error!");
inline const QString EntityError = QStringLiteral("SQL or FILENAME error!");
inline const QString QsoNrTitle = QStringLiteral("Varkel LogChecker - QSO Nr");
inline const QString FullLogTitle = QStringLiteral("Varkel LogChecker - FullLog");
inline const QString StatsTitle = QStringLiteral("Varkel LogChecker - Calcolo STATS");
inline const QString MixTitle = QStringLiteral("Varkel LogChecker - MIX");

} // namespace StatsMessages
