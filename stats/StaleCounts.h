#pragma once
#include "stats/StatsMatrix.h"

#include <QString>
#include <QStringList>
#include <cstdint>

/// What the counts of a run were counted under: the band headers, the
/// logbook file and the FT8 option.
struct CountBasis {
    QStringList headers;
    QString logPath;
    bool ft8 = false;
};

/// True when the count of `line`/`index` depends on something that differs
/// between `counted` and `now`: a cell on its band header, the MIX line on the
/// bands shown, the TOT line on every header, all of them on the logbook, and
/// the DATA counts on the FT8 option. Band headers themselves are never stale.
bool isStale(const CountBasis &counted, const CountBasis &now, StatsMatrix::Line line, int index);
/// True when the QSO total ("QSOs: N") was counted on another logbook.
bool isQsoTotalStale(const CountBasis &counted, const CountBasis &now);

/// How stale counts are shown, in the window and in the grid's spreadsheet:
/// their text colour (0xRRGGBB) and the note under the grid.
inline constexpr uint32_t StaleColour = 0x878787;
inline const QString StaleNote = QStringLiteral("Counts are from before the last change: press an award button to count again.");
