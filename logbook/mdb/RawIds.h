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

    /// What finding a field starts from: its first 8 bytes and its hash.
    struct Key {
        std::uint64_t head;
        std::uint32_t hash;
    };
    /// `end` is where the readable bytes around the field end (at least
    /// bytes + size): a short field is then read as one word.
    static Key keyOf(const unsigned char *bytes, std::size_t size, const unsigned char *end);
    /// Asks for the memory that finding `key` reads first, so that a batch of
    /// fields keyed first and found after waits on memory once.
    void prefetch(Key key) const { __builtin_prefetch(&m_slots[(key.hash >> 8) & (m_slots.size() - 1)]); }

    /// The id of the `size` bytes at `bytes`, whose key is `key`; `added`
    /// tells whether they are new.
    std::uint32_t find(Key key, const unsigned char *bytes, std::size_t size, bool &added);
    std::uint32_t find(const unsigned char *bytes, std::size_t size, bool &added)
    {
        return find(keyOf(bytes, size, bytes + size), bytes, size, added);
    }

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
