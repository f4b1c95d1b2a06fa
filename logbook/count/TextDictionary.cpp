#include "logbook/count/TextDictionary.h"

#include <functional>

namespace {

uint32_t hashOf(std::string_view text)
{
    const size_t h = std::hash<std::string_view>{}(text);
    return uint32_t(h ^ (h >> 32));
}

} // namespace

TextDictionary::TextDictionary() : m_offsets{0, 0}, m_slots(16, 0), m_hashes{0} {}

uint32_t TextDictionary::intern(std::string_view text)
{
    const uint32_t h = hashOf(text);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
        const uint32_t id = m_slots[i];
        if (id == 0)
            break;
        if (m_hashes[id] == h && this->text(id) == text)
            return id;
    }
    const uint32_t id = size();
    m_bytes.append(text);
    m_offsets.push_back(m_bytes.size());
    m_hashes.push_back(h);
    if (size_t(id) * 2 >= m_slots.size())
        grow();
    else {
        for (size_t i = h & mask;; i = (i + 1) & mask) {
            if (m_slots[i] == 0) {
                m_slots[i] = id;
                break;
            }
        }
    }
    return id;
}

void TextDictionary::grow()
{
    m_slots.assign(m_slots.size() * 2, 0);
    const size_t mask = m_slots.size() - 1;
    for (uint32_t id = 1; id < size(); ++id) {
        for (size_t i = m_hashes[id] & mask;; i = (i + 1) & mask) {
            if (m_slots[i] == 0) {
                m_slots[i] = id;
                break;
            }
        }
    }
}

void TextDictionary::seal()
{
    std::vector<uint32_t>().swap(m_slots);
    std::vector<uint32_t>().swap(m_hashes);
    m_bytes.shrink_to_fit();
    m_offsets.shrink_to_fit();
}

size_t TextDictionary::memoryBytes() const
{
    return m_bytes.capacity() + m_offsets.capacity() * sizeof(size_t) + (m_slots.capacity() + m_hashes.capacity()) * sizeof(uint32_t);
}
