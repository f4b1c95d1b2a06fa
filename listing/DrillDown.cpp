#include "listing/DrillDown.h"

#include "bands/BandSet.h"
#include "listing/ListingSql.h"
#include "stats/CountSql.h"
#include "stats/GridTexts.h"

using namespace CountSlotIndex;

namespace {

DrillDown::Request listing(QString sql) { return {DrillDown::Outcome::Listing, std::move(sql)}; }

} // namespace

namespace DrillDown {

bool listsContacts(std::optional<AwardKind> kind) { return !kind || !AwardKinds::countsEntities(*kind); }

Request cell(int index, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only)
{
    if (index < 0 || index >= Cells)
        return {};
    const int r = slotOfCell(index);
    const QString band = headers.value(bandOfCell(index));
    if (listsContacts(kind)) {
        // The contacts of the band as its header names it, where the count matches it as a pattern.
        CountDescription contacts = CountSql::qso(band, r, ft8Only).description;
        contacts.bandTest = CountDescription::Bands::List;
        return listing(ListingSql::contacts(contacts));
    }
    if (isDifference(r))
        return {Outcome::NotConfirmedNotice, {}};
    return listing(ListingSql::entities(AwardCountSql(GridTexts::kindCaption(kind), band, r, ft8Only).description));
}

Request mix(int r, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only)
{
    if (BandSet(headers).selected().isEmpty() || r < 0 || r >= Slots || isDifference(r))
        return {};
    const QString column = listsContacts(kind) ? QString() : GridTexts::kindCaption(kind);
    return listing(ListingSql::text(CountSql::mix(column, headers, r, ft8Only).description));
}

Request full(int r, std::optional<AwardKind> kind, bool ft8Only)
{
    if (listsContacts(kind) || r < 0 || r >= Slots || isDifference(r))
        return {};
    return listing(ListingSql::entities(AwardCountSql(GridTexts::kindCaption(kind), CountSql::WholeLog, r, ft8Only).description));
}

Request matrixCell(AwardKind kind, const QString &entity, const QString &band, ModeClass mode, bool ft8Only)
{
    if (!AwardKinds::countsEntities(kind) || entity.isEmpty() || BandSet::isBlank(band))
        return {};
    const std::string column = AwardKinds::name(kind);
    const CountDescription contacts{{}, CountDescription::Bands::Pattern, {band.toStdString()}, mode, QslStatus::Worked, ft8Only};
    return listing(
        ListingSql::contacts(contacts, CountTree::Condition{CountTree::Condition::Kind::Equal, {}, column, entity.toStdString()}));
}

} // namespace DrillDown
