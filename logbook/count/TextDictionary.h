#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// The distinct texts of one column, each stored once. Id 0 stands for NULL;
/// texts get ids 1, 2, ... in the order they are first seen. Texts that differ
/// only in case get ids of their own: grouping them is the column's business.
class TextDictionary {
public:
    static constexpr uint32_t Null = 0;

    TextDictionary();

    /// The id of `text`, adding it when it is new.
    uint32_t intern(std::string_view text);

    /// Number of ids, the NULL id included.
    uint32_t size() const { return uint32_t(m_offsets.size() - 1); }
    /// The text of a non-NULL id.
    std::string_view text(uint32_t id) const { return std::string_view(m_bytes).substr(m_offsets[id], m_offsets[id + 1] - m_offsets[id]); }

    /// Drops what finding texts needs; intern() must not be called afterwards.
    void seal();

    /// Memory held, in bytes.
    size_t memoryBytes() const;

private:
    void grow();

    std::string m_bytes;            ///< the texts one after the other
    std::vector<size_t> m_offsets;  ///< text of id i: [m_offsets[i], m_offsets[i + 1]); id 0 is empty
    std::vector<uint32_t> m_slots;  ///< open addressing: id, or 0 when free
    std::vector<uint32_t> m_hashes; ///< per id, for growing the slots
};
