#pragma once
// Pages of the file held in memory while rows are added, the row pages (data and long-value
// pages share one layout) and the used-page maps of a table.

#include "tools/jet4/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace jet4::detail {

/// Numbered pages from `firstPage` on, allocated one after the other.
class PageStore {
public:
    explicit PageStore(std::uint32_t firstPage) : m_first(firstPage) {}

    /// Appends a zeroed page and returns its number.
    std::uint32_t allocate();
    Page &page(std::uint32_t number) { return *m_pages[number - m_first]; }
    const Page &page(std::uint32_t number) const { return *m_pages[number - m_first]; }
    std::uint32_t firstPage() const { return m_first; }
    /// Number of the page the next allocate() returns.
    std::uint32_t endPage() const { return m_first + std::uint32_t(m_pages.size()); }

private:
    std::uint32_t m_first;
    std::vector<std::unique_ptr<Page>> m_pages;
};

/// A page of rows: 14-byte header, row offsets from byte 14 on, rows packed from the page end
/// downwards. Data pages name the owning table definition page, long-value pages say "LVAL".
namespace rowpage {

void initData(Page &page, std::uint32_t tableDefPage);
void initLongValue(Page &page);
std::size_t rowCount(const Page &page);
/// True if a row of `size` bytes still fits (space and the row-number limit).
bool fits(const Page &page, std::size_t size);
/// Reserves `size` bytes for a new row and returns where to write it; `rowNumber` receives its number.
/// The caller checked fits().
std::uint8_t *append(Page &page, std::size_t size, std::uint32_t &rowNumber);

} // namespace rowpage

/// The used-page map of a table: the record kept as a row, and the bitmap pages it points to
/// once the pages no longer fit the record's own bitmap.
struct UsageMap {
    std::vector<std::uint8_t> record;
    std::vector<Page> bitmapPages; ///< to be stored at firstBitmapPage, firstBitmapPage + 1, ...
};

/// `pages` must be ascending. Bitmap pages, if needed, are numbered from firstBitmapPage on.
UsageMap buildUsageMap(const std::vector<std::uint32_t> &pages, std::uint32_t firstBitmapPage);

/// A free-space map that lists no page (every page counts as full).
std::vector<std::uint8_t> emptyFreeSpaceMap();

} // namespace jet4::detail
