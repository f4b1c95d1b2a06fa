#pragma once
#include "logbook/count/CountDescription.h"

#include <QString>
#include <optional>

/// The listing text behind a count: the SQL that selects the contacts the
/// count counts (a description without entity column) or its distinct
/// entities with the fields of each one's first record. Rendered from the
/// same CountDescription as the count's own text (CountSql), with the mode and
/// status tests of the description (modeCondition, statusCondition), in the
/// listings' own way of writing them.
namespace ListingSql {

/// The listing of a description: contacts() or entities().
QString text(const CountDescription &description);

/// The contacts, by callsign; `also` narrows them after the band test.
QString contacts(const CountDescription &description, const std::optional<CountTree::Condition> &also = std::nullopt);

/// The distinct entities, each with its first record's callsign, band, mode,
/// date, manager, QSL fields and award text.
QString entities(const CountDescription &description);

} // namespace ListingSql
