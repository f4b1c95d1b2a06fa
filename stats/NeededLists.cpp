#include "stats/NeededLists.h"

#include "bands/BandSet.h"
#include "logbook/count/CountDescription.h"
#include "stats/CountSql.h"
#include "stats/EntityData.h"
#include "stats/GridTexts.h"

#include <unordered_set>

namespace Needed {
namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QString classTitle(ModeClass m, bool ft8) { return GridTexts::modeTitles(GridTexts::dataCaption(ft8))[int(m)]; }

void addRow(QueryTable &table, const QStringList &cells)
{
    for (const QString &c : cells)
        table.cells.push_back(c);
}

} // namespace

Result<Chase::Lists> lists(const LogSnapshot &log, AwardKind kind, const QStringList &headers, bool ft8)
{
    const QString column = GridTexts::kindCaption(kind);
    if (!AwardKinds::countsEntities(kind))
        return Result<Chase::Lists>::failure(QStringLiteral("no award kind: %1").arg(column));
    const Chase::Request request{AwardKinds::name(kind), BandSet(headers).patterns(), ft8};
    std::optional<Chase::Lists> found = Chase::lists(log.columnar(), request);
    if (!found)
        return Result<Chase::Lists>::failure(
            QStringLiteral("the logbook lacks a text column the lists read (Banda, Mode, R or %1)").arg(column));
    return Result<Chase::Lists>(std::move(*found));
}

Tables tables(const LogSnapshot &log, const Chase::Lists &lists, AwardKind kind, const QStringList &headers, bool ft8)
{
    const QString column = GridTexts::kindCaption(kind);
    Tables t;
    t.qsl.fields = {"BAND", "CLASS", column, "QSOS", "CALLSIGN", "DATE", "QSO_BAND", "QSO_MODE", "MANAGER", "DIPTEXT", "OLDER_QSOS"};
    t.qsl.cells.reserve(lists.qsl.size() * size_t(t.qsl.fields.size()));
    const Chase::ContactReader contact(log.columnar());
    for (const Chase::QslEntry &e : lists.qsl) {
        const Chase::Contact newest = contact(e.rows.front());
        QStringList older;
        for (size_t i = 1; i < e.rows.size(); ++i) {
            const Chase::Contact c = contact(e.rows[i]);
            older << q(c.callsign) + QLatin1Char(' ') + q(c.date.substr(0, 10)) + QLatin1Char(' ') + q(c.band) + QLatin1Char(' ') +
                         q(c.mode);
        }
        addRow(t.qsl,
               {headers.value(e.position), classTitle(e.mode, ft8), q(e.entity), QString::number(e.rows.size()), q(newest.callsign),
                q(newest.date), q(newest.band), q(newest.mode), q(newest.manager), q(newest.diptext), older.join(QStringLiteral("; "))});
    }
    t.bandSlots.fields = {"BAND", "CLASS", column, "STATUS", "WORKED_ON"};
    t.bandSlots.cells.reserve(lists.bandSlots.size() * size_t(t.bandSlots.fields.size()));
    for (const Chase::SlotEntry &e : lists.bandSlots) {
        QStringList bands;
        for (const std::string_view b : e.workedOn)
            bands << (b.empty() ? QStringLiteral("(no band)") : q(b));
        addRow(t.bandSlots, {headers.value(e.position), classTitle(e.mode, ft8), q(e.entity),
                             e.confirmed ? QStringLiteral("confirmed elsewhere") : QStringLiteral("worked elsewhere"),
                             bands.join(QStringLiteral(", "))});
    }
    if (kind == AwardKind::Dxc) {
        EntityData::insertNames(t.qsl, EntityColumn);
        EntityData::insertNames(t.bandSlots, EntityColumn);
    }
    return t;
}

Result<Report> report(const LogSnapshot &log, AwardKind kind, const QStringList &headers, bool ft8)
{
    Result<Chase::Lists> found = lists(log, kind, headers, ft8);
    if (!found)
        return Result<Report>::failure(found.error());
    Report r{kind, headers, ft8, std::move(found.value()), {}, nullptr};
    r.tables = tables(log, r.chase, kind, headers, ft8);
    return r;
}

std::vector<size_t> qslContacts(const Chase::Lists &lists)
{
    std::vector<size_t> rows;
    std::unordered_set<size_t> seen;
    for (const Chase::QslEntry &e : lists.qsl) {
        for (const size_t row : e.rows) {
            if (seen.insert(row).second)
                rows.push_back(row);
        }
    }
    return rows;
}

QString hint(const Chase::Lists &lists, AwardKind kind, int position, ModeClass mode)
{
    QStringList entities;
    int count = 0;
    for (const Chase::QslEntry &e : lists.qsl) {
        if (e.position != position || e.mode != mode)
            continue;
        if (++count <= 10)
            entities << (kind == AwardKind::Dxc ? EntityData::withName(q(e.entity)) : q(e.entity));
    }
    if (count == 0)
        return {};
    return QStringLiteral("%1 not confirmed: %2%3")
        .arg(count)
        .arg(entities.join(QStringLiteral(", ")), count > 10 ? QStringLiteral(", ...") : QString());
}

QString slotCounts(const Chase::Lists &lists, const QStringList &headers, ModeClass mode)
{
    QStringList parts;
    for (int p = 0; p < headers.size(); ++p) {
        if (BandSet::isBlank(headers[p]))
            continue;
        const auto n = std::count_if(lists.bandSlots.begin(), lists.bandSlots.end(),
                                     [&](const Chase::SlotEntry &e) { return e.position == p && e.mode == mode; });
        parts << QStringLiteral("%1: %2").arg(headers[p]).arg(n);
    }
    return parts.join(QStringLiteral("  "));
}

} // namespace Needed
