#include "MdbReader.h"

#include "MdbOpen.h"
#include "MdbTools.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cstdio>
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
/// libmdb writes at most the bind size; the rest is a safety margin.
constexpr std::size_t BufferBytes = MaxFieldBytes + 64;

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

bool dateText(MdbHandle *mdb, int start, std::string &out);

} // namespace

namespace {

/// UTF-8 out of UCS-2 units, as iconv from "UCS-2LE" into "UTF-8" writes it
/// for mdb_unicode2ascii into a buffer of `limit` bytes (the last is its NUL).
class Utf8Out {
public:
    Utf8Out(std::string &out, std::size_t limit) : m_out(out), m_room(limit > 0 ? limit - 1 : 0) { m_out.clear(); }

    /// Takes one unit; false when the text ends there.
    bool unit(unsigned u)
    {
        if (u == 0)
            return false; // the text is cut at its first NUL
        if (u >= 0xd800 && u < 0xe000) {
            // Surrogates are no UCS-2 characters: iconv refuses them one by
            // one, and libmdb puts a '?' in the place of each.
            if (m_room == 0)
                return false;
            m_out.push_back('?');
            --m_room;
            return true;
        }
        // iconv stops before a character that does not fit whole.
        if (u < 0x80) {
            if (m_room < 1)
                return false;
            m_out.push_back(char(u));
            m_room -= 1;
        } else if (u < 0x800) {
            if (m_room < 2)
                return false;
            m_out.push_back(char(0xc0 | (u >> 6)));
            m_out.push_back(char(0x80 | (u & 0x3f)));
            m_room -= 2;
        } else {
            if (m_room < 3)
                return false;
            m_out.push_back(char(0xe0 | (u >> 12)));
            m_out.push_back(char(0x80 | ((u >> 6) & 0x3f)));
            m_out.push_back(char(0x80 | (u & 0x3f)));
            m_room -= 3;
        }
        return true;
    }

private:
    std::string &m_out;
    std::size_t m_room;
};

} // namespace

void jetText(const unsigned char *src, std::size_t size, std::string &out, std::size_t limit)
{
    Utf8Out text(out, limit);
    if (size >= 2 && src[0] == 0xff && src[1] == 0xfe) {
        // "Unicode compressed": one byte per character (U+0001..U+00FF) until
        // a 0 byte switches to two bytes per character (UCS-2 little endian),
        // and back. As libmdb reads it, a 0 byte switches in either mode, so
        // a character whose low byte is 0 cannot stand in this form.
        bool compressed = true;
        std::size_t i = 2;
        while (i < size) {
            if (src[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                if (!text.unit(src[i]))
                    return;
                ++i;
            } else if (size - i >= 2) {
                if (!text.unit(unsigned(src[i]) | unsigned(src[i + 1]) << 8))
                    return;
                i += 2;
            } else {
                return; // an odd byte at the end
            }
        }
        return;
    }
    // UCS-2 little endian; an odd byte at the end is left out.
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        if (!text.unit(unsigned(src[i]) | unsigned(src[i + 1]) << 8))
            return;
    }
}

bool libmdbConvertsWithIconv() { return MDBTOOLS_H_HAVE_ICONV_H != 0; }

std::vector<std::pair<std::string, bool>> datesBothWays(const std::string &path, const std::vector<double> &days)
{
    std::vector<std::pair<std::string, bool>> out;
    OpenedJet opened;
    if (!openJetFile(path, opened).empty())
        return out;
    MdbHandle *const mdb = opened.mdb.get();
    mdb_set_bind_size(mdb, MaxFieldBytes);
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    for (const double d : days) {
        std::memcpy(mdb->pg_buf + 16, &d, sizeof d);
        std::string ours;
        if (!dateText(mdb, 16, ours)) {
            out.emplace_back(std::string(), false);
            continue;
        }
        char *theirs = mdb_col_to_string(mdb, mdb->pg_buf, 16, MDB_DATETIME, 8);
        const bool same = theirs && ours == std::string(theirs, strnlen(theirs, MaxFieldBytes - 1));
        g_free(theirs);
        out.emplace_back(ours, same);
    }
    return out;
}

std::vector<std::string> libmdbTexts(const std::string &path, const std::vector<std::string> &fields)
{
    std::vector<std::string> texts;
    OpenedJet opened;
    if (!openJetFile(path, opened).empty())
        return texts;
    MdbHandle *const mdb = opened.mdb.get();
    mdb_set_bind_size(mdb, MaxFieldBytes);
    std::vector<char> buffer(BufferBytes);
    for (const std::string &field : fields) {
        mdb_unicode2ascii(mdb, field.data(), field.size(), buffer.data(), std::size_t(MaxFieldBytes));
        texts.emplace_back(buffer.data(), strnlen(buffer.data(), MaxFieldBytes - 1));
    }
    return texts;
}

namespace {

/// A date field as mdb_col_to_string formats it with the format the reader
/// sets ("%Y-%m-%d %H:%M:%S"), for dates whose fields strftime prints as two
/// digits (four for the year); false for any other, left to libmdb.
bool dateText(MdbHandle *mdb, int start, std::string &out)
{
    struct tm t {};
    mdb_date_to_tm(mdb_get_double(mdb->pg_buf, start), &t);
    const int year = t.tm_year + 1900;
    if (year < 1000 || year > 9999 || t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour < 0 ||
        t.tm_hour > 23 || t.tm_min < 0 || t.tm_min > 59 || t.tm_sec < 0 || t.tm_sec > 59)
        return false;
    char text[32];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    if (n != 19)
        return false;
    out.assign(text, 19);
    return true;
}

/// Whether the reader converts the texts of text and memo fields itself:
/// those of Jet 4 files, which libmdb built with iconv converts into the
/// character set MDBICONV names (UTF-8 when it is not set). Built without
/// iconv (Windows), libmdb has no conversion the reader should follow.
bool ownTexts(MdbHandle *mdb)
{
    if (IS_JET3(mdb))
        return false;
    const char *code = libmdbConvertsWithIconv() ? std::getenv("MDBICONV") : nullptr;
    return !code || std::strcmp(code, "UTF-8") == 0;
}

/// A memo field's text as mdb_memo_to_string gives it, its bytes gathered
/// the same way (kept in the row, on one long-value page, or on a chain of
/// them) and converted by jetText.
void memoText(MdbHandle *mdb, int start, int size, std::string &out)
{
    out.clear();
    if (size < MDB_MEMO_OVERHEAD)
        return;
    const std::uint32_t memoLength = std::uint32_t(mdb_get_int32(mdb->pg_buf, start));
    const std::size_t limit = std::size_t(mdb->bind_size);
    if (memoLength & 0x80000000u) {
        jetText(reinterpret_cast<const unsigned char *>(mdb->pg_buf) + start + MDB_MEMO_OVERHEAD, std::size_t(size - MDB_MEMO_OVERHEAD), out, limit);
        return;
    }
    std::int32_t pageRow = std::int32_t(mdb_get_int32(mdb->pg_buf, start + 4));
    void *page = nullptr;
    int rowStart = 0;
    std::size_t length = 0;
    if (memoLength & 0x40000000u) {
        if (mdb_find_pg_row(mdb, pageRow, &page, &rowStart, &length) == 0)
            jetText(static_cast<const unsigned char *>(page) + rowStart, length, out, limit);
        return;
    }
    if (memoLength & 0xff000000u)
        return; // flags libmdb does not know: an empty text
    // The parts on a chain of long-value pages, each after the 4 bytes that
    // name the next; a chain longer than the memo's length is cut before the
    // part that would pass it.
    std::vector<unsigned char> bytes(memoLength);
    std::size_t gathered = 0;
    do {
        if (mdb_find_pg_row(mdb, pageRow, &page, &rowStart, &length) != 0)
            return;
        if (gathered + length - 4 > memoLength || length < 4)
            break;
        std::memcpy(bytes.data() + gathered, static_cast<const unsigned char *>(page) + rowStart + 4, length - 4);
        gathered += length - 4;
    } while ((pageRow = std::int32_t(mdb_get_int32(page, rowStart))));
    jetText(bytes.data(), gathered, out, limit);
}

std::string readOpened(MdbHandle *mdb, std::uint64_t fileSize, const std::string &tableName, RowSink &sink, Part part)
{
    if (part.count == 0 || part.index >= part.count)
        return "no such part of the table";
    mdb_set_bind_size(mdb, MaxFieldBytes);
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb);

    // The catalog is a table too (on page 2); libmdb reads it without the
    // checks below, so they are made first.
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
    }
    if (!mdb_read_catalog(mdb, MDB_TABLE))
        return "cannot read the catalog";
    MdbCatalogEntry *entry = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto *e = static_cast<MdbCatalogEntry *>(g_ptr_array_index(mdb->catalog, i));
        if (e->object_type == MDB_TABLE && strcasecmp(e->object_name, tableName.c_str()) == 0) {
            entry = e;
            break;
        }
    }
    if (!entry)
        return "no table " + tableName;

    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(entry));
    if (!table)
        return "cannot read the table " + tableName;
    if (table->num_cols == 0)
        return "the table " + tableName + " has no columns";
    if (table->num_cols > MaxColumns)
        return "the table " + tableName + " is damaged (too many columns)";
    if (!mdb_read_columns(table.get()) || !table->columns || table->columns->len != table->num_cols)
        return "cannot read the columns of the table " + tableName;
    std::vector<guint32> pages;
    if (std::string why = checkDataPages(mdb, table.get(), fileSize, &pages); !why.empty())
        return why;
    // The rows of this part lie on the pages [first, end) of the table's
    // pages in map order; the other rows are only counted.
    const auto boundary = [&pages, &part](unsigned k) -> std::uint64_t {
        const std::size_t at = std::size_t(std::uint64_t(pages.size()) * k / part.count);
        return at < pages.size() ? pages[at] : UINT64_MAX;
    };
    const std::uint64_t firstPage = part.index == 0 ? 0 : boundary(part.index);
    const std::uint64_t endPage = part.index + 1 == part.count ? UINT64_MAX : boundary(part.index + 1);

    const unsigned columnCount = table->num_cols;
    std::vector<Column> columns(columnCount);
    std::vector<int> types(columnCount);
    for (unsigned i = 0; i < columnCount; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        types[i] = col->col_type;
        columns[i].name = std::string(col->name, strnlen(col->name, sizeof col->name));
        columns[i].kind = kindOf(col->col_type);
    }
    if (!sink.columns(columns))
        return sink.error();

    std::vector<std::unique_ptr<char[]>> buffers;
    std::vector<int> lengths(columnCount);
    for (unsigned i = 0; i < columnCount; ++i) {
        buffers.emplace_back(new char[BufferBytes]());
        mdb_bind_column(table.get(), int(i + 1), buffers[i].get(), &lengths[i]);
    }
    std::vector<MdbField> fields(columnCount);
    std::vector<char> isNull(columnCount);
    std::vector<Value> values(columnCount);

    std::vector<MdbColumn *> mdbColumns(columnCount);
    bool hasOle = false;
    for (unsigned i = 0; i < columnCount; ++i) {
        mdbColumns[i] = static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i));
        hasOle = hasOle || types[i] == MDB_OLE;
    }

    std::uint64_t rows = 0;
    std::string converted[MaxColumns];
    const bool convertTexts = ownTexts(mdb);
    if (!hasOle) {
        // The rows as mdb_fetch_row gives them (no index, no conditions), each
        // cracked once and its fields converted as libmdb converts bound
        // columns (mdb_col_to_string, the texts cut as the bind size cuts
        // them). Part 0 reads every row, so that the count it checks is the
        // whole table's; the other parts read only their own pages and leave
        // the check to it.
        for (unsigned i = 0; i < columnCount; ++i)
            mdbColumns[i]->bind_ptr = nullptr;
        mdb_rewind_table(table.get());
        if (part.index > 0 && firstPage > 0 && firstPage != UINT64_MAX)
            table->cur_phys_pg = guint32(firstPage - 1);
        const bool countAll = part.index == 0;
        const bool fastDates = std::strcmp(mdb->date_fmt, "%Y-%m-%d %H:%M:%S") == 0 && mdb->bind_size > 20;
        while (mdb_read_next_dpg(table.get())) {
            const std::uint64_t page = table->cur_phys_pg;
            const bool inPart = page >= firstPage && page < endPage;
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
                const int cracked = mdb_crack_row(table.get(), start & OffsetMask, size, fields.data());
                if (cracked < 0)
                    continue;
                ++rows;
                if (!inPart)
                    continue;
                for (unsigned i = 0; i < columnCount; ++i) {
                    const MdbField &field = fields[i];
                    Value &v = values[i];
                    v = Value{};
                    // The bound texts do not tell NULL from the empty text; the null mask does.
                    if (types[i] != MDB_BOOL && int(i) < cracked && field.is_null)
                        continue;
                    v.null = false;
                    std::string &text = converted[i];
                    text.clear();
                    if (types[i] == MDB_BOOL) {
                        text = field.is_null ? "0" : "1";
                    } else if (types[i] == MDB_LONGINT && !field.is_null && field.siz > 0) {
                        // "%d" of mdb_get_int32, read back.
                        text = std::to_string(std::int32_t(mdb_get_int32(mdb->pg_buf, field.start)));
                    } else if (field.is_null || field.siz <= 0) {
                        // an empty text
                    } else if (types[i] == MDB_TEXT && convertTexts) {
                        jetText(reinterpret_cast<const unsigned char *>(mdb->pg_buf) + field.start, std::size_t(field.siz), text);
                    } else if (types[i] == MDB_MEMO && convertTexts) {
                        memoText(mdb, field.start, field.siz, text);
                    } else if (!(types[i] == MDB_DATETIME && fastDates && dateText(mdb, field.start, text))) {
                        text.clear();
                        char *str = types[i] == MDB_NUMERIC
                                        ? mdb_numeric_to_string(mdb, field.start, mdbColumns[i]->col_scale, mdbColumns[i]->col_prec)
                                        : mdb_col_to_string(mdb, mdb->pg_buf, field.start, types[i], field.siz);
                        if (str) {
                            text.assign(str, strnlen(str, MaxFieldBytes - 1));
                            g_free(str);
                        }
                    }
                    switch (columns[i].kind) {
                    case Kind::Integer:
                        v.integer = std::strtoll(text.c_str(), nullptr, 10);
                        break;
                    case Kind::Real:
                        v.real = std::strtod(text.c_str(), nullptr);
                        break;
                    case Kind::Text:
                        v.text = text;
                        if (types[i] == MDB_DATETIME && v.text.size() == 19 && v.text.substr(10) == " 00:00:00")
                            v.text = v.text.substr(0, 10);
                        break;
                    }
                }
                if (!sink.row(values))
                    return sink.error();
            }
        }
        if (!countAll)
            return {};
    } else {
        // Unbound columns are not converted by libmdb: the rows of other parts cost little.
        std::vector<int> fieldOf(columnCount, -1);
        bool bound = true;
        const auto bind = [&](bool on) {
            for (unsigned i = 0; i < columnCount; ++i)
                mdbColumns[i]->bind_ptr = on ? buffers[i].get() : nullptr;
            bound = on;
        };

        mdb_rewind_table(table.get());
        while (mdb_fetch_row(table.get())) {
            const std::uint64_t page = table->cur_phys_pg;
            if (page < firstPage || page >= endPage) {
                ++rows;
                if (bound)
                    bind(false);
                continue;
            }
            if (!bound) {
                // Fetched while unbound: read again with the columns bound.
                bind(true);
                if (!mdb_read_row(table.get(), table->cur_row - 1))
                    return "the table " + tableName + " changed while it was read";
            }
            // The bound texts do not tell NULL from the empty text; the row's null mask does.
            std::fill(isNull.begin(), isNull.end(), 0);
            std::fill(fieldOf.begin(), fieldOf.end(), -1);
            int start = 0;
            size_t size = 0;
            if (mdb_find_row(mdb, int(table->cur_row) - 1, &start, &size) == 0 && size > 0) {
                const int cracked = mdb_crack_row(table.get(), start & OffsetMask, size, fields.data());
                for (int f = 0; f < cracked && f < int(columnCount); ++f) {
                    if (fields[f].colnum >= 0 && unsigned(fields[f].colnum) < columnCount) {
                        isNull[unsigned(fields[f].colnum)] = fields[f].is_null && types[unsigned(fields[f].colnum)] != MDB_BOOL;
                        fieldOf[unsigned(fields[f].colnum)] = f;
                    }
                }
            }
            for (unsigned i = 0; i < columnCount; ++i) {
                Value &v = values[i];
                v = Value{};
                if (isNull[i])
                    continue;
                v.null = false;
                char *buffer = buffers[i].get();
                buffer[BufferBytes - 1] = '\0';
                const std::size_t length = std::min<std::size_t>(std::size_t(std::max(lengths[i], 0)), MaxFieldBytes);
                switch (columns[i].kind) {
                case Kind::Integer:
                    v.integer = std::strtoll(buffer, nullptr, 10);
                    break;
                case Kind::Real:
                    v.real = std::strtod(buffer, nullptr);
                    break;
                case Kind::Text:
                    if ((types[i] == MDB_TEXT || types[i] == MDB_MEMO) && convertTexts && fieldOf[i] >= 0) {
                        // The text from the row itself, converted as in the rows above.
                        const MdbField &field = fields[std::size_t(fieldOf[i])];
                        std::string &text = converted[i];
                        text.clear();
                        if (!field.is_null && field.siz > 0 && types[i] == MDB_TEXT)
                            jetText(reinterpret_cast<const unsigned char *>(mdb->pg_buf) + field.start, std::size_t(field.siz), text);
                        else if (!field.is_null && field.siz > 0)
                            memoText(mdb, field.start, field.siz, text);
                        v.text = text;
                        break;
                    }
                    v.text = std::string_view(buffer, strnlen(buffer, length));
                    if (types[i] == MDB_DATETIME && v.text.size() == 19 && v.text.substr(10) == " 00:00:00")
                        v.text = v.text.substr(0, 10);
                    break;
                }
            }
            if (!sink.row(values))
                return sink.error();
            ++rows;
        }
    }
    return checkRowCount(rows, table->num_rows, tableName);
}

} // namespace

std::string checkHeader(std::string_view head, std::uint64_t fileSize)
{
    if (fileSize < 2 * MDB_PGSIZE || fileSize % MDB_PGSIZE != 0)
        return "not a complete Jet database";
    if (head.size() < 19 || (head.substr(4, 15) != "Standard Jet DB" && head.substr(4, 15) != "Standard ACE DB"))
        return "not a Jet database";
    return {};
}

std::string readTable(const std::string &path, const std::string &table, RowSink &sink, Part part)
{
    OpenedJet opened;
    if (std::string why = openJetFile(path, opened); !why.empty())
        return why;
    return readOpened(opened.mdb.get(), opened.size, table, sink, part);
}

std::string readTableFromMemory(const void *data, std::size_t size, const std::string &table, RowSink &sink)
{
    if (std::string why = checkHeader(std::string_view(static_cast<const char *>(data), std::min<std::size_t>(size, 20)), size); !why.empty())
        return why;
    const MdbPtr mdb = openJetImage(data, size);
    if (!mdb)
        return "cannot open the file as a Jet database";
    return readOpened(mdb.get(), size, table, sink, Part{});
}

} // namespace mdbreader
