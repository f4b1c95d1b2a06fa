// Page-level rules readers rely on, checked on the raw bytes of written files: the used-page
// map lists exactly the table's data pages (never long-value pages), no data page holds more
// than 255 rows, and the rows on the pages add up to the stored row count.

#include "tests/tools/Jet4TestSupport.h"
#include "tools/jet4/Jet4Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

using namespace jet4;
using jet4test::le16;
using jet4test::le32;
using jet4test::MdbTableReader;
using jet4test::PageFile;
using jet4test::ScratchDir;

namespace {

struct Layout {
    std::size_t dataPages = 0;
    std::size_t longValuePages = 0;
    std::size_t rows = 0;
    int mapType = -1;
};

// Checks the pages of `table` and returns what it found.
Layout checkPages(const std::string &path, const std::string &table)
{
    Layout layout;
    MdbTableReader reader(path, table);
    EXPECT_TRUE(reader.ok());
    if (!reader.ok())
        return layout;
    const std::uint32_t tdef = reader.tableDefPage();
    layout.mapType = reader.usageMapType();

    PageFile file(path);
    EXPECT_EQ(file.fileSize() % 4096, 0u);
    EXPECT_EQ(file.page(0)[0], 0x00);
    EXPECT_EQ(std::memcmp(file.page(0) + 4, "Standard Jet DB", 15), 0);
    EXPECT_EQ(file.page(tdef)[0], 0x02);

    // The used-page map record, found as libmdb finds it.
    const std::uint32_t mapRef = le32(file.page(tdef) + 55);
    const std::uint8_t *mapPage = file.page(mapRef >> 8);
    const std::uint32_t mapRow = mapRef & 0xFF;
    const std::uint32_t start = le16(mapPage + 14 + 2 * mapRow) & 0x1FFF;
    const std::uint32_t end = mapRow == 0 ? 4096 : le16(mapPage + 14 + 2 * (mapRow - 1)) & 0x1FFF;
    const std::vector<std::uint32_t> mapped = file.pagesInMap(mapPage + start, end - start);
    const std::set<std::uint32_t> inMap(mapped.begin(), mapped.end());

    std::set<std::uint32_t> owned;
    for (std::uint32_t p = 1; p < file.pageCount(); ++p) {
        const std::uint8_t *page = file.page(p);
        if (page[0] != 0x01)
            continue;
        const bool longValue = std::memcmp(page + 4, "LVAL", 4) == 0;
        if (longValue)
            ++layout.longValuePages;
        if (!longValue && le32(page + 4) != tdef)
            continue;

        // Row offsets: descending, inside the page, at most 255 rows, free space as stated.
        const std::uint32_t rows = le16(page + 12);
        EXPECT_GE(rows, 1u) << "page " << p;
        EXPECT_LE(rows, 255u) << "page " << p;
        std::uint32_t previous = 4096;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint32_t offset = le16(page + 14 + 2 * r);
            EXPECT_LT(offset, previous) << "page " << p << " row " << r;
            previous = offset;
        }
        EXPECT_GE(previous, 14 + 2 * rows) << "rows overlap the offset table on page " << p;
        EXPECT_EQ(le16(page + 2), previous - (14 + 2 * rows)) << "free space on page " << p;
        if (!longValue) {
            owned.insert(p);
            layout.rows += rows;
        }
    }
    layout.dataPages = owned.size();
    EXPECT_EQ(inMap, owned) << "the used-page map must list exactly the table's data pages";
    EXPECT_EQ(layout.rows, reader.storedRowCount());
    return layout;
}

std::vector<Value> shortTextRow(std::size_t r, std::size_t columns)
{
    std::vector<Value> row;
    for (std::size_t c = 0; c < columns; ++c)
        row.push_back(Value{std::string("V") + std::to_string(r * 16 + c)});
    return row;
}

} // namespace

TEST(Jet4Structure, EmptyTableHasNoDataPages)
{
    ScratchDir dir;
    const std::string path = dir.file("empty.mdb");
    Jet4Writer writer("Empty", {{"A", ColumnType::Text}});
    ASSERT_EQ(writer.save(path), "");
    const Layout layout = checkPages(path, "Empty");
    EXPECT_EQ(layout.dataPages, 0u);
    EXPECT_EQ(layout.mapType, 0);
}

TEST(Jet4Structure, NarrowRowsStopAt255PerPage)
{
    ScratchDir dir;
    const std::string path = dir.file("narrow.mdb");
    Jet4Writer writer("Narrow", {{"F", ColumnType::YesNo}});
    for (int i = 0; i < 2000; ++i)
        writer.addRow({Value{i % 2 == 0}});
    ASSERT_EQ(writer.save(path), "");
    const Layout layout = checkPages(path, "Narrow");
    EXPECT_EQ(layout.rows, 2000u);
    EXPECT_EQ(layout.dataPages, 8u); // ceil(2000 / 255)
}

TEST(Jet4Structure, LongValuePagesStayOutOfTheUsedPageMap)
{
    ScratchDir dir;
    const std::string path = dir.file("memo.mdb");
    Jet4Writer writer("Notes", {{"Id", ColumnType::Long}, {"Note", ColumnType::Memo}});
    for (int i = 0; i < 300; ++i)
        writer.addRow({Value{std::int32_t(i)}, Value{std::string(std::size_t(100 + 37 * i), char('a' + i % 26))}});
    ASSERT_EQ(writer.save(path), "");
    const Layout layout = checkPages(path, "Notes");
    EXPECT_GT(layout.longValuePages, 10u);
    EXPECT_EQ(layout.rows, 300u);
}

TEST(Jet4Structure, InlineMapUpToItsLimitThenBitmapPages)
{
    // 16 short text columns take about 200 bytes a row; 20,000 rows need ~1,000 pages,
    // beyond the 472 pages an inline bitmap covers.
    ScratchDir dir;
    std::vector<Column> columns;
    for (int c = 0; c < 16; ++c)
        columns.push_back({"C" + std::to_string(c), ColumnType::Text, 20});
    for (const std::size_t rows : {2000u, 20000u}) {
        const std::string path = dir.file(std::to_string(rows) + ".mdb");
        Jet4Writer writer("Log", columns);
        for (std::size_t r = 0; r < rows; ++r)
            writer.addRow(shortTextRow(r, 16));
        ASSERT_EQ(writer.save(path), "");
        const Layout layout = checkPages(path, "Log");
        EXPECT_EQ(layout.mapType, rows > 2000u ? 1 : 0) << rows;
        EXPECT_EQ(layout.dataPages > 472u, rows > 2000u) << rows;
        EXPECT_EQ(layout.rows, rows);
    }
}
