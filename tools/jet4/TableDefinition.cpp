#include "tools/jet4/TableDefinition.h"

#include "tools/jet4/TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace jet4::detail {

namespace {

constexpr std::size_t kPageHeaderSize = 8; // type, 0x01, free space, next page
constexpr std::size_t kColumnEntrySize = 25;
constexpr std::size_t kColumnsStart = 63;
constexpr std::size_t kContinuationCapacity = kPageSize - kPageHeaderSize;
constexpr std::uint16_t kGeneralSortOrder = 0x0409;

} // namespace

std::vector<std::uint8_t> encodeTableDefinition(const TableDefinition &def)
{
    const TableLayout &layout = *def.layout;
    const auto numColumns = std::uint32_t(layout.columns.size());

    std::vector<std::uint8_t> out(kColumnsStart + kColumnEntrySize * numColumns, 0);
    std::uint8_t *p = out.data();
    p[0] = kPageTableDef;
    p[1] = 0x01;
    put32(p, 16, def.rowCount);
    p[24] = 0x01; // autonumber flag, as Access writes it
    p[40] = def.tableType;
    put16(p, 41, numColumns); // most columns a row has had
    put16(p, 43, layout.varCount);
    put16(p, 45, numColumns);
    put32(p, 47, 0); // logical indexes
    put32(p, 51, 0); // index entries
    put32(p, 55, def.usedMapPageRow);
    put32(p, 59, def.freeMapPageRow);

    std::size_t at = kColumnsStart;
    for (const ColumnLayout &col : layout.columns) {
        p[at + 0] = col.type;
        put16(p, at + 5, col.number);
        put16(p, at + 7, col.varIndex);
        put16(p, at + 9, col.number);
        if (col.type == kTypeText || col.type == kTypeMemo)
            put16(p, at + 11, kGeneralSortOrder);
        p[at + 15] = col.flags;
        p[at + 16] = col.compressedUnicode ? 0x01 : 0x00;
        put16(p, at + 21, col.fixedOffset);
        put16(p, at + 23, col.length);
        at += kColumnEntrySize;
    }

    std::vector<std::uint8_t> name;
    for (const ColumnLayout &col : layout.columns) {
        name.clear();
        appendUtf16le(col.name, name);
        const std::size_t len = name.size();
        out.push_back(std::uint8_t(len));
        out.push_back(std::uint8_t(len >> 8));
        out.insert(out.end(), name.begin(), name.end());
    }
    // No indexes follow; the list of long-value column maps is empty.
    out.push_back(0xFF);
    out.push_back(0xFF);

    put32(out.data(), 8, std::uint32_t(out.size()));
    return out;
}

std::size_t tableDefinitionPageCount(std::size_t encodedSize)
{
    if (encodedSize <= kPageSize)
        return 1;
    return 1 + (encodedSize - kPageSize + kContinuationCapacity - 1) / kContinuationCapacity;
}

std::vector<Page> paginateTableDefinition(const std::vector<std::uint8_t> &encoded, const std::vector<std::uint32_t> &continuationPages)
{
    std::vector<Page> pages(tableDefinitionPageCount(encoded.size()));
    std::size_t pos = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        Page &page = pages[i];
        page.fill(0);
        std::size_t used;
        if (i == 0) {
            used = std::min(encoded.size(), kPageSize);
            std::memcpy(page.data(), encoded.data(), used);
        } else {
            page[0] = kPageTableDef;
            page[1] = 0x01;
            const std::size_t chunk = std::min(encoded.size() - pos, kContinuationCapacity);
            std::memcpy(page.data() + kPageHeaderSize, encoded.data() + pos, chunk);
            used = kPageHeaderSize + chunk;
        }
        pos += (i == 0) ? used : used - kPageHeaderSize;
        const std::size_t free = kPageSize - used;
        put16(page.data(), 2, std::uint32_t(free >= 8 ? free - 8 : 0));
        put32(page.data(), 4, i + 1 < pages.size() ? continuationPages[i] : 0);
    }
    return pages;
}

} // namespace jet4::detail
