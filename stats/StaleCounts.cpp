#include "stats/StaleCounts.h"

#include "bands/BandSet.h"
#include "stats/CountSql.h"

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

bool isStale(const CountBasis &counted, const CountBasis &now, Line line, int index)
{
    if (line == Line::Lblstat && index >= Cells)
        return false;
    const int r = line == Line::Lblstat ? slotOfCell(index) : index;
    if (isQsoTotalStale(counted, now) || (counted.ft8 != now.ft8 && mode(r) == ModeClass::Data))
        return true;
    switch (line) {
    case Line::Lblstat:
        return counted.headers.value(bandOfCell(index)) != now.headers.value(bandOfCell(index));
    case Line::Mix:
        return BandSet(counted.headers).selected() != BandSet(now.headers).selected();
    case Line::Tot:
        return counted.headers != now.headers;
    case Line::Full:
        return false;
    }
    return false;
}

bool isQsoTotalStale(const CountBasis &counted, const CountBasis &now) { return counted.logPath != now.logPath; }
