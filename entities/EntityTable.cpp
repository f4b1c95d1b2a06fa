#include "entities/EntityTable.h"

#include "entities/DeletedEntities.h"

#include <charconv>

namespace {

std::string_view trimmed(std::string_view s)
{
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

int number(std::string_view s)
{
    s = trimmed(s);
    int n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    return ec == std::errc() && end == s.data() + s.size() ? n : -1;
}

/// A prefix of the list without its overrides: "(14)", "[28]", "<lat/lon>", "{EU}", "~-1.0~".
std::string_view bare(std::string_view token)
{
    const size_t cut = token.find_first_of("([<{~");
    return cut == std::string_view::npos ? token : token.substr(0, cut);
}

} // namespace

std::string entityKey(std::string_view text)
{
    std::string key(trimmed(text));
    for (char &c : key) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return key;
}

EntityTable::EntityTable() { addDeleted(); }

void EntityTable::add(DxccEntity entity, const std::vector<std::string> &prefixes, const std::vector<std::string> &calls)
{
    const size_t index = m_entities.size();
    if (!entity.prefix.empty())
        m_primary.emplace(entityKey(entity.prefix), index);
    for (const std::string &p : prefixes) {
        m_prefixes.emplace(p, index);
        m_longestPrefix = std::max(m_longestPrefix, p.size());
    }
    for (const std::string &c : calls)
        m_calls.emplace(c, index);
    m_entities.push_back(std::move(entity));
}

void EntityTable::addDeleted()
{
    for (const DxccEntity &e : deletedEntities())
        add(e, {}, {});
}

EntityTable EntityTable::fromCountryFile(std::string_view csv, size_t *skipped)
{
    EntityTable table;
    table.m_entities.clear();
    table.m_primary.clear();
    size_t bad = 0;
    while (!csv.empty()) {
        const size_t eol = csv.find('\n');
        const std::string_view line = trimmed(csv.substr(0, eol));
        csv = eol == std::string_view::npos ? std::string_view() : csv.substr(eol + 1);
        if (line.empty())
            continue;
        std::vector<std::string_view> fields;
        std::string_view rest = line;
        while (fields.size() < 9) {
            const size_t comma = rest.find(',');
            if (comma == std::string_view::npos)
                break;
            fields.push_back(trimmed(rest.substr(0, comma)));
            rest = rest.substr(comma + 1);
        }
        const int adif = fields.size() == 9 ? number(fields[2]) : -1;
        if (adif < 0 || fields[0].empty() || fields[1].empty()) {
            ++bad;
            continue;
        }
        if (fields[0].front() == '*')
            continue; // an area of another award, not a DXCC entity
        if (const size_t end = rest.find(';'); end != std::string_view::npos)
            rest = rest.substr(0, end);
        std::vector<std::string> prefixes, calls;
        while (!(rest = trimmed(rest)).empty()) {
            const size_t blank = rest.find_first_of(" \t");
            const std::string_view token = rest.substr(0, blank);
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank);
            if (token.front() == '=') {
                if (const std::string_view call = bare(token.substr(1)); !call.empty())
                    calls.push_back(entityKey(call));
            } else if (const std::string_view prefix = bare(token); !prefix.empty()) {
                prefixes.push_back(entityKey(prefix));
            }
        }
        const int cq = number(fields[4]), itu = number(fields[5]);
        table.add(DxccEntity{std::string(fields[0]),
                             std::string(fields[1]),
                             adif,
                             std::string(fields[3]),
                             cq < 0 ? 0 : cq,
                             itu < 0 ? 0 : itu,
                             false,
                             {}},
                  prefixes, calls);
    }
    table.m_current = table.m_entities.size();
    // The deleted ones after, so that a current entity keeps a primary prefix both have.
    table.addDeleted();
    if (skipped)
        *skipped = bad;
    return table;
}

const DxccEntity *EntityTable::lookup(std::string_view dxcText) const
{
    const std::string key = entityKey(dxcText);
    if (key.empty())
        return nullptr;
    if (const auto it = m_primary.find(key); it != m_primary.end())
        return &m_entities[it->second];
    if (const auto it = m_calls.find(key); it != m_calls.end())
        return &m_entities[it->second];
    for (size_t n = std::min(key.size(), m_longestPrefix); n > 0; --n) {
        if (const auto it = m_prefixes.find(key.substr(0, n)); it != m_prefixes.end())
            return &m_entities[it->second];
    }
    return nullptr;
}
