#include "DrillDown.h"

#include "BandSet.h"
#include "CountSlot.h"
#include "CountSql.h"
#include "GridTexts.h"

using namespace CountSlotIndex;

namespace {

const QString K1 = QStringLiteral(
    ", First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS BAND_, First(LOG.Mode) AS MODE_, First(LOG.TDate) AS First_DATE, "
    "First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, First(LOG.D) AS AWARD, First(LOG.DIPTEXT) AS DIPL_TEXT "
    "From Log Where ");
const QString K2 = QString(K1)
                       .replace(QStringLiteral("AS BAND_"), QStringLiteral("AS First_BAND"))
                       .replace(QStringLiteral("AS MODE_"), QStringLiteral("AS First_MODE"));

const QString PhoneModes = QStringLiteral("((Log.Mode) = 'FM') Or ((Log.Mode) = 'SSB') Or ((Log.Mode) = 'AM')");
const QString NotDataModes = PhoneModes + QStringLiteral(" Or ((Log.Mode) = 'CW')");
/// The tests of the counts that admit every value but NULL (LIKE '*').
const QString AnyMode = QStringLiteral("((Log.Mode) LIKE '*')");
const QString AnyBand = QStringLiteral("((Log.Banda) LIKE '*') And ");

/// The QSL part between the two tests of the entity column.
QString qslPiece(QslStatus s)
{
    switch (s) {
    case QslStatus::Confirmed:
        return QStringLiteral(") <> '??') And ((Log.R) = 'Y') And ((Log.");
    case QslStatus::Award:
        return QStringLiteral(") <> '??') And ((Log.D) = 'Y') And ((Log.");
    default:
        return QStringLiteral(") <> '??') And ((Log.");
    }
}

/// Mode part of a band listing, from after the band to the entity column; the
/// cell form closes the band's quote first, the mix form does not.
QString bandModePiece(ModeClass m, bool ft8Only)
{
    switch (m) {
    case ModeClass::Cw:
        return QStringLiteral(") And (((Log.Mode) = 'CW')) And ((Log.");
    case ModeClass::Phone:
        return QStringLiteral(") And (") + PhoneModes + QStringLiteral(") And ((Log.");
    case ModeClass::Data:
        return ft8Only ? QStringLiteral(") And (((Log.Mode) = 'FT8')) And ((Log.")
                       : QStringLiteral(") And NOT (") + NotDataModes + QStringLiteral(") And ((Log.");
    case ModeClass::All:
        // The count of the ALL class takes in only contacts that have a mode.
        return QStringLiteral(") And ") + AnyMode + QStringLiteral(" And ((Log.");
    }
    return {};
}

/// Only WORKED CW uses the field names BAND_ and MODE_.
const QString &entityFields(int r, bool wholeLog, bool ft8Only)
{
    const bool workedCw = r == slot(QslStatus::Worked, ModeClass::Cw);
    const bool workedFt8 = wholeLog && ft8Only && r == slot(QslStatus::Worked, ModeClass::Data);
    return workedCw || workedFt8 ? K1 : K2;
}

QString bandListing(const QString &kind, const QString &bandTest, int r, bool ft8Only, bool quoteOpen)
{
    const QString piece = (quoteOpen ? QStringLiteral("'") : QString()) + bandModePiece(mode(r), ft8Only);
    return QStringLiteral("SELECT DISTINCT LOG.") + kind + entityFields(r, false, ft8Only) + QStringLiteral("(((Log.Banda) = ") + bandTest +
           piece + kind + qslPiece(status(r)) + kind + QStringLiteral(") <> '')) GROUP BY LOG.") + kind + QStringLiteral(";");
}

/// Where head (mode test) and closing of a whole-log entity listing.
std::pair<QString, QString> wholeLogModePieces(int r, bool ft8Only)
{
    const QString closeOne = QStringLiteral(") <> '') GROUP BY LOG.");
    const QString closeTwo = QStringLiteral(") <> '')) GROUP BY LOG.");
    const bool worked = status(r) == QslStatus::Worked;
    switch (mode(r)) {
    case ModeClass::Cw:
        return worked ? std::pair{QStringLiteral("(((Log.Mode) = 'CW') And ((Log."), closeTwo}
                      : std::pair{QStringLiteral("(((Log.Mode) = 'CW')) And ((Log."), closeOne};
    case ModeClass::Phone:
        return {QStringLiteral("(") + PhoneModes + QStringLiteral(") And ((Log."), closeOne};
    case ModeClass::Data:
        if (!ft8Only)
            return {QStringLiteral("NOT (") + NotDataModes + QStringLiteral(") And ((Log."), closeOne};
        return worked ? std::pair{QStringLiteral("(((Log.Mode) = 'FT8') And ((Log."), closeTwo}
                      : std::pair{QStringLiteral("(((Log.Mode) = 'FT8')) And ((Log."), closeOne};
    case ModeClass::All:
        return {AnyMode + QStringLiteral(" And ((Log."), closeOne};
    }
    return {};
}

/// Where head and closing of a whole-log entity listing. Like the count, it
/// takes in only contacts that have a band.
std::pair<QString, QString> wholeLogPieces(int r, bool ft8Only)
{
    auto [head, closing] = wholeLogModePieces(r, ft8Only);
    return {AnyBand + head, closing};
}

/// Contact listing clauses.
QString qsoModeClause(ModeClass m, bool ft8Only)
{
    switch (m) {
    case ModeClass::Cw:
        return QStringLiteral(" AND (MODE = 'CW')");
    case ModeClass::Phone:
        return QStringLiteral(" AND (MODE = 'SSB' OR MODE = 'AM' OR MODE = 'FM')");
    case ModeClass::Data:
        return ft8Only ? QStringLiteral(" AND (MODE = 'FT8')")
                       : QStringLiteral(" AND NOT (MODE = 'SSB' OR MODE = 'AM' OR MODE = 'FM' OR MODE = 'CW')");
    case ModeClass::All:
        return QStringLiteral(" AND (MODE LIKE '*')");
    }
    return {};
}

QString qsoStatusClause(QslStatus s)
{
    switch (s) {
    case QslStatus::Confirmed:
        return QStringLiteral(" AND (R = 'Y')");
    case QslStatus::NotConfirmed:
        return QStringLiteral(" AND (R = 'N')");
    case QslStatus::Award:
        return QStringLiteral(" AND (D = 'Y')");
    default:
        return {};
    }
}

QString qsoListing(const QString &bandTest, int r, bool ft8Only)
{
    return QStringLiteral("SELECT * FROM LOG WHERE (") + bandTest + QStringLiteral(")") + qsoModeClause(mode(r), ft8Only) +
           qsoStatusClause(status(r)) + QStringLiteral(" order by CALLSIGN;");
}

DrillDown::Request listing(QString sql) { return {DrillDown::Outcome::Listing, std::move(sql)}; }

} // namespace

namespace DrillDown {

bool listsContacts(std::optional<AwardKind> kind) { return !kind || !AwardKinds::countsEntities(*kind); }

Request cell(int index, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only)
{
    if (index < 0 || index >= Cells)
        return {};
    const int r = slotOfCell(index);
    const QString band = CountSql::literal(headers.value(bandOfCell(index)));
    if (listsContacts(kind))
        return listing(qsoListing(QStringLiteral("BANDA = '") + band + QStringLiteral("'"), r, ft8Only));
    if (isDifference(r))
        return {Outcome::NotConfirmedNotice, {}};
    return listing(bandListing(GridTexts::kindCaption(kind), QStringLiteral("'") + band, r, ft8Only, true));
}

Request mix(int r, std::optional<AwardKind> kind, const QStringList &headers, bool ft8Only)
{
    const QStringList bands = BandSet(headers).selected();
    if (bands.isEmpty() || r < 0 || r >= Slots || isDifference(r))
        return {};
    if (listsContacts(kind)) {
        const QString test = CountSql::joinBands(bands, QStringLiteral("BANDA = '"), QStringLiteral(" OR BANDA = '"), QStringLiteral("'"));
        return listing(qsoListing(test, r, ft8Only));
    }
    const QString list = CountSql::joinBands(bands, QStringLiteral(" '"), QStringLiteral(" Or Log.banda = '"), QStringLiteral("' "));
    return listing(bandListing(GridTexts::kindCaption(kind), list, r, ft8Only, false));
}

Request full(int r, std::optional<AwardKind> awardKind, bool ft8Only)
{
    if (listsContacts(awardKind) || r < 0 || r >= Slots || isDifference(r))
        return {};
    const QString kind = GridTexts::kindCaption(awardKind);
    const auto [head, closing] = wholeLogPieces(r, ft8Only);
    return listing(QStringLiteral("SELECT DISTINCT LOG.") + kind + entityFields(r, true, ft8Only) + head + kind + qslPiece(status(r)) +
                   kind + closing + kind + QStringLiteral(";"));
}

Request matrixCell(AwardKind kind, const QString &entity, const QString &band, ModeClass mode, bool ft8Only)
{
    if (!AwardKinds::countsEntities(kind) || entity.isEmpty() || BandSet::isBlank(band))
        return {};
    const QString column = QString::fromLatin1(AwardKinds::name(kind));
    return listing(QStringLiteral("SELECT * FROM LOG WHERE (BANDA LIKE '") + CountSql::literal(band) + QStringLiteral("') AND (") + column +
                   QStringLiteral(" = '") + CountSql::literal(entity) + QStringLiteral("')") + qsoModeClause(mode, ft8Only) +
                   QStringLiteral(" order by CALLSIGN;"));
}

} // namespace DrillDown
