#pragma once
#include "entities/DxccEntity.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

/// The DXCC entities a logbook's DXC texts are matched with: the current ones
/// of a country file (cty.csv, the country files maintained for loggers) and
/// the deleted ones.
///
/// A text is matched, without regard to case and to blanks around it, first
/// with the primary prefixes (the current entities' before the deleted ones'),
/// then with the whole callsigns a country file lists for an entity ("=3D2CR"),
/// then by the longest prefix of a current entity's prefix list that the text
/// starts with. A text that matches nothing has no entity.
class EntityTable {
public:
    /// The deleted entities only (no country file found).
    EntityTable();

    /// The entities of a country file in the cty.csv format, one entity a line:
    /// primary prefix, name, ADIF code, continent, CQ zone, ITU zone, latitude,
    /// longitude, time offset and the prefix list (blank-separated, ending in
    /// ";"), plus the deleted entities. Lines whose primary prefix starts with
    /// "*" are areas of other awards (WAE, CQ), not DXCC entities: they are left
    /// out, so their prefixes fall to the entity they belong to. Lines that are
    /// not of this shape are skipped and counted in `skipped`.
    static EntityTable fromCountryFile(std::string_view csv, size_t *skipped = nullptr);

    /// The entity of a log's DXC text; nullptr for none.
    const DxccEntity *lookup(std::string_view dxcText) const;

    /// Every entity, current ones first, in the order of the file.
    const std::vector<DxccEntity> &entities() const { return m_entities; }
    size_t currentCount() const { return m_current; }

private:
    void add(DxccEntity entity, const std::vector<std::string> &prefixes, const std::vector<std::string> &calls);
    void addDeleted();

    std::vector<DxccEntity> m_entities;
    size_t m_current = 0;
    std::unordered_map<std::string, size_t> m_primary;  ///< upper-cased primary prefix -> entity
    std::unordered_map<std::string, size_t> m_calls;    ///< upper-cased whole callsign -> entity
    std::unordered_map<std::string, size_t> m_prefixes; ///< upper-cased prefix -> entity
    size_t m_longestPrefix = 0;
};

/// ASCII letters upper-cased, blanks around removed.
std::string entityKey(std::string_view text);
