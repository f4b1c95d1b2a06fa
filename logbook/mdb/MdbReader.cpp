#include "logbook/mdb/MdbReader.h"

#include "logbook/mdb/ColumnarStream.h"
#include "logbook/mdb/MdbFields.h"
#include "logbook/mdb/MdbOpen.h"
#include "logbook/mdb/PageReader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <strings.h>

namespace mdbreader {
namespace {

struct TableFreer {
    void operator()(MdbTableDef *t) const { mdb_free_tabledef(t); }
};

/// Jet allows at most 255 fields in a table.
constexpr unsigned MaxColumns = 255;
constexpr int OffsetMask = 0x1fff;

Kind kindOf(int mdbType)
{
    switch (mdbType) {
    case MDB_BOOL:
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return Kind::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return Kind::Real;
    default:
        return Kind::Text;
    }
}

/// Every data page the table's usage map names must lie inside the file: a
/// file still being copied or written ends before them.
std::string checkDataPages(MdbHandle *mdb, MdbTableDef *table, std::uint64_t fileSize, std::vector<guint32> *list = nullptr)
{
    // libmdb follows the map without looking whether there is one.
    if (!table->usage_map || table->map_sz == 0)
        return "the table has no page map";
    const std::uint64_t pageSize = mdb->fmt->pg_size;
    const std::uint64_t pages = fileSize / pageSize;
    guint32 page = 0;
    for (;;) {
        const gint32 next = mdb_map_find_next(mdb, table->usage_map, unsigned(table->map_sz), page);
        if (next == 0)
            return {};
        if (next < 0)
            return "the page map of the table is damaged";
        if (std::uint64_t(next) >= pages)
            return "the file ends before the last page of the table (incomplete or still being written)";
        if (guint32(next) <= page)
            return "the page map of the table is damaged";
        page = guint32(next);
        if (list)
            list->push_back(page);
    }
}

/// The rows read against the count the table definition keeps. Fewer is a
/// file cut short or still being written. More is a damaged data page: a row
/// count larger than the page's rows makes libmdb take free space for rows.
std::string checkRowCount(std::uint64_t rows, std::uint64_t counted, const std::string &tableName)
{
    if (rows < counted)
        return "the table " + tableName + " is incomplete: " + std::to_string(rows) + " of " + std::to_string(counted) +
               " rows could be read (damaged, or still being written)";
    if (rows > counted)
        return "the table " + tableName + " is damaged: " + std::to_string(rows) + " rows read where its definition counts " +
               std::to_string(counted);
    return {};
}

/// The table's definition, read and checked, with its data pages in map order.
struct OpenTable {
    std::unique_ptr<MdbTableDef, TableFreer> def;
    std::vector<guint32> pages;
};

/// The catalog is a table too (on page 2); libmdb reads it without the
/// checks of checkDataPages, so they are made first.
std::string checkCatalog(MdbHandle *mdb, std::uint64_t fileSize)
{
    MdbCatalogEntry system{};
    system.mdb = mdb;
    system.object_type = MDB_TABLE;
    system.table_pg = 2;
    std::unique_ptr<MdbTableDef, TableFreer> catalog(mdb_read_table(&system));
    if (!catalog)
        return "cannot read the catalog";
    if (std::string why = checkDataPages(mdb, catalog.get(), fileSize); !why.empty())
        return "the catalog is damaged: " + why;
    return {};
}

/// Finds the table `tableName` (without regard to case) and reads its
/// definition and columns, all checked.
std::string openTable(MdbHandle *mdb, std::uint64_t fileSize, const std::string &tableName, OpenTable &table)
{
    if (std::string why = checkCatalog(mdb, fileSize); !why.empty())
        return why;
    if (!mdb_read_catalog(mdb, MDB_TABLE))
        return "cannot read the catalog";
    MdbCatalogEntry *entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !entry; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && strcasecmp(e->object_name, tableName.c_str()) == 0)
            entry = e;
    }
    if (!entry)
        return "no table " + tableName;
    table.def.reset(mdb_read_table(entry));
    MdbTableDef *def = table.def.get();
    if (!def)
        return "cannot read the table " + tableName;
    if (def->num_cols == 0)
        return "the table " + tableName + " has no columns";
    if (def->num_cols > MaxColumns)
        return "the table " + tableName + " is damaged (too many columns)";
    if (!mdb_read_columns(def) || !def->columns || def->columns->len != def->num_cols)
        return "cannot read the columns of the table " + tableName;
    return checkDataPages(mdb, def, fileSize, &table.pages);
}

/// The pages [first, end) whose rows belong to a part: its share of the
/// table's pages in map order.
struct PageRange {
    std::uint64_t first = 0;
    std::uint64_t end = UINT64_MAX;
    bool holds(std::uint64_t page) const { return page >= first && page < end; }
};

PageRange pagesOf(const std::vector<guint32> &pages, Part part)
{
    const auto boundary = [&pages, &part](unsigned k) -> std::uint64_t {
        const std::size_t at = std::size_t(std::uint64_t(pages.size()) * k / part.count);
        return at < pages.size() ? pages[at] : UINT64_MAX;
    };
    return {part.index == 0 ? 0 : boundary(part.index), part.index + 1 == part.count ? UINT64_MAX : boundary(part.index + 1)};
}

/// The state of reading the rows of one table: its columns as libmdb and as
/// the sink sees them, and the values of the row at hand.
struct RowReader {
    MdbHandle *mdb;
    MdbTableDef *table;
    const std::string &tableName;
    RowSink &sink;
    std::vector<Column> columns;
    std::vector<int> types;
    std::vector<MdbColumn *> mdbColumns;
    std::vector<MdbField> fields;
    std::vector<Value> values;
    std::vector<std::string> converted;
    bool convertTexts = false;
    bool hasOle = false;

    RowReader(MdbHandle *handle, MdbTableDef *def, const std::string &name, RowSink &to)
        : mdb(handle), table(def), tableName(name), sink(to), convertTexts(ownTexts(handle))
    {
        const unsigned n = def->num_cols;
        columns.resize(n);
        types.resize(n);
        mdbColumns.resize(n);
        fields.resize(n);
        values.resize(n);
        converted.resize(n);
        for (unsigned i = 0; i < n; ++i) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
            mdbColumns[i] = col;
            types[i] = col->col_type;
            columns[i].name = std::string(col->name, strnlen(col->name, sizeof col->name));
            columns[i].kind = kindOf(col->col_type);
            hasOle = hasOle || types[i] == MDB_OLE;
        }
    }

    unsigned count() const { return unsigned(columns.size()); }

    /// A Jet 4 text or memo field converted by the reader itself.
    void ownText(unsigned i, const MdbField &field, std::string &text)
    {
        if (types[i] == MDB_TEXT)
            jetText(reinterpret_cast<const unsigned char *>(mdb->pg_buf) + field.start, std::size_t(field.siz), text);
        else
            memoText(mdb, field.start, field.siz, text);
    }

    /// Field `i` of the row cracked into `fields`, as libmdb converts bound
    /// columns (mdb_col_to_string, the texts cut as the bind size cuts them).
    void fieldText(unsigned i, bool fastDates, std::string &text)
    {
        const MdbField &field = fields[i];
        text.clear();
        if (types[i] == MDB_BOOL) {
            text = field.is_null ? "0" : "1";
        } else if (types[i] == MDB_LONGINT && !field.is_null && field.siz > 0) {
            // "%d" of mdb_get_int32, read back.
            text = std::to_string(std::int32_t(mdb_get_int32(mdb->pg_buf, field.start)));
        } else if (field.is_null || field.siz <= 0) {
            // an empty text
        } else if ((types[i] == MDB_TEXT || types[i] == MDB_MEMO) && convertTexts) {
            ownText(i, field, text);
        } else if (!(types[i] == MDB_DATETIME && fastDates && dateText(mdb, field.start, text))) {
            text.clear();
            char *str = types[i] == MDB_NUMERIC ? mdb_numeric_to_string(mdb, field.start, mdbColumns[i]->col_scale, mdbColumns[i]->col_prec)
                                                : mdb_col_to_string(mdb, mdb->pg_buf, field.start, types[i], field.siz);
            if (str) {
                text.assign(str, strnlen(str, MaxFieldBytes - 1));
                g_free(str);
            }
        }
    }

    /// Sets value `i` from its text, `size` bytes at `text` that a NUL ends
    /// further on; dates at midnight lose their time.
    void setValue(unsigned i, const char *text, std::size_t size)
    {
        Value &v = values[i];
        v.null = false;
        switch (columns[i].kind) {
        case Kind::Integer:
            v.integer = std::strtoll(text, nullptr, 10);
            break;
        case Kind::Real:
            v.real = std::strtod(text, nullptr);
            break;
        case Kind::Text:
            v.text = std::string_view(text, size);
            if (types[i] == MDB_DATETIME && v.text.size() == 19 && v.text.substr(10) == " 00:00:00")
                v.text = v.text.substr(0, 10);
            break;
        }
    }

    /// The rows as mdb_fetch_row gives them (no index, no conditions), each
    /// cracked once. Part 0 reads every row, so that the count it checks is
    /// the whole table's; the other parts read only their own pages and leave
    /// the check to it.
    std::string readByPage(PageRange range, bool countAll, std::uint64_t &rows);

    /// The rows of a table with OLE columns, fetched by libmdb with bound
    /// columns; unbound columns are not converted by libmdb, so the rows of
    /// other parts cost little.
    std::string readFetched(PageRange range, std::uint64_t &rows);
};

std::string RowReader::readByPage(PageRange range, bool countAll, std::uint64_t &rows)
{
    for (MdbColumn *col : mdbColumns)
        col->bind_ptr = nullptr;
    mdb_rewind_table(table);
    if (range.first > 0 && range.first != UINT64_MAX)
        table->cur_phys_pg = guint32(range.first - 1);
    const bool fastDates = std::strcmp(mdb->date_fmt, "%Y-%m-%d %H:%M:%S") == 0 && mdb->bind_size > 20;
    while (mdb_read_next_dpg(table)) {
        const bool inPart = range.holds(table->cur_phys_pg);
        if (!inPart && !countAll)
            break;
        const unsigned rowsOnPage = unsigned(mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset)) & 0xffffu;
        for (unsigned r = 0; r < rowsOnPage; ++r) {
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, int(r), &start, &size) == -1 || size == 0)
                continue;
            if (start & 0x4000) // deleted
                continue;
            const int cracked = mdb_crack_row(table, start & OffsetMask, size, fields.data());
            if (cracked < 0)
                continue;
            ++rows;
            if (!inPart)
                continue;
            for (unsigned i = 0; i < count(); ++i) {
                values[i] = Value{};
                // The bound texts do not tell NULL from the empty text; the null mask does.
                if (types[i] != MDB_BOOL && int(i) < cracked && fields[i].is_null)
                    continue;
                fieldText(i, fastDates, converted[i]);
                setValue(i, converted[i].c_str(), converted[i].size());
            }
            if (!sink.row(values))
                return sink.error();
        }
    }
    return {};
}

std::string RowReader::readFetched(PageRange range, std::uint64_t &rows)
{
    const unsigned n = count();
    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<int> lengths(n);
    for (unsigned i = 0; i < n; ++i) {
        buffers.emplace_back(new char[BufferBytes]());
        mdb_bind_column(table, int(i + 1), buffers[i].get(), &lengths[i]);
    }
    std::vector<char> isNull(n);
    std::vector<int> fieldOf(n, -1);
    bool bound = true;
    const auto bind = [&](bool on) {
        for (unsigned i = 0; i < n; ++i)
            mdbColumns[i]->bind_ptr = on ? buffers[i].get() : nullptr;
        bound = on;
    };

    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        if (!range.holds(table->cur_phys_pg)) {
            ++rows;
            if (bound)
                bind(false);
            continue;
        }
        if (!bound) {
            // Fetched while unbound: read again with the columns bound.
            bind(true);
            if (!mdb_read_row(table, table->cur_row - 1))
                return "the table " + tableName + " changed while it was read";
        }
        // The bound texts do not tell NULL from the empty text; the row's null mask does.
        std::fill(isNull.begin(), isNull.end(), 0);
        std::fill(fieldOf.begin(), fieldOf.end(), -1);
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) == 0 && size > 0) {
            const int cracked = mdb_crack_row(table, start & OffsetMask, size, fields.data());
            for (int f = 0; f < cracked && f < int(n); ++f) {
                const int col = fields[f].colnum;
                if (col >= 0 && unsigned(col) < n) {
                    isNull[unsigned(col)] = fields[f].is_null && types[unsigned(col)] != MDB_BOOL;
                    fieldOf[unsigned(col)] = f;
                }
            }
        }
        for (unsigned i = 0; i < n; ++i) {
            values[i] = Value{};
            if (isNull[i])
                continue;
            if ((types[i] == MDB_TEXT || types[i] == MDB_MEMO) && convertTexts && fieldOf[i] >= 0) {
                // The text from the row itself, converted as in readByPage.
                const MdbField &field = fields[std::size_t(fieldOf[i])];
                std::string &text = converted[i];
                text.clear();
                if (!field.is_null && field.siz > 0)
                    ownText(i, field, text);
                setValue(i, text.c_str(), text.size());
                continue;
            }
            char *buffer = buffers[i].get();
            buffer[BufferBytes - 1] = '\0';
            const std::size_t length = std::min<std::size_t>(std::size_t(std::max(lengths[i], 0)), MaxFieldBytes);
            setValue(i, buffer, strnlen(buffer, length));
        }
        if (!sink.row(values))
            return sink.error();
        ++rows;
    }
    return {};
}

} // namespace

std::string readOpened(MdbHandle *mdb, std::uint64_t fileSize, const std::string &tableName, RowSink &sink, Part part)
{
    if (part.count == 0 || part.index >= part.count)
        return "no such part of the table";
    setReaderFormats(mdb);
    OpenTable table;
    if (std::string why = openTable(mdb, fileSize, tableName, table); !why.empty())
        return why;
    RowReader reader(mdb, table.def.get(), tableName, sink);
    if (!sink.columns(reader.columns))
        return sink.error();
    const PageRange range = pagesOf(table.pages, part);
    std::uint64_t rows = 0;
    if (!reader.hasOle) {
        const bool countAll = part.index == 0;
        if (std::string why = reader.readByPage(range, countAll, rows); !why.empty() || !countAll)
            return why;
    } else if (std::string why = reader.readFetched(range, rows); !why.empty()) {
        return why;
    }
    return checkRowCount(rows, table.def->num_rows, tableName);
}

std::string checkHeader(std::string_view head, std::uint64_t fileSize)
{
    if (fileSize < 2 * MDB_PGSIZE || fileSize % MDB_PGSIZE != 0)
        return "not a complete Jet database";
    if (head.size() < 19 || (head.substr(4, 15) != "Standard Jet DB" && head.substr(4, 15) != "Standard ACE DB"))
        return "not a Jet database";
    return {};
}

namespace {

/// Reads the table with the page reader (`pages`, given the mapped file) and
/// with libmdb what it declines.
template<typename Pages>
std::string readEither(const std::string &path, const std::string &table, RowSink &sink, Part part, Pages &&pages)
{
    // The pages read straight, as a rule; libmdb reads what the page reader declines.
    {
        MappedJet mapped;
        if (mapJetFile(path, mapped).empty()) {
            PageRead read = pages(mapped);
            if (!read.declined)
                return read.why;
            if (std::getenv("VARKEL_READER_DECLINED"))
                std::fprintf(stderr, "varkel-reader: the page reader declines: %s\n", read.why.c_str());
        }
    }
    OpenedJet opened;
    if (std::string why = openJetFile(path, opened); !why.empty())
        return why;
    return readOpened(opened.mdb.get(), opened.size, table, sink, part);
}

} // namespace

std::string readTable(const std::string &path, const std::string &table, RowSink &sink, Part part)
{
    return readEither(path, table, sink, part, [&](const MappedJet &m) { return readTablePages(m.data(), m.size(), table, sink, part); });
}

std::string readTableColumnar(const std::string &path, const std::string &table, ColumnarEncoder &encoder, Part part)
{
    return readEither(path, table, encoder, part,
                      [&](const MappedJet &m) { return readColumnarPages(m.data(), m.size(), table, encoder, part); });
}

} // namespace mdbreader
