#include "tools/jet4/PageStore.h"

#include <algorithm>

namespace jet4::detail {

std::uint32_t PageStore::allocate()
{
    m_pages.push_back(std::make_unique<Page>()); // value-initialised: all zero
    return endPage() - 1;
}

namespace rowpage {

namespace {

constexpr std::size_t kFreeSpaceOffset = 2;
constexpr std::size_t kOwnerOffset = 4;

// Where the lowest row starts (rows grow downwards from the page end).
std::size_t rowsStart(const Page &page)
{
    const std::size_t rows = rowCount(page);
    return rows == 0 ? kPageSize : (get16(page.data(), kDataPageHeaderSize + 2 * (rows - 1)) & 0x1FFF);
}

std::size_t freeSpace(const Page &page) { return rowsStart(page) - (kDataPageHeaderSize + 2 * rowCount(page)); }

void initCommon(Page &page)
{
    page.fill(0);
    page[0] = kPageData;
    page[1] = 0x01;
    put16(page.data(), kFreeSpaceOffset, std::uint32_t(kPageSize - kDataPageHeaderSize));
}

} // namespace

void initData(Page &page, std::uint32_t tableDefPage)
{
    initCommon(page);
    put32(page.data(), kOwnerOffset, tableDefPage);
}

void initLongValue(Page &page)
{
    initCommon(page);
    page[kOwnerOffset] = 'L';
    page[kOwnerOffset + 1] = 'V';
    page[kOwnerOffset + 2] = 'A';
    page[kOwnerOffset + 3] = 'L';
}

std::size_t rowCount(const Page &page) { return get16(page.data(), kDataPageRowCountOffset); }

bool fits(const Page &page, std::size_t size) { return rowCount(page) < kMaxRowsPerPage && freeSpace(page) >= size + 2; }

std::uint8_t *append(Page &page, std::size_t size, std::uint32_t &rowNumber)
{
    const std::size_t rows = rowCount(page);
    const std::size_t start = rowsStart(page) - size;
    put16(page.data(), kDataPageHeaderSize + 2 * rows, std::uint32_t(start));
    put16(page.data(), kDataPageRowCountOffset, std::uint32_t(rows + 1));
    put16(page.data(), kFreeSpaceOffset, std::uint32_t(freeSpace(page)));
    rowNumber = std::uint32_t(rows);
    return page.data() + start;
}

} // namespace rowpage

namespace {

// The record is 64 bytes, as Access writes it: a type byte, then either a start page and a
// bitmap of 59 bytes, or up to 15 bitmap page numbers.
constexpr std::size_t kMapRecordSize = 64;
constexpr std::size_t kInlineBitmapPages = (kMapRecordSize - 5) * 8;
constexpr std::size_t kPagesPerBitmapPage = (kPageSize - 4) * 8;

} // namespace

UsageMap buildUsageMap(const std::vector<std::uint32_t> &pages, std::uint32_t firstBitmapPage)
{
    UsageMap map;
    if (pages.empty() || pages.back() - pages.front() < kInlineBitmapPages) {
        map.record.assign(kMapRecordSize, 0);
        map.record[0] = 0x00;
        const std::uint32_t start = pages.empty() ? 0 : pages.front();
        put32(map.record.data(), 1, start);
        for (std::uint32_t p : pages) {
            const std::uint32_t bit = p - start;
            map.record[5 + bit / 8] |= std::uint8_t(1u << (bit % 8));
        }
        return map;
    }

    // Separate bitmap pages; slot i of the record covers pages [i * kPagesPerBitmapPage, ...).
    const std::size_t slots = pages.back() / kPagesPerBitmapPage + 1;
    map.record.assign(std::max(kMapRecordSize, 1 + 4 * slots), 0);
    map.record[0] = 0x01;
    std::size_t current = SIZE_MAX;
    for (std::uint32_t p : pages) {
        const std::size_t slot = p / kPagesPerBitmapPage;
        if (slot != current) {
            current = slot;
            map.bitmapPages.emplace_back();
            Page &bitmap = map.bitmapPages.back();
            bitmap.fill(0);
            bitmap[0] = kPageUsageBitmap;
            bitmap[1] = 0x01;
            put32(map.record.data(), 1 + 4 * slot, firstBitmapPage + std::uint32_t(map.bitmapPages.size() - 1));
        }
        const std::size_t bit = p - slot * kPagesPerBitmapPage;
        map.bitmapPages.back()[4 + bit / 8] |= std::uint8_t(1u << (bit % 8));
    }
    return map;
}

std::vector<std::uint8_t> emptyFreeSpaceMap() { return std::vector<std::uint8_t>(kMapRecordSize, 0); }

} // namespace jet4::detail
