#pragma once
#include "StatsMatrix.h"

#include <QString>
#include <QStringList>

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
