#pragma once
// The database header page and the system catalog (MSysObjects) that readers start from.

#include "tools/jet4/Bytes.h"
#include "tools/jet4/RowLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jet4::detail {

/// Page 0: format and version, with its fixed-key RC4 scrambled block.
Page makeHeaderPage(double creationDate);

/// Column layout of MSysObjects.
const TableLayout &catalogLayout();

struct CatalogEntry {
    std::u16string name;
    std::uint32_t tableDefPage = 0;
    bool system = false;
};

/// Writes the catalog rows on `page` (a fresh data page of MSysObjects, owned by catalogDefPage).
/// Returns false if they do not fit on one page.
bool writeCatalogPage(Page &page, std::uint32_t catalogDefPage, const std::vector<CatalogEntry> &entries, double creationDate);

} // namespace jet4::detail
