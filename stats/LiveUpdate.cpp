#include "stats/LiveUpdate.h"

#include "bands/BandSet.h"
#include "logbook/count/AwardMatrix.h"
#include "logbook/jet/JetText.h"
#include "stats/GridTexts.h"

#include <QLocale>

#include <algorithm>

using Line = StatsMatrix::Line;

namespace LiveUpdate {

namespace {

/// Entities named in the line at most; the rest are counted.
constexpr size_t NamedAtMost = 10;

QString number(qint64 n) { return QLocale(QLocale::English).toString(n); }

QString contacts(qint64 n, const char *what)
{
    return QStringLiteral("%1 %2%3").arg(number(n), QLatin1String(what), QLatin1String(n == 1 ? "" : "s"));
}

} // namespace

std::vector<ChangedCount> apply(StatsMatrix &shown, const StatsMatrix &fresh, const std::function<bool(Line, int)> &keep)
{
    std::vector<ChangedCount> changes;
    StatsMatrix::forEachCount([&](Line line, int index) {
        if (!keep(line, index))
            return;
        const QString before = shown.caption(line, index);
        const QString now = fresh.caption(line, index);
        if (before == now)
            return;
        changes.push_back({line, index, before});
        shown.setCaption(line, index, now);
    });
    shown.setCountQso(fresh.countQso());
    return changes;
}

std::optional<QString> was(const std::vector<ChangedCount> &changes, Line line, int index)
{
    for (const ChangedCount &c : changes) {
        if (c.line == line && c.index == index)
            return c.was;
    }
    return std::nullopt;
}

QString wasHint(const QString &was) { return QStringLiteral("was ") + was; }

Result<std::vector<NewEntity>> newEntities(const LogSnapshot &before, const LogSnapshot &after, AwardKind kind, const QStringList &headers,
                                           bool ft8)
{
    using R = Result<std::vector<NewEntity>>;
    if (!AwardKinds::countsEntities(kind))
        return R::failure(QStringLiteral("no award kind: %1").arg(GridTexts::kindCaption(kind)));
    std::vector<NewEntity> found;
    for (const ModeClass mode : {ModeClass::Cw, ModeClass::Phone, ModeClass::Data}) {
        const AwardMatrix::Request request{AwardKinds::name(kind), BandSet(headers).patterns(), mode, ft8};
        const std::optional<AwardMatrix::Matrix> old = AwardMatrix::compute(before.columnar(), request);
        const std::optional<AwardMatrix::Matrix> now = AwardMatrix::compute(after.columnar(), request);
        if (!old || !now)
            return R::failure(
                QStringLiteral("the logbook lacks a text column the counts read (Banda, Mode, R or %1)").arg(GridTexts::kindCaption(kind)));
        // Both matrices hold their entities in the same order: a walk side by side pairs them.
        size_t o = 0;
        for (size_t row = 0; row < now->entities.size(); ++row) {
            while (o < old->entities.size() && JetText::compare(old->entities[o], now->entities[row]) < 0)
                ++o;
            const bool known = o < old->entities.size() && JetText::compare(old->entities[o], now->entities[row]) == 0;
            for (size_t column = 0; column < now->positions.size(); ++column) {
                if (now->at(row, column) == AwardMatrix::Cell::Empty || (known && old->at(o, column) != AwardMatrix::Cell::Empty))
                    continue;
                const std::string_view name = now->entities[row];
                found.push_back({now->positions[column], mode, QString::fromUtf8(name.data(), qsizetype(name.size()))});
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const NewEntity &a, const NewEntity &b) {
        return a.position != b.position ? a.position < b.position : a.mode < b.mode;
    });
    return R(std::move(found));
}

QString note(const QTime &time, std::optional<qint64> before, qint64 after, const std::vector<NewEntity> &entities,
             const QStringList &headers, bool ft8)
{
    QString text = QStringLiteral("Logbook updated %1: ").arg(time.toString(QStringLiteral("HH:mm:ss")));
    if (!entities.empty()) {
        const QStringList titles = GridTexts::modeTitles(GridTexts::dataCaption(ft8));
        QStringList named;
        for (size_t i = 0; i < entities.size() && i < NamedAtMost; ++i) {
            const NewEntity &e = entities[i];
            named << QStringLiteral("%1 %2 %3").arg(e.entity, headers.value(e.position).trimmed(), titles[int(e.mode)]);
        }
        text += QStringLiteral("new: ") + named.join(QStringLiteral("; "));
        if (entities.size() > NamedAtMost)
            text += QStringLiteral(" and %1 more").arg(entities.size() - NamedAtMost);
        text += QStringLiteral(" - ");
    }
    if (!before)
        return text + contacts(after, "contact");
    const QString total = QStringLiteral(" (%1 in all)").arg(number(after));
    if (after > *before)
        return text + contacts(after - *before, "new contact") + total;
    if (after < *before)
        return text + contacts(*before - after, "contact") + QStringLiteral(" deleted") + total;
    return text + QStringLiteral("no contact added or deleted") + total;
}

QString countFailureNote(const QTime &time, const QString &reason)
{
    return QStringLiteral("Logbook read %1, but the counts could not be made again (%2)")
        .arg(time.toString(QStringLiteral("HH:mm:ss")), reason);
}

QString failureNote(qint64 seconds, const QString &reason)
{
    return QStringLiteral("The logbook changed and has not been read whole for %1 s: still trying (%2)").arg(seconds).arg(reason);
}

} // namespace LiveUpdate
