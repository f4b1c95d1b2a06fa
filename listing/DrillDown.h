#pragma once
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"

#include <QString>
#include <QStringList>
#include <optional>

/// The listing texts behind the counts of the grid: a double-click on a cell or
/// a MIX label, a click on a FULL label. Each gives the SQL text that selects
/// exactly the contacts (kind QSO) or the distinct entities behind that count.
namespace DrillDown {

enum class Outcome {
    Listing,            ///< `sql` holds the listing text
    NotConfirmedNotice, ///< entity NOT CONFIRMED cell: no listing, a notice instead
    Nothing,            ///< silently nothing
};

struct Request {
    Outcome outcome = Outcome::Nothing;
    QString sql;
};

/// True when the kind lists contacts rather than entities; before the first
/// run the kind is empty and counts as QSO.
bool listsContacts(std::optional<AwardKind> kind);

/// Cell `index` (0..319) of the grid, with the band headers as they stand.
Request cell(int index, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only);

/// MIX label r.
Request mix(int r, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only);

/// FULL label r.
Request full(int r, std::optional<AwardKind> kind, bool ft8Only);

/// A cell of the award matrix: the contacts of the entity `entity` of award
/// kind `kind` (its text, without regard to case) on band `band` (matched by
/// LIKE, as the counts match it) in one mode class.
Request matrixCell(AwardKind kind, const QString &entity, const QString &band, ModeClass mode, bool ft8Only);

} // namespace DrillDown
