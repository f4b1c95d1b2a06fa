#include "logbook/count/ChaseLists.h"

#include "logbook/count/ColumnDecisions.h"
#include "logbook/count/CountDescription.h"
#include "logbook/count/TruthExpr.h"
#include "logbook/jet/JetText.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace Chase {
namespace {

constexpr int Classes = 4;
const ModeClass AllClasses[Classes] = {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All};

/// The number a band text starts with ("10.1": 10.1, " 7": 7, "10G": 10), 0
/// where it starts with none; a point is the decimal separator whatever the
/// desktop's locale.
double leadingNumber(std::string_view text)
{
    const auto start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos)
        return 0;
    text.remove_prefix(start + (text[start] == '+' && text.substr(start + 1, 1) != "-"));
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

/// Band texts in the order an operator reads them: by frequency, then as text.
bool bandBefore(std::string_view a, std::string_view b)
{
    const double x = leadingNumber(a), y = leadingNumber(b);
    if (x != y)
        return x < y;
    return JetText::compare(a, b) < 0;
}

/// Everything one pass over the rows finds: per band position and mode class,
/// which entities are worked and which confirmed there, and per mode class the
/// same over the whole log with the bands each entity is worked on.
class Tally {
public:
    Tally(const ColumnarLog &log, const Request &request) : m_log(log), m_request(request) {}

    bool run();
    Lists lists() const;

private:
    /// Per dictionary id of the column each reads: the decisions the pass over the rows looks up.
    struct Decisions {
        std::vector<std::vector<bool>> inClass; ///< per mode class: the Mode ids in it
        std::vector<bool> confirmed;            ///< the R ids of a confirmed contact
        std::vector<bool> usable;               ///< the award column's ids that name an entity
        std::vector<bool> anyBand;              ///< the Banda ids that are not NULL
    };
    /// Per row: the dictionary id of each column the pass reads.
    struct RowIds {
        std::vector<uint32_t> band, mode, r, entity;
    };

    /// The columns the lists read; false when one is missing or not text.
    bool findColumns();
    /// Each entity's first spelling, and the entities in the order of their spellings.
    void orderEntities();
    /// The header positions that are not blank, and the band ids each matches; false when a pattern cannot be decided.
    bool matchBands();
    std::optional<Decisions> decide() const;
    /// The tallies cleared to their sizes, and the band ids in the order an operator reads them.
    void prepareTallies();
    /// Which entities are worked and confirmed per band position, mode class and over the whole log.
    void tallyRows(const Decisions &d, const RowIds &ids);
    /// The contacts of every entity worked but not confirmed on a band, in a class.
    void collectContacts(const Decisions &d, const RowIds &ids);
    size_t slot(size_t position, int c, uint32_t e) const { return (position * Classes + size_t(c)) * m_entities + e; }
    std::vector<QslEntry> qslEntries() const;
    std::vector<SlotEntry> slotEntries() const;
    std::string_view entityText(uint32_t folded) const;

    const ColumnarLog &m_log;
    const Request &m_request;
    int m_band = -1, m_mode = -1, m_r = -1, m_entity = -1, m_date = -1;
    const ColumnarLog::FoldedIds *m_folded = nullptr;
    size_t m_entities = 0;
    std::vector<int> m_positions;                               ///< the header positions that are not blank
    std::vector<std::vector<size_t>> m_bandPositions;           ///< per band id: the indexes into m_positions it matches
    std::vector<uint8_t> m_worked, m_confirmed;                 ///< per (position, class, entity)
    std::vector<uint8_t> m_workedAnywhere, m_confirmedAnywhere; ///< per (class, entity)
    std::vector<uint32_t> m_bandsInOrder;                       ///< the band ids (NULL left out) in the order an operator reads them
    size_t m_bandWords = 0;                                     ///< 64-bit words of a band-id bitset
    std::vector<uint64_t> m_bandsWorked;                        ///< per (class, entity): a bitset of the band ids it is worked on
    std::unordered_map<size_t, std::vector<size_t>> m_contacts; ///< slot() of a NOT CONFIRMED entity: its rows
    std::vector<std::string_view> m_spelling;                   ///< per entity: the spelling the log has first
    std::vector<uint32_t> m_entityOrder;                        ///< the entities (NULL left out) by their spelling
};

bool Tally::run()
{
    if (!findColumns())
        return false;
    orderEntities();
    if (!matchBands())
        return false;
    const std::optional<Decisions> decisions = decide();
    if (!decisions)
        return false;
    const RowIds ids{rowIds(m_log, m_band), rowIds(m_log, m_mode), rowIds(m_log, m_r), rowIds(m_log, m_entity)};
    prepareTallies();
    tallyRows(*decisions, ids);
    collectContacts(*decisions, ids);
    return true;
}

bool Tally::findColumns()
{
    m_band = m_log.findColumn("Banda");
    m_mode = m_log.findColumn("Mode");
    m_r = m_log.findColumn("R");
    m_entity = m_log.findColumn(m_request.entity);
    m_date = m_log.findColumn("TDate");
    for (const int c : {m_band, m_mode, m_r, m_entity}) {
        if (c < 0 || !m_log.column(size_t(c)).text)
            return false;
    }
    return true;
}

void Tally::orderEntities()
{
    m_folded = &m_log.folded(size_t(m_entity));
    m_entities = m_folded->count;
    // Dictionary ids follow the table's order: the first id of an entity is its first spelling.
    const TextDictionary &spellings = m_log.column(size_t(m_entity)).dictionary();
    m_spelling.assign(m_entities, {});
    for (uint32_t id = spellings.size(); id-- > 1;)
        m_spelling[m_folded->of[id]] = spellings.text(id);
    for (uint32_t e = 1; e < m_entities; ++e)
        m_entityOrder.push_back(e);
    std::sort(m_entityOrder.begin(), m_entityOrder.end(),
              [this](uint32_t a, uint32_t b) { return JetText::compare(m_spelling[a], m_spelling[b]) < 0; });
}

bool Tally::matchBands()
{
    // Each comparison decided once per distinct text, as the counts decide it.
    const TextDictionary &bands = m_log.column(size_t(m_band)).dictionary();
    m_bandPositions.assign(bands.size(), {});
    for (size_t p = 0; p < m_request.bands.size(); ++p) {
        const std::string &pattern = m_request.bands[p];
        if (pattern.empty()) // a blank header
            continue;
        const auto matches = decidedIds(CountTree::Condition{CountTree::Condition::Kind::Like, {}, "Banda", pattern}, m_log, m_band);
        if (!matches)
            return false;
        for (uint32_t id = 0; id < bands.size(); ++id) {
            if ((*matches)[id])
                m_bandPositions[id].push_back(m_positions.size());
        }
        m_positions.push_back(int(p));
    }
    return true;
}

std::optional<Tally::Decisions> Tally::decide() const
{
    Decisions out;
    for (const ModeClass m : AllClasses) {
        auto t = decidedIds(modeCondition(m, m_request.ft8), m_log, m_mode);
        if (!t)
            return std::nullopt;
        out.inClass.push_back(std::move(*t));
    }
    auto confirmed = decidedIds(*statusCondition(QslStatus::Confirmed), m_log, m_r);
    auto usable = decidedIds(usableEntity(m_request.entity), m_log, m_entity);
    auto anyBand = decidedIds(CountTree::Condition{CountTree::Condition::Kind::Like, {}, "Banda", "*"}, m_log, m_band);
    if (!confirmed || !usable || !anyBand)
        return std::nullopt;
    out.confirmed = std::move(*confirmed);
    out.usable = std::move(*usable);
    out.anyBand = std::move(*anyBand);
    return out;
}

void Tally::prepareTallies()
{
    const TextDictionary &bands = m_log.column(size_t(m_band)).dictionary();
    m_worked.assign(m_positions.size() * Classes * m_entities, 0);
    m_confirmed = m_worked;
    m_workedAnywhere.assign(Classes * m_entities, 0);
    m_confirmedAnywhere = m_workedAnywhere;
    m_bandWords = (bands.size() + 63) / 64;
    for (uint32_t b = 1; b < bands.size(); ++b)
        m_bandsInOrder.push_back(b);
    std::sort(m_bandsInOrder.begin(), m_bandsInOrder.end(),
              [&](uint32_t a, uint32_t b) { return bandBefore(bands.text(a), bands.text(b)); });
    m_bandsWorked.assign(Classes * m_entities * m_bandWords, 0);
}

void Tally::tallyRows(const Decisions &d, const RowIds &ids)
{
    for (size_t row = 0; row < m_log.rowCount(); ++row) {
        const uint32_t id = ids.entity[row];
        if (!d.usable[id] || !d.anyBand[ids.band[row]])
            continue;
        const uint32_t e = m_folded->of[id];
        const bool confirmed = d.confirmed[ids.r[row]];
        for (int c = 0; c < Classes; ++c) {
            if (!d.inClass[size_t(c)][ids.mode[row]])
                continue;
            for (const size_t p : m_bandPositions[ids.band[row]]) {
                m_worked[slot(p, c, e)] = 1;
                m_confirmed[slot(p, c, e)] |= uint8_t(confirmed);
            }
            const size_t k = size_t(c) * m_entities + e;
            m_workedAnywhere[k] = 1;
            m_confirmedAnywhere[k] |= uint8_t(confirmed);
            m_bandsWorked[k * m_bandWords + ids.band[row] / 64] |= uint64_t(1) << (ids.band[row] % 64);
        }
    }
}

void Tally::collectContacts(const Decisions &d, const RowIds &ids)
{
    for (size_t row = 0; row < m_log.rowCount(); ++row) {
        const uint32_t id = ids.entity[row];
        if (!d.usable[id])
            continue;
        const uint32_t e = m_folded->of[id];
        for (int c = 0; c < Classes; ++c) {
            if (!d.inClass[size_t(c)][ids.mode[row]])
                continue;
            for (const size_t p : m_bandPositions[ids.band[row]]) {
                if (!m_confirmed[slot(p, c, e)])
                    m_contacts[slot(p, c, e)].push_back(row);
            }
        }
    }
}

std::string_view Tally::entityText(uint32_t folded) const { return m_spelling[folded]; }

std::vector<QslEntry> Tally::qslEntries() const
{
    std::vector<QslEntry> out;
    const auto date = [&](size_t row) {
        return m_date >= 0 ? m_log.value(size_t(m_date), row).value_or(std::string_view()) : std::string_view();
    };
    for (size_t p = 0; p < m_positions.size(); ++p) {
        for (int c = 0; c < Classes; ++c) {
            for (const uint32_t e : m_entityOrder) {
                const auto it = m_contacts.find(slot(p, c, e));
                if (it == m_contacts.end())
                    continue;
                QslEntry entry{m_positions[p], AllClasses[c], entityText(e), it->second};
                std::stable_sort(entry.rows.begin(), entry.rows.end(), [&](size_t a, size_t b) { return date(a) > date(b); });
                out.push_back(std::move(entry));
            }
        }
    }
    return out;
}

std::vector<SlotEntry> Tally::slotEntries() const
{
    std::vector<SlotEntry> out;
    const TextDictionary &bands = m_log.column(size_t(m_band)).dictionary();
    for (size_t p = 0; p < m_positions.size(); ++p) {
        for (int c = 0; c < Classes; ++c) {
            for (const uint32_t e : m_entityOrder) {
                const size_t k = size_t(c) * m_entities + e;
                if (!m_workedAnywhere[k] || m_worked[slot(p, c, e)])
                    continue;
                SlotEntry entry{m_positions[p], AllClasses[c], entityText(e), bool(m_confirmedAnywhere[k]), {}};
                for (const uint32_t b : m_bandsInOrder) {
                    if (m_bandsWorked[k * m_bandWords + b / 64] >> (b % 64) & 1)
                        entry.workedOn.push_back(bands.text(b));
                }
                out.push_back(std::move(entry));
            }
        }
    }
    return out;
}

Lists Tally::lists() const { return {qslEntries(), slotEntries()}; }

} // namespace

std::optional<Lists> lists(const ColumnarLog &log, const Request &request)
{
    Tally tally(log, request);
    if (!tally.run())
        return std::nullopt;
    return tally.lists();
}

ContactReader::ContactReader(const ColumnarLog &log) : m_log(log)
{
    const char *const names[] = {"Callsign", "TDate", "Banda", "Mode", "MANAGER", "DIPTEXT"};
    for (int i = 0; i < 6; ++i) {
        const int c = log.findColumn(names[i]);
        m_columns[i] = c >= 0 && log.column(size_t(c)).text ? c : -1;
    }
}

std::string_view ContactReader::text(int column, size_t row) const
{
    return column < 0 ? std::string_view() : m_log.value(size_t(column), row).value_or(std::string_view());
}

Contact ContactReader::operator()(size_t row) const
{
    return {text(m_columns[0], row), text(m_columns[1], row), text(m_columns[2], row),
            text(m_columns[3], row), text(m_columns[4], row), text(m_columns[5], row)};
}

} // namespace Chase
