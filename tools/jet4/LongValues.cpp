#include "tools/jet4/LongValues.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace jet4::detail {

namespace {

constexpr std::uint8_t kInline = 0x80;
constexpr std::uint8_t kSingleRow = 0x40;
constexpr std::uint8_t kChain = 0x00;
constexpr std::size_t kChainPieceSize = kMaxRowSize - 4;

void putHeader(std::uint8_t *header, std::size_t size, std::uint8_t kind, std::uint32_t where)
{
    std::memset(header, 0, 12);
    put24(header, 0, std::uint32_t(size));
    header[3] = kind;
    put32(header, 4, where);
}

} // namespace

void inlineLongValueHeader(std::size_t size, std::uint8_t *header) { putHeader(header, size, kInline, 0); }

std::uint32_t LongValueWriter::placeRow(const std::uint32_t *next, const std::uint8_t *data, std::size_t size)
{
    const std::size_t rowSize = size + (next ? 4 : 0);
    std::uint32_t pageNo;
    if (m_current != 0 && rowpage::fits(m_store.page(m_current), rowSize)) {
        pageNo = m_current;
    } else {
        pageNo = m_store.allocate();
        rowpage::initLongValue(m_store.page(pageNo));
        // A row that fills most of a page gets a page of its own; the shared page stays open.
        if (rowSize <= kMaxRowSize / 2 || m_current == 0)
            m_current = pageNo;
    }
    std::uint32_t row;
    std::uint8_t *dst = rowpage::append(m_store.page(pageNo), rowSize, row);
    if (next) {
        put32(dst, 0, *next);
        dst += 4;
    }
    if (size > 0)
        std::memcpy(dst, data, size);
    return pageRow(pageNo, row);
}

void LongValueWriter::store(const std::uint8_t *data, std::size_t size, std::uint8_t *header)
{
    if (size <= kMaxRowSize) {
        putHeader(header, size, kSingleRow, placeRow(nullptr, data, size));
        return;
    }
    // Place the pieces last to first so that each one can name its successor.
    const std::size_t pieces = (size + kChainPieceSize - 1) / kChainPieceSize;
    std::uint32_t next = 0;
    for (std::size_t i = pieces; i-- > 0;) {
        const std::size_t offset = i * kChainPieceSize;
        const std::size_t len = std::min(kChainPieceSize, size - offset);
        next = placeRow(&next, data + offset, len);
    }
    putHeader(header, size, kChain, next);
}

} // namespace jet4::detail
