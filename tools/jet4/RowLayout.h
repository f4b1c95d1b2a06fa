#pragma once
// Column layout of a table and the byte layout of one row on a data page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace jet4::detail {

// Column type codes as stored in a table definition.
constexpr std::uint8_t kTypeBool = 0x01;
constexpr std::uint8_t kTypeInt = 0x03;
constexpr std::uint8_t kTypeLong = 0x04;
constexpr std::uint8_t kTypeDateTime = 0x08;
constexpr std::uint8_t kTypeText = 0x0A;
constexpr std::uint8_t kTypeOle = 0x0B;
constexpr std::uint8_t kTypeMemo = 0x0C;

// Column flags.
constexpr std::uint8_t kColumnFixed = 0x01;
constexpr std::uint8_t kColumnNullable = 0x02;

// Long values (Memo, OLE) keep a 12-byte reference in the row.
constexpr std::size_t kLongValueHeaderSize = 12;

struct ColumnInfo {
    std::u16string name;
    std::uint8_t type = kTypeText;
    std::uint16_t textChars = 255; ///< Text columns only
};

struct ColumnLayout {
    std::u16string name;
    std::uint8_t type = 0;
    std::uint16_t number = 0;      ///< position in the table; also the column's bit in the null mask
    std::uint16_t length = 0;      ///< length in the column entry (Text: bytes, i.e. 2 per character)
    std::uint16_t fixedSize = 0;   ///< bytes in the fixed area (0 for Yes/No and variable columns)
    std::uint16_t fixedOffset = 0; ///< fixed columns: offset inside the fixed area
    std::uint16_t varIndex = 0;    ///< variable columns: slot in the row's offset table
    std::uint8_t flags = 0;
    bool fixed = false;
    bool compressedUnicode = false;
};

struct TableLayout {
    std::vector<ColumnLayout> columns;
    std::uint16_t varCount = 0;
    std::uint16_t fixedAreaSize = 0;

    std::size_t nullMaskSize() const { return (columns.size() + 7) / 8; }
};

TableLayout makeTableLayout(const std::vector<ColumnInfo> &infos);

/// One value while a row is assembled. Yes/No columns use `flag` only (their null-mask bit).
/// Fixed columns take exactly their fixedSize bytes; a NULL fixed column is stored as zeros.
struct Cell {
    bool isNull = true;
    bool flag = false;
    const std::uint8_t *data = nullptr;
    std::size_t size = 0;
};

/// Bytes the row takes on a page.
std::size_t rowSize(const TableLayout &layout, const Cell *cells);

/// Writes the row (rowSize bytes) to dst.
void writeRow(const TableLayout &layout, const Cell *cells, std::uint8_t *dst);

} // namespace jet4::detail
