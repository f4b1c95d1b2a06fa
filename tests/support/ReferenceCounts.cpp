#include "ReferenceCounts.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace reference {
namespace {

std::string folded(const std::string &s)
{
    std::string out = s;
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

} // namespace

bool same(const genlog::Text &value, const std::string &text) { return value && folded(*value) == folded(text); }

bool modeMatches(const genlog::LogRow &row, int mode, bool ft8)
{
    const auto &m = row.Mode;
    switch (mode) {
    case 0:
        return same(m, "CW");
    case 1:
        return same(m, "SSB") || same(m, "FM") || same(m, "AM");
    case 2:
        if (ft8)
            return same(m, "FT8");
        return m && !same(m, "SSB") && !same(m, "FM") && !same(m, "AM") && !same(m, "CW");
    default:
        return m.has_value();
    }
}

bool statusMatches(const genlog::LogRow &row, int status)
{
    switch (status) {
    case 1:
        return same(row.R, "Y");
    case 2:
        return same(row.R, "N");
    case 3:
        return same(row.D, "Y");
    default:
        return true;
    }
}

bool bandMatches(const genlog::LogRow &row, const std::string &band)
{
    return band == "*" ? row.Banda.has_value() : same(row.Banda, band);
}

long qsoCount(const std::vector<genlog::LogRow> &rows, const std::string &band, int r, bool ft8)
{
    return long(std::count_if(rows.begin(), rows.end(), [&](const genlog::LogRow &row) {
        return bandMatches(row, band) && modeMatches(row, r % 4, ft8) && statusMatches(row, r / 4);
    }));
}

long entityCount(const std::vector<genlog::LogRow> &rows, int kind, const std::vector<std::string> &bands, int r, bool ft8)
{
    if (r / 4 == 2)
        return entityCount(rows, kind, bands, r % 4, ft8) - entityCount(rows, kind, bands, 4 + r % 4, ft8);
    std::set<std::string> seen;
    for (const genlog::LogRow &row : rows) {
        const genlog::Text &v = genlog::awardValue(row, kind);
        if (!v || v->empty() || *v == "??")
            continue;
        const bool onBand = std::any_of(bands.begin(), bands.end(), [&](const std::string &b) { return bandMatches(row, b); });
        if (onBand && modeMatches(row, r % 4, ft8) && statusMatches(row, r / 4))
            seen.insert(folded(*v));
    }
    return long(seen.size());
}

} // namespace reference
