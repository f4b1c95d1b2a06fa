#pragma once
// Ids for the raw bytes of a column's fields, as the file holds them (before
// any conversion): the page reader converts each distinct field once.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mdbreader {

/// The distinct byte strings of one column, numbered from 0 in the order
/// they are first given.
class RawIds {
public:
    RawIds();

    /// The id of the `size` bytes at `bytes`; `added` tells whether they are
    /// new. The bytes up to `end` (at least bytes + size) may be read: a
    /// short field is then read as one word.
    std::uint32_t find(const unsigned char *bytes, std::size_t size, const unsigned char *end, bool &added);

    std::uint32_t size() const { return std::uint32_t(m_entries.size()); }

private:
    void grow();

    struct Entry {
        std::uint32_t start; ///< where its bytes start
        std::uint32_t length;
    };
    std::vector<unsigned char> m_bytes; ///< the fields longer than 8 bytes
    std::vector<Entry> m_entries;       ///< per id
    /// Open addressing; a field of up to 8 bytes is kept in its slot, so
    /// that finding it again reads nothing else.
    struct Slot {
        std::uint64_t head = 0; ///< the first 8 bytes, zero-padded
        std::uint32_t tag = 0;  ///< the hash with the length in its low byte
        std::uint32_t id = 0;   ///< id + 1, or 0 when free
    };
    std::vector<Slot> m_slots;
};

} // namespace mdbreader
