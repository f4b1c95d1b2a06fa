#include "tools/jet4/RowLayout.h"

#include "tools/jet4/Bytes.h"

#include <cstring>

namespace jet4::detail {

namespace {

std::uint16_t fixedSizeOf(std::uint8_t type)
{
    switch (type) {
    case kTypeInt:
        return 2;
    case kTypeLong:
        return 4;
    case kTypeDateTime:
        return 8;
    default:
        return 0; // Yes/No lives in the null mask
    }
}

bool isFixedType(std::uint8_t type) { return type == kTypeBool || type == kTypeInt || type == kTypeLong || type == kTypeDateTime; }

} // namespace

TableLayout makeTableLayout(const std::vector<ColumnInfo> &infos)
{
    TableLayout layout;
    layout.columns.reserve(infos.size());
    std::uint16_t number = 0;
    for (const ColumnInfo &info : infos) {
        ColumnLayout col;
        col.name = info.name;
        col.type = info.type;
        col.number = number++;
        col.fixed = isFixedType(info.type);
        if (col.fixed) {
            col.fixedSize = fixedSizeOf(info.type);
            col.fixedOffset = layout.fixedAreaSize;
            layout.fixedAreaSize = std::uint16_t(layout.fixedAreaSize + col.fixedSize);
            col.length = col.fixedSize;
            col.flags = info.type == kTypeBool ? kColumnFixed : (kColumnFixed | kColumnNullable);
        } else {
            col.varIndex = layout.varCount++;
            col.flags = kColumnNullable;
            if (info.type == kTypeText) {
                col.length = std::uint16_t(info.textChars * 2);
                col.compressedUnicode = true;
            } else if (info.type == kTypeMemo) {
                col.compressedUnicode = true;
            }
        }
        layout.columns.push_back(std::move(col));
    }
    return layout;
}

std::size_t rowSize(const TableLayout &layout, const Cell *cells)
{
    std::size_t size = 2 + layout.fixedAreaSize + layout.nullMaskSize();
    if (layout.varCount > 0) {
        size += 4 + 2 * std::size_t(layout.varCount); // end offset, offset table, count
        for (const ColumnLayout &col : layout.columns)
            if (!col.fixed && !cells[col.number].isNull)
                size += cells[col.number].size;
    }
    return size;
}

void writeRow(const TableLayout &layout, const Cell *cells, std::uint8_t *dst)
{
    const std::size_t total = rowSize(layout, cells);
    std::memset(dst, 0, total);
    put16(dst, 0, std::uint32_t(layout.columns.size()));

    std::uint8_t *mask = dst + total - layout.nullMaskSize();
    const std::size_t fixedStart = 2;
    std::size_t pos = fixedStart + layout.fixedAreaSize;

    // The offset table lists variable columns by slot; fill it while the values go out in order.
    const std::size_t varCount = layout.varCount;
    const std::size_t trailer = total - layout.nullMaskSize() - (4 + 2 * varCount);
    for (const ColumnLayout &col : layout.columns) {
        const Cell &cell = cells[col.number];
        const bool present = col.type == kTypeBool ? cell.flag : !cell.isNull;
        if (present)
            mask[col.number / 8] |= std::uint8_t(1u << (col.number % 8));
        if (col.fixed) {
            if (!cell.isNull && col.fixedSize > 0)
                std::memcpy(dst + fixedStart + col.fixedOffset, cell.data, col.fixedSize);
            continue;
        }
        // Slot i sits at trailer + 2 + 2 * (varCount - 1 - i): the table is stored last slot first.
        put16(dst, trailer + 2 + 2 * (varCount - 1 - col.varIndex), std::uint32_t(pos));
        if (!cell.isNull && cell.size > 0) {
            std::memcpy(dst + pos, cell.data, cell.size);
            pos += cell.size;
        }
    }
    if (varCount > 0) {
        put16(dst, trailer, std::uint32_t(pos));                         // end of the variable data
        put16(dst, trailer + 2 + 2 * varCount, std::uint32_t(varCount)); // entries in the offset table
    }
}

} // namespace jet4::detail
