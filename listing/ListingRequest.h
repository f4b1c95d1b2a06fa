#pragma once
#include "logbook/count/AwardKind.h"

#include <QString>
#include <optional>

/// A listing for the result grid: the SQL text it runs and how the grid shows
/// and exports its rows. Handed from the click that builds it to the grid.
struct ListingRequest {
    QString query;
    /// The columns after the entity take the grid's own captions (listings of distinct entities).
    bool entityCaptions = false;
    /// The award kind of the counts the listing opens; the export names its file after it.
    std::optional<AwardKind> kind = std::nullopt;
    /// Lblstat index (320 + c) of the band header of the double-clicked cell; 0 for other listings.
    int headerIndex = 0;
};
