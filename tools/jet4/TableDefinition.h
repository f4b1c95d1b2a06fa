#pragma once
// Table definition pages: counts, usage map references, column entries and column names.

#include "tools/jet4/Bytes.h"
#include "tools/jet4/RowLayout.h"

#include <cstdint>
#include <vector>

namespace jet4::detail {

constexpr std::uint8_t kUserTable = 0x4E;
constexpr std::uint8_t kSystemTable = 0x53;

struct TableDefinition {
    const TableLayout *layout = nullptr;
    std::uint8_t tableType = kUserTable;
    std::uint32_t rowCount = 0;
    std::uint32_t usedMapPageRow = 0; ///< page/row of the used-page map record
    std::uint32_t freeMapPageRow = 0; ///< page/row of the free-space map record
};

/// The definition as one stream, as if all its pages were joined (first page header included).
std::vector<std::uint8_t> encodeTableDefinition(const TableDefinition &def);

/// Pages needed to hold an encoded definition.
std::size_t tableDefinitionPageCount(std::size_t encodedSize);

/// Splits an encoded definition into pages; continuation page i is stored at continuationPages[i].
std::vector<Page> paginateTableDefinition(const std::vector<std::uint8_t> &encoded, const std::vector<std::uint32_t> &continuationPages);

} // namespace jet4::detail
