#include "tests/support/ReferenceCounts.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <set>

namespace reference {
namespace {

std::u32string foldedChars(const std::string &s)
{
    const QList<uint> ucs4 = QString::fromStdString(s).toCaseFolded().toUcs4();
    return std::u32string(ucs4.begin(), ucs4.end());
}

/// Matches p[i..] against v[j..]; `bad` when a [ is never closed.
bool match(const std::u32string &p, size_t i, const std::u32string &v, size_t j, bool &bad)
{
    if (i == p.size())
        return j == v.size();
    if (p[i] == U'*')
        return match(p, i + 1, v, j, bad) || (j < v.size() && match(p, i, v, j + 1, bad));
    if (p[i] == U'[') {
        const size_t close = p.find(U']', i + 2);
        if (close == std::u32string::npos) {
            bad = true;
            return false;
        }
        if (j == v.size())
            return false;
        const bool negate = p[i + 1] == U'!';
        bool in = false;
        for (size_t k = i + 1 + (negate ? 1 : 0); k < close; ++k) {
            if (k + 2 < close && p[k + 1] == U'-') {
                in = in || (v[j] >= p[k] && v[j] <= p[k + 2]);
                k += 2;
            } else {
                in = in || v[j] == p[k];
            }
        }
        return in != negate && match(p, close + 1, v, j + 1, bad);
    }
    if (j == v.size())
        return false;
    if (p[i] == U'?' || (p[i] == U'#' && v[j] >= U'0' && v[j] <= U'9') || p[i] == v[j])
        return match(p, i + 1, v, j + 1, bad);
    return false;
}

bool bandMatches(const genlog::LogRow &row, const CountDescription &description, bool &bad)
{
    if (description.bandTest == CountDescription::Bands::Every)
        return true;
    if (!row.Banda)
        return false;
    if (description.bandTest == CountDescription::Bands::List) {
        const std::vector<std::string> bands = description.bands.empty() ? std::vector<std::string>{""} : description.bands;
        return std::any_of(bands.begin(), bands.end(), [&](const std::string &b) { return same(row.Banda, b); });
    }
    const std::optional<bool> hit = like(description.bands.front(), *row.Banda);
    bad = bad || !hit;
    return hit.value_or(false);
}

bool modeMatches(const genlog::Text &m, ModeClass mode, bool ft8)
{
    const auto any = [&](std::initializer_list<const char *> names) {
        return std::any_of(names.begin(), names.end(), [&](const char *n) { return same(m, n); });
    };
    switch (mode) {
    case ModeClass::Cw:
        return same(m, "CW");
    case ModeClass::Phone:
        return any({"SSB", "FM", "AM"});
    case ModeClass::Data:
        return ft8 ? same(m, "FT8") : m && !any({"SSB", "FM", "AM", "CW"});
    case ModeClass::All:
        break;
    }
    return m.has_value();
}

bool statusMatches(const genlog::LogRow &row, QslStatus status)
{
    switch (status) {
    case QslStatus::Confirmed:
        return same(row.R, "Y");
    case QslStatus::NotConfirmed:
        return same(row.R, "N");
    case QslStatus::Award:
        return same(row.D, "Y");
    case QslStatus::Worked:
        break;
    }
    return true;
}

CountDescription workedIn(const std::string &column, const std::string &band, ModeClass mode, bool ft8,
                          QslStatus status = QslStatus::Worked)
{
    return CountDescription{column, CountDescription::Bands::Pattern, {band}, mode, status, ft8};
}

CountDescription gridDescription(std::string entity, CountDescription::Bands test, std::vector<std::string> bands, int r, bool ft8)
{
    return CountDescription{std::move(entity), test, std::move(bands), ModeClass(r % 4), QslStatus(r / 4), ft8};
}

} // namespace

bool same(const genlog::Text &value, const std::string &text) { return value && foldedChars(*value) == foldedChars(text); }

std::string folded(const std::string &text) { return QString::fromStdString(text).toCaseFolded().toStdString(); }

std::optional<bool> like(const std::string &pattern, const std::string &value)
{
    bool bad = false;
    const bool hit = match(foldedChars(pattern), 0, foldedChars(value), 0, bad);
    if (bad)
        return std::nullopt;
    return hit;
}

const genlog::Text &column(const genlog::LogRow &row, const std::string &name)
{
    static const genlog::Text none;
    const auto is = [&](const char *n) { return QString::fromStdString(name).compare(QLatin1String(n), Qt::CaseInsensitive) == 0; };
    for (int kind = 0; kind < 6; ++kind) {
        if (is(awardColumns()[size_t(kind)].c_str()))
            return genlog::awardValue(row, kind);
    }
    if (is("Banda"))
        return row.Banda;
    if (is("Mode"))
        return row.Mode;
    if (is("R"))
        return row.R;
    if (is("D"))
        return row.D;
    return none;
}

bool counts(const genlog::LogRow &row, const CountDescription &description)
{
    bool bad = false;
    if (!bandMatches(row, description, bad))
        return false;
    if (description.bandTest != CountDescription::Bands::Every &&
        (!modeMatches(row.Mode, description.mode, description.ft8) || !statusMatches(row, description.status)))
        return false;
    if (description.entity.empty())
        return true;
    const genlog::Text &v = column(row, description.entity);
    return v && !v->empty() && *v != "??";
}

std::optional<long> count(const std::vector<genlog::LogRow> &rows, const CountDescription &description)
{
    bool bad = false;
    for (const genlog::LogRow &row : rows)
        bandMatches(row, description, bad);
    if (bad)
        return std::nullopt;
    std::set<std::string> seen;
    long contacts = 0;
    for (const genlog::LogRow &row : rows) {
        if (!counts(row, description))
            continue;
        if (description.entity.empty())
            ++contacts;
        else
            seen.insert(folded(*column(row, description.entity)));
    }
    return description.entity.empty() ? contacts : long(seen.size());
}

long qsoCount(const std::vector<genlog::LogRow> &rows, const std::string &band, int r, bool ft8)
{
    return *count(rows, gridDescription({}, CountDescription::Bands::Pattern, {band}, r, ft8));
}

long entityCount(const std::vector<genlog::LogRow> &rows, int kind, const std::vector<std::string> &bands, int r, bool ft8)
{
    if (r / 4 == 2)
        return entityCount(rows, kind, bands, r % 4, ft8) - entityCount(rows, kind, bands, 4 + r % 4, ft8);
    // One band is a cell's pattern (LIKE), several the MIX line's list (=).
    const CountDescription::Bands test = bands.size() == 1 ? CountDescription::Bands::Pattern : CountDescription::Bands::List;
    return *count(rows, gridDescription(awardColumns()[size_t(kind)], test, bands, r, ft8));
}

std::map<std::string, std::vector<const genlog::LogRow *>> qslChase(const std::vector<genlog::LogRow> &rows, const std::string &column,
                                                                    const std::string &band, ModeClass mode, bool ft8)
{
    std::map<std::string, std::vector<const genlog::LogRow *>> chase;
    std::set<std::string> confirmed;
    for (const genlog::LogRow &row : rows) {
        if (reference::counts(row, workedIn(column, band, mode, ft8)))
            chase[folded(*reference::column(row, column))].push_back(&row);
        if (reference::counts(row, workedIn(column, band, mode, ft8, QslStatus::Confirmed)))
            confirmed.insert(folded(*reference::column(row, column)));
    }
    for (const std::string &entity : confirmed)
        chase.erase(entity);
    for (auto &[entity, contacts] : chase)
        std::stable_sort(contacts.begin(), contacts.end(),
                         [](const genlog::LogRow *a, const genlog::LogRow *b) { return a->TDate > b->TDate; });
    return chase;
}

std::map<std::string, SlotFacts> bandSlotChase(const std::vector<genlog::LogRow> &rows, const std::string &column, const std::string &band,
                                               ModeClass mode, bool ft8)
{
    std::map<std::string, SlotFacts> anywhere;
    std::set<std::string> onBand;
    for (const genlog::LogRow &row : rows) {
        if (!reference::counts(row, workedIn(column, "*", mode, ft8)))
            continue;
        SlotFacts &facts = anywhere[folded(*reference::column(row, column))];
        facts.confirmed = facts.confirmed || same(row.R, "Y");
        facts.workedOn.insert(*row.Banda);
        if (reference::counts(row, workedIn(column, band, mode, ft8)))
            onBand.insert(folded(*reference::column(row, column)));
    }
    for (const std::string &entity : onBand)
        anywhere.erase(entity);
    return anywhere;
}

} // namespace reference
