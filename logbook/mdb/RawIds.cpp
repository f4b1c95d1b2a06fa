#include "logbook/mdb/RawIds.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace mdbreader {
namespace {

/// The first 8 bytes, zero-padded; the bytes up to `end` may be read.
std::uint64_t headOf(const unsigned char *p, std::size_t n, const unsigned char *end)
{
    std::uint64_t w = 0;
    if (n >= 8) {
        std::memcpy(&w, p, 8);
    } else if (end - p >= 8) {
        std::memcpy(&w, p, 8);
        if constexpr (std::endian::native == std::endian::little)
            w &= (std::uint64_t(1) << (8 * n)) - 1;
        else
            w = headOf(p, n, p + n);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            w |= std::uint64_t(p[i]) << (8 * i);
    }
    return w;
}

/// A hash for short byte strings, eight bytes at a time, the first 8 given.
std::uint32_t hashOf(std::uint64_t head, const unsigned char *p, std::size_t n)
{
    std::uint64_t h = (std::uint64_t(n) + 1) * 0x9e3779b97f4a7c15ull;
    h = (h ^ head) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 31;
    for (std::size_t at = 8; at < n; at += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, p + at, std::min<std::size_t>(8, n - at));
        h = (h ^ w) * 0x94d049bb133111ebull;
        h ^= h >> 29;
    }
    h *= 0xbf58476d1ce4e5b9ull;
    return std::uint32_t(h >> 32);
}

} // namespace

RawIds::RawIds() : m_slots(64) {}

std::uint32_t RawIds::find(const unsigned char *bytes, std::size_t size, const unsigned char *end, bool &added)
{
    const std::uint64_t head = headOf(bytes, size, end);
    const std::uint32_t h = hashOf(head, bytes, size);
    const std::uint32_t tag = (h & ~0xffu) | std::uint32_t(std::min<std::size_t>(size, 0xff));
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = (h >> 8) & mask;
    for (;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.id == 0)
            break;
        if (slot.tag != tag || slot.head != head)
            continue;
        const std::uint32_t id = slot.id - 1;
        if (size <= 8) {
            added = false;
            return id;
        }
        const Entry &e = m_entries[id];
        if (e.length == size && std::memcmp(m_bytes.data() + e.start, bytes, size) == 0) {
            added = false;
            return id;
        }
    }
    const std::uint32_t id = std::uint32_t(m_entries.size());
    m_entries.push_back({std::uint32_t(m_bytes.size()), std::uint32_t(size)});
    if (size > 8)
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    m_slots[i] = {head, tag, id + 1};
    if (std::size_t(id + 1) * 2 > m_slots.size())
        grow();
    added = true;
    return id;
}

void RawIds::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.id == 0)
            continue;
        std::size_t i = (slot.tag >> 8) & mask;
        while (m_slots[i].id != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace mdbreader
