#include "logbook/mdb/PageReader.h"

#include "logbook/mdb/ColumnarStream.h"
#include "logbook/mdb/JetFieldText.h"
#include "logbook/mdb/MdbFields.h"
#include "logbook/mdb/RawIds.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace mdbreader {
namespace {

constexpr std::size_t PageSize = 4096;
constexpr unsigned OffsetMask = 0x1fff;
constexpr unsigned DeletedRow = 0x4000;
constexpr unsigned OverflowRow = 0x8000;
constexpr unsigned MaxColumns = 255;
constexpr std::size_t NameBytes = 257; ///< libmdb's column and object names, with their NUL
constexpr std::size_t ColumnEntry = 25;
constexpr std::size_t RealIndexEntry = 12;

// The column types of Jet the page reader reads.
enum : std::uint8_t { Bool = 0x01, Byte = 0x02, Int = 0x03, LongInt = 0x04, DateTime = 0x08, TextType = 0x0a, MemoType = 0x0c };

std::uint16_t le16(const unsigned char *p) { return std::uint16_t(p[0] | p[1] << 8); }
std::uint32_t le32(const unsigned char *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

/// Thrown (and caught inside this file) when the table is declined.
struct Declined {
    std::string why;
};

[[noreturn]] void decline(std::string why) { throw Declined{std::move(why)}; }

bool sameAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

/// A row found through a page's row offset table.
struct RowAt {
    const unsigned char *bytes = nullptr;
    std::size_t size = 0;
    unsigned flags = 0;
    const unsigned char *pageEnd = nullptr; ///< the end of its page: what may be read around a field
};

class Image {
public:
    Image(const unsigned char *data, std::size_t size) : m_data(data), m_pages(size / PageSize) {}

    std::uint32_t pageCount() const { return std::uint32_t(std::min<std::size_t>(m_pages, UINT32_MAX)); }
    const unsigned char *page(std::uint32_t n) const
    {
        if (n >= m_pages)
            decline("page " + std::to_string(n) + " lies past the end of the file");
        return m_data + std::size_t(n) * PageSize;
    }

    /// Row `row` of page `p`, as libmdb finds it (the row before it ends it).
    static bool findRow(const unsigned char *p, unsigned row, RowAt &at)
    {
        const unsigned rows = le16(p + 12);
        if (row >= rows || 14 + 2 * std::size_t(rows) > PageSize)
            return false;
        const unsigned offset = le16(p + 14 + 2 * row);
        const unsigned start = offset & OffsetMask;
        const unsigned next = row == 0 ? unsigned(PageSize) : le16(p + 14 + 2 * (row - 1)) & OffsetMask;
        if (start >= PageSize || start > next)
            return false;
        at = {p + start, next - start, offset & (DeletedRow | OverflowRow), p + PageSize};
        return true;
    }

    /// Asks for page `n` to be brought near; the pages of a table's map lie in
    /// the file (mapPages() declines the others).
    void prefetch(std::uint32_t n) const
    {
        const unsigned char *p = m_data + std::size_t(n) * PageSize;
        for (std::size_t at = 0; at < PageSize; at += 64)
            __builtin_prefetch(p + at);
    }

    /// The row a long-value or map pointer (page << 8 | row) names.
    RowAt pointed(std::uint32_t pageRow) const
    {
        RowAt at;
        if (!findRow(page(pageRow >> 8), pageRow & 0xff, at) || at.flags != 0)
            decline("a pointer to row " + std::to_string(pageRow & 0xff) + " of page " + std::to_string(pageRow >> 8) + " finds no row");
        return at;
    }

private:
    const unsigned char *m_data;
    std::size_t m_pages;
};

struct ColumnDef {
    std::uint8_t type = 0;
    unsigned number = 0;    ///< in the null mask
    unsigned varNumber = 0; ///< in the variable column offsets
    bool fixed = false;
    unsigned fixedOffset = 0;
    unsigned size = 0;
    std::string name;
    bool skipped = false; ///< of a type not read here, passed over (in the catalog)
};

Kind kindOf(std::uint8_t type) { return type == TextType || type == MemoType || type == DateTime ? Kind::Text : Kind::Integer; }

/// A table definition, its pages joined as libmdb joins them.
struct TableDef {
    std::uint32_t page = 0;
    std::uint32_t rowCount = 0;
    unsigned varColumns = 0;
    std::vector<ColumnDef> columns;
    std::vector<std::uint32_t> mapPages; ///< every page the usage map names, in order
};

std::vector<std::uint32_t> mapPages(const Image &image, const RowAt &map)
{
    std::vector<std::uint32_t> pages;
    const auto add = [&](std::uint64_t page) {
        if (page == 0)
            return false; // libmdb's end of the map
        if (page >= image.pageCount())
            decline("the page map names a page past the end of the file");
        pages.push_back(std::uint32_t(page));
        return true;
    };
    if (map.size < 1)
        decline("the table has no page map");
    if (map.bytes[0] == 0) {
        if (map.size < 5)
            decline("the page map is damaged");
        const std::uint32_t first = le32(map.bytes + 1);
        for (std::size_t i = 0; i < (map.size - 5) * 8; ++i) {
            if (map.bytes[5 + i / 8] & (1u << (i % 8)) && !add(std::uint64_t(first) + i))
                break;
        }
    } else if (map.bytes[0] == 1) {
        const std::size_t bits = (PageSize - 4) * 8;
        for (std::size_t k = 0; k < (map.size - 1) / 4; ++k) {
            const std::uint32_t mapPage = le32(map.bytes + 1 + 4 * k);
            if (mapPage == 0)
                continue;
            const unsigned char *bitmap = image.page(mapPage) + 4;
            for (std::size_t i = 0; i < bits; ++i) {
                if (bitmap[i / 8] & (1u << (i % 8)) && !add(std::uint64_t(k) * bits + i))
                    return pages;
            }
        }
    } else {
        decline("the page map is of a kind not read here");
    }
    for (std::size_t i = 1; i < pages.size(); ++i) {
        if (pages[i] <= pages[i - 1])
            decline("the page map of the table is damaged");
    }
    return pages;
}

/// The definition on `page`; with `passOver` columns of types not read here
/// are passed over rather than declined.
TableDef readDefinition(const Image &image, std::uint32_t page, bool passOver = false)
{
    TableDef def;
    def.page = page;
    std::vector<unsigned char> bytes;
    std::uint32_t at = page;
    for (std::uint32_t n = 0; at != 0; ++n) {
        const unsigned char *p = image.page(at);
        if (p[0] != 0x02 || n > image.pageCount())
            decline("the table definition is damaged");
        bytes.insert(bytes.end(), p + (n == 0 ? 0 : 8), p + PageSize);
        at = le32(p + 4);
    }
    const unsigned char *d = bytes.data();
    def.rowCount = le32(d + 16);
    def.varColumns = le16(d + 43);
    const unsigned columns = le16(d + 45);
    const std::uint32_t realIndexes = le32(d + 51);
    if (columns == 0 || columns > MaxColumns || realIndexes > 1000)
        decline("the table definition holds what is not read here");
    std::size_t pos = 63 + std::size_t(realIndexes) * RealIndexEntry;
    if (pos + columns * ColumnEntry > bytes.size())
        decline("the table definition is damaged");
    for (unsigned i = 0; i < columns; ++i, pos += ColumnEntry) {
        const unsigned char *c = d + pos;
        ColumnDef col;
        col.type = c[0];
        col.number = c[5];
        col.varNumber = le16(c + 7);
        col.fixed = c[15] & 0x01;
        col.fixedOffset = le16(c + 21);
        col.size = le16(c + 23);
        // The types read here, each with the form and width Jet gives it.
        unsigned width = 0;
        switch (col.type) {
        case Bool:
            break;
        case Byte:
            width = 1;
            break;
        case Int:
            width = 2;
            break;
        case LongInt:
            width = 4;
            break;
        case DateTime:
            width = 8;
            break;
        case TextType:
        case MemoType:
            if (col.fixed)
                decline("a text column of fixed length is not read here");
            break;
        default:
            if (!passOver)
                decline("a column of type " + std::to_string(col.type) + " is not read here");
            col.skipped = true;
        }
        if (width > 0 && (!col.fixed || col.size != width))
            decline("a column of type " + std::to_string(col.type) + " has a form not read here");
        def.columns.push_back(std::move(col));
    }
    for (ColumnDef &col : def.columns) {
        if (pos + 2 > bytes.size())
            decline("the table definition is damaged");
        const unsigned length = le16(d + pos);
        pos += 2;
        if (pos + length > bytes.size())
            decline("the table definition is damaged");
        jetText(d + pos, length, col.name, NameBytes);
        pos += length;
    }
    std::stable_sort(def.columns.begin(), def.columns.end(), [](const ColumnDef &a, const ColumnDef &b) { return a.number < b.number; });
    for (std::size_t i = 1; i < def.columns.size(); ++i) {
        if (def.columns[i].number == def.columns[i - 1].number)
            decline("two columns share a number");
    }
    def.mapPages = mapPages(image, image.pointed(le32(d + 55)));
    return def;
}

/// One field of a row, as libmdb cracks it.
struct Field {
    const unsigned char *bytes = nullptr;
    std::size_t size = 0;
    bool null = true;
};

/// Reads the rows of one table definition: check() goes over every row and
/// declines what it does not read exactly as libmdb does; send() then hands
/// the rows of a share of the pages on, converted.
class Rows {
public:
    Rows(const Image &image, const TableDef &def) : m_image(image), m_def(def), m_fields(def.columns.size()), m_texts(def.columns.size())
    {
        m_values.resize(def.columns.size());
        for (const ColumnDef &c : def.columns) {
            if ((c.type == TextType || c.type == MemoType) && !ownJet4Texts())
                decline("texts are converted by libmdb with MDBICONV");
        }
    }

    /// Every row of every data page; the rows counted against the definition.
    void check()
    {
        std::uint64_t rows = 0;
        forEachRow([&](const RowAt &row) {
            crack(row);
            for (std::size_t i = 0; i < m_fields.size(); ++i)
                convert(i, true);
            ++rows;
            return true;
        });
        if (rows != m_def.rowCount)
            decline("the rows do not add up to the table's count");
    }

    /// The rows of the data pages in `first` <= page < `end`; false when the sink refuses one.
    bool send(std::uint64_t first, std::uint64_t end, RowSink &sink)
    {
        return forEachRow(
            [&](const RowAt &row) {
                crack(row);
                for (std::size_t i = 0; i < m_fields.size(); ++i)
                    convert(i, false);
                return sink.row(m_values);
            },
            first, end);
    }

    /// The text columns of the rows of the data pages in `first` <= page <
    /// `end`, as the columnar stream sends them: dates as their texts row by
    /// row, the other texts as dictionaries and ids, each distinct field
    /// converted once. With `checkAll`, the rows of the other pages are
    /// counted as well and the whole table's rows are held against the
    /// definition, as check() does (each part cracks the rows of its own
    /// share); `rows` gets the rows of the share.
    std::vector<EncodedColumn> encode(std::uint64_t first, std::uint64_t end, bool checkAll, std::uint64_t &rows)
    {
        std::vector<std::size_t> text;
        for (std::size_t i = 0; i < m_def.columns.size(); ++i) {
            if (kindOf(m_def.columns[i].type) == Kind::Text)
                text.push_back(i);
        }
        std::vector<EncodedColumn> out(text.size());
        std::vector<RawIds> raw(text.size());
        std::vector<std::vector<std::uint32_t>> rawToId(text.size());
        const std::size_t expected = expectedRows(first, end);
        for (std::size_t t = 0; t < text.size(); ++t) {
            out[t].plain = m_def.columns[text[t]].type == DateTime;
            if (out[t].plain)
                out[t].lengths.reserve(expected);
            else
                out[t].ids.reserve(expected);
        }
        std::uint64_t all = 0;
        rows = 0;
        forEachRow(
            [&](const RowAt &row, bool inShare) {
                // The rows of the other shares are only counted: their parts crack them.
                ++all;
                if (!inShare)
                    return true;
                crack(row);
                ++rows;
                for (std::size_t t = 0; t < text.size(); ++t) {
                    const std::size_t i = text[t];
                    const Field &f = m_fields[i];
                    EncodedColumn &column = out[t];
                    if (column.plain) {
                        convert(i, false);
                        const Value &v = m_values[i];
                        column.lengths.push_back(v.null ? NullLength : std::uint32_t(v.text.size()));
                        column.bytes.append(v.text);
                        continue;
                    }
                    if (f.null) {
                        column.ids.push_back(TextDictionary::Null);
                        continue;
                    }
                    bool added = false;
                    const std::uint32_t id = raw[t].find(f.bytes, f.size, row.pageEnd, added);
                    if (added) {
                        convert(i, false);
                        rawToId[t].push_back(column.dictionary.intern(m_values[i].text));
                    }
                    column.ids.push_back(rawToId[t][id]);
                }
                return true;
            },
            checkAll ? 0 : first, checkAll ? UINT64_MAX : end, first, end);
        if (checkAll && all != m_def.rowCount)
            decline("the rows do not add up to the table's count");
        return out;
    }

private:
    /// About how many rows the pages in [first, end) hold, from the table's
    /// count, and never more than such pages can hold.
    std::size_t expectedRows(std::uint64_t first, std::uint64_t end) const
    {
        const auto pages = std::size_t(std::count_if(m_def.mapPages.begin(), m_def.mapPages.end(),
                                                     [&](std::uint32_t p) { return p >= first && p < end; }));
        if (m_def.mapPages.empty())
            return 0;
        const double share = double(pages) / double(m_def.mapPages.size());
        return std::min(std::size_t(double(m_def.rowCount) * share * 1.02) + 64, pages * 600);
    }

    /// Calls f(row) for every row of the pages in [first, end), or with the
    /// share [shareFirst, shareEnd) given f(row, whether its page is in the share).
    template<typename F>
    bool forEachRow(F &&f, std::uint64_t first = 0, std::uint64_t end = UINT64_MAX, std::uint64_t shareFirst = 0,
                    std::uint64_t shareEnd = 0)
    {
        const std::vector<std::uint32_t> &pages = m_def.mapPages;
        for (std::size_t k = 0; k < pages.size(); ++k) {
            const std::uint32_t number = pages[k];
            if (number < first || number >= end)
                continue;
            const bool inShare = number >= shareFirst && number < shareEnd;
            const unsigned char *p = m_image.page(number);
            // The next page is asked for while this one is read.
            if (inShare && k + 1 < pages.size())
                m_image.prefetch(pages[k + 1]);
            if (p[0] != 0x01 || le32(p + 4) != m_def.page)
                continue; // libmdb passes over pages of the map that are not this table's
            const unsigned count = le16(p + 12);
            for (unsigned r = 0; r < count; ++r) {
                RowAt row;
                if (!Image::findRow(p, r, row))
                    decline("a row offset of page " + std::to_string(number) + " is damaged");
                if (row.size == 0 || row.flags & DeletedRow)
                    continue;
                if (row.flags & OverflowRow)
                    decline("page " + std::to_string(number) + " holds an overflow row");
                bool going;
                if constexpr (std::is_invocable_v<F, const RowAt &, bool>)
                    going = f(row, inShare);
                else
                    going = f(row);
                if (!going)
                    return false;
            }
        }
        return true;
    }

    void crack(const RowAt &row)
    {
        const unsigned char *r = row.bytes;
        const std::size_t size = row.size;
        if (size < 2)
            decline("a row is too short");
        const unsigned rowColumns = le16(r);
        const std::size_t mask = (rowColumns + 7) / 8;
        if (mask + 2 > size)
            decline("a row is too short for its null mask");
        const unsigned char *nulls = r + size - mask;
        unsigned rowVar = 0;
        std::size_t trailer = mask;
        if (m_def.varColumns > 0) {
            if (mask + 4 > size)
                decline("a row is too short for its column offsets");
            rowVar = le16(r + size - mask - 2);
            trailer = mask + 2 + 2 * (std::size_t(rowVar) + 1);
            if (trailer + 2 > size)
                decline("a row is too short for its column offsets");
        }
        const auto varOffset = [&](unsigned i) -> std::size_t { return le16(r + size - mask - 4 - 2 * std::size_t(i)); };
        if (rowVar > rowColumns)
            decline("a row is damaged");
        const unsigned rowFixed = rowColumns - rowVar;
        unsigned fixedFound = 0;
        for (std::size_t i = 0; i < m_def.columns.size(); ++i) {
            const ColumnDef &c = m_def.columns[i];
            Field &f = m_fields[i];
            if (c.number >= rowColumns || c.number / 8 >= mask)
                decline("a row has fewer columns than its table");
            f.null = !(nulls[c.number / 8] & (1u << (c.number % 8)));
            if (c.fixed) {
                if (fixedFound >= rowFixed)
                    decline("a row has fewer columns than its table");
                ++fixedFound;
                f.bytes = r + 2 + c.fixedOffset;
                f.size = c.size;
                if (c.type != Bool && !c.skipped && 2 + std::size_t(c.fixedOffset) + c.size > size - trailer)
                    decline("a fixed column lies outside its row");
            } else {
                if (c.varNumber >= rowVar)
                    decline("a row has fewer columns than its table");
                const std::size_t start = varOffset(c.varNumber);
                const std::size_t stop = varOffset(c.varNumber + 1);
                if (start > stop || stop > size - trailer)
                    decline("a variable column lies outside its row");
                f.bytes = r + start;
                f.size = stop - start;
            }
        }
    }

    /// Value `i` of the row cracked, converted as libmdb converts it (only
    /// checked, not converted, when `checking`; dates are checked then).
    void convert(std::size_t i, bool checking)
    {
        const ColumnDef &c = m_def.columns[i];
        const Field &f = m_fields[i];
        Value &v = m_values[i];
        v = Value{};
        if (c.skipped)
            return;
        if (c.type == Bool) {
            v.null = false;
            v.integer = f.null ? 0 : 1;
            return;
        }
        if (f.null)
            return;
        v.null = false;
        std::string &text = m_texts[i];
        if (f.size == 0) {
            text.clear();
            v.text = text;
            return;
        }
        switch (c.type) {
        case Byte:
            v.integer = f.bytes[0];
            return;
        case Int:
            v.integer = std::int16_t(le16(f.bytes));
            return;
        case LongInt:
            v.integer = std::int32_t(le32(f.bytes));
            return;
        case DateTime: {
            if (f.size < 8)
                decline("a date is too short");
            double days;
            std::memcpy(&days, f.bytes, sizeof days);
            if (checking ? !dateFits(days) : !dateTextOf(days, text))
                decline("a date is not read here");
            if (checking)
                return;
            v.text = text;
            if (v.text.substr(10) == " 00:00:00")
                v.text = v.text.substr(0, 10);
            return;
        }
        case TextType:
            if (!checking)
                jetText(f.bytes, f.size, text);
            v.text = text;
            return;
        case MemoType:
            memo(f, text, checking);
            v.text = text;
            return;
        default:
            decline("a column type not read here");
        }
    }

    /// A memo as libmdb gathers it.
    void memo(const Field &f, std::string &text, bool checking)
    {
        text.clear();
        if (f.size < 12)
            return;
        const std::uint32_t length = le32(f.bytes);
        if (length & 0x80000000u) {
            if (!checking)
                jetText(f.bytes + 12, f.size - 12, text);
            return;
        }
        std::uint32_t pageRow = le32(f.bytes + 4);
        if (length & 0x40000000u) {
            const RowAt at = m_image.pointed(pageRow);
            if (!checking)
                jetText(at.bytes, at.size, text);
            return;
        }
        if (length & 0xff000000u)
            decline("a memo of a kind not read here");
        m_chain.clear();
        std::size_t parts = 0;
        do {
            if (++parts > m_image.pageCount())
                decline("a memo's chain runs in a circle");
            const RowAt at = m_image.pointed(pageRow);
            if (at.size < 4 || m_chain.size() + at.size - 4 > length)
                break;
            if (!checking)
                m_chain.insert(m_chain.end(), at.bytes + 4, at.bytes + at.size);
            else
                m_chain.resize(m_chain.size() + at.size - 4);
            pageRow = le32(at.bytes);
        } while (pageRow);
        if (!checking)
            jetText(m_chain.data(), m_chain.size(), text);
    }

    const Image &m_image;
    const TableDef &m_def;
    std::vector<Field> m_fields;
    std::vector<std::string> m_texts;
    std::vector<Value> m_values;
    std::vector<unsigned char> m_chain;
};

/// A sink that keeps the catalog's tables: (name, definition page), in order.
struct CatalogEntries : RowSink {
    int id = -1, name = -1, type = -1;
    std::vector<std::pair<std::string, std::uint32_t>> tables;

    bool columns(const std::vector<Column> &) override { return true; }
    bool row(const std::vector<Value> &values) override
    {
        // libmdb takes the objects of type 1 exactly; a table without an Id has no definition (page 0).
        if (values[std::size_t(type)].null || values[std::size_t(type)].integer != 1)
            return true;
        const Value &n = values[std::size_t(name)];
        const Value &i = values[std::size_t(id)];
        tables.emplace_back(n.null ? std::string() : std::string(n.text), i.null ? 0u : std::uint32_t(i.integer) & 0x00ffffffu);
        return true;
    }
    std::string error() const override { return {}; }
};

std::vector<std::pair<std::string, std::uint32_t>> readCatalog(const Image &image)
{
    const unsigned char *head = image.page(0);
    if (head[0] != 0 || std::memcmp(head + 4, "Standard Jet DB", 15) != 0 || le32(head + 0x14) != 1)
        decline("not a Jet 4 file");
    // The key of a database encrypted page by page, 0 under the scrambling
    // of the header (which leaves these bytes as they stand here).
    if (le32(head + 0x3e) != 0x4ebc8afbu)
        decline("the database is encrypted");
    const TableDef catalog = readDefinition(image, 2, true);
    CatalogEntries entries;
    for (std::size_t i = 0; i < catalog.columns.size(); ++i) {
        const ColumnDef &c = catalog.columns[i];
        if (c.name == "Id" && c.type == LongInt)
            entries.id = int(i);
        else if (c.name == "Name" && c.type == TextType)
            entries.name = int(i);
        else if (c.name == "Type" && c.type == Int)
            entries.type = int(i);
    }
    if (entries.id < 0 || entries.name < 0 || entries.type < 0)
        decline("the catalog lacks the columns it is read by");
    Rows rows(image, catalog);
    rows.check();
    rows.send(0, UINT64_MAX, entries);
    return entries.tables;
}

/// The definition of the table `table` (matched without regard to ASCII case).
TableDef findTable(const Image &image, const std::string &table)
{
    std::uint32_t page = 0;
    for (const auto &[name, at] : readCatalog(image)) {
        if (sameAsciiCase(name, table)) {
            page = at;
            break;
        }
    }
    if (page == 0)
        decline("no table " + table + " with a definition");
    return readDefinition(image, page);
}

/// The data pages [first, end) of a part: its share of the table's pages in
/// map order, as the libmdb reading splits them.
std::pair<std::uint64_t, std::uint64_t> shareOf(const TableDef &def, Part part)
{
    if (part.count == 0 || part.index >= part.count)
        decline("no such part of the table");
    const auto boundary = [&](unsigned k) -> std::uint64_t {
        const std::size_t at = std::size_t(std::uint64_t(def.mapPages.size()) * k / part.count);
        return at < def.mapPages.size() ? def.mapPages[at] : UINT64_MAX;
    };
    return {part.index == 0 ? 0 : boundary(part.index), part.index + 1 == part.count ? UINT64_MAX : boundary(part.index + 1)};
}

std::vector<Column> columnsOf(const TableDef &def)
{
    std::vector<Column> columns;
    for (const ColumnDef &c : def.columns)
        columns.push_back({c.name, kindOf(c.type)});
    return columns;
}

/// Finds the table and its share of the pages, and hands them to
/// read(def, rows, first, end, result); what is declined is caught here.
template<typename Read>
PageRead readShare(const unsigned char *data, std::size_t size, const std::string &table, Part part, Read &&read)
{
    PageRead result;
    try {
        const Image image(data, size);
        const TableDef def = findTable(image, table);
        const auto [first, end] = shareOf(def, part);
        Rows rows(image, def);
        read(def, rows, first, end, result);
    } catch (const Declined &d) {
        result.declined = true;
        result.why = d.why;
    }
    return result;
}

} // namespace

PageRead readTablePages(const unsigned char *data, std::size_t size, const std::string &table, RowSink &sink, Part part)
{
    return readShare(data, size, table, part,
                     [&](const TableDef &def, Rows &rows, std::uint64_t first, std::uint64_t end, PageRead &result) {
                         rows.check();
                         // Checked before: what was declined would have been declined by check().
                         try {
                             if (!sink.columns(columnsOf(def)) || !rows.send(first, end, sink))
                                 result.why = sink.error();
                         } catch (const Declined &d) {
                             result.why = "the table changed while it was read: " + d.why;
                         }
                     });
}

PageRead readColumnarPages(const unsigned char *data, std::size_t size, const std::string &table, ColumnarEncoder &encoder, Part part)
{
    return readShare(data, size, table, part,
                     [&](const TableDef &def, Rows &rows, std::uint64_t first, std::uint64_t end, PageRead &result) {
                         // Part 0 counts the whole table's rows, as check() does; nothing
                         // is handed on before every row of the share has been read.
                         std::uint64_t count = 0;
                         std::vector<EncodedColumn> columns = rows.encode(first, end, part.index == 0, count);
                         if (!encoder.columns(columnsOf(def)))
                             result.why = encoder.error();
                         else
                             encoder.take(std::move(columns), count);
                     });
}

std::vector<std::string> tableNamesPages(const unsigned char *data, std::size_t size, std::string &why)
{
    std::vector<std::string> names;
    try {
        for (const auto &entry : readCatalog(Image(data, size)))
            names.push_back(entry.first);
    } catch (const Declined &d) {
        why = d.why;
        names.clear();
    }
    return names;
}

} // namespace mdbreader
