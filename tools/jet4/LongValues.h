#pragma once
// Memo values: the 12-byte reference kept in the row, and the long-value (LVAL) pages that hold
// values too long for the row.

#include "tools/jet4/PageStore.h"

#include <cstddef>
#include <cstdint>

namespace jet4::detail {

/// Longest memo, in stored bytes: the reference holds the length in 24 bits.
constexpr std::size_t kMaxLongValueSize = 0xFFFFFF;

/// Reference for a value kept in the row right after it.
void inlineLongValueHeader(std::size_t size, std::uint8_t *header);

class LongValueWriter {
public:
    explicit LongValueWriter(PageStore &store) : m_store(store) {}

    /// Puts `data` on long-value pages and fills the 12-byte reference `header`:
    /// one row on one page when it fits, otherwise a chain of rows each naming the next.
    void store(const std::uint8_t *data, std::size_t size, std::uint8_t *header);

private:
    // Adds one row (optional 4-byte link to the next row, then data); returns its page/row.
    std::uint32_t placeRow(const std::uint32_t *next, const std::uint8_t *data, std::size_t size);

    PageStore &m_store;
    std::uint32_t m_current = 0; // page that takes small rows; 0 while there is none
};

} // namespace jet4::detail
