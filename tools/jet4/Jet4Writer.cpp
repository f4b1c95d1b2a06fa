#include "tools/jet4/Jet4Writer.h"

#include "tools/jet4/Bytes.h"
#include "tools/jet4/Catalog.h"
#include "tools/jet4/LongValues.h"
#include "tools/jet4/PageStore.h"
#include "tools/jet4/RowLayout.h"
#include "tools/jet4/TableDefinition.h"
#include "tools/jet4/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace jet4 {

using namespace detail;

namespace {

// Fixed page numbers; rows and long values take the pages from kFirstRowPage on.
constexpr std::uint32_t kMapPage = 1;         // used-page and free-space map records
constexpr std::uint32_t kCatalogDefPage = 2;  // MSysObjects definition (readers expect it here)
constexpr std::uint32_t kCatalogDataPage = 3; // MSysObjects rows
constexpr std::uint32_t kTableDefPage = 4;    // the user table's definition
constexpr std::uint32_t kFirstRowPage = 5;

// Every file carries the same creation date, so equal input gives an identical file.
const double kCreationDate = oleDate(2024, 1, 1);

constexpr std::size_t kMaxNameLength = 64;
constexpr std::size_t kMaxColumns = 255;
// Memos up to this many stored bytes stay in the row when the row has room.
constexpr std::size_t kInlineMemoLimit = 64;
// Longer memos are stored uncompressed.
constexpr std::size_t kMaxCompressedMemoChars = 1024;

std::u16string checkedName(const std::string &name, const char *what)
{
    std::u16string out;
    if (!utf8ToUtf16(name, out))
        throw std::invalid_argument(std::string(what) + " is not valid UTF-8");
    if (out.empty() || out.size() > kMaxNameLength)
        throw std::invalid_argument(std::string(what) + " '" + name + "' must have 1 to 64 characters");
    if (out[0] == u' ' || out[0] == 0xFEFF)
        throw std::invalid_argument(std::string(what) + " '" + name + "' must not start with a space");
    return out;
}

std::u16string foldAscii(std::u16string s)
{
    for (char16_t &c : s)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - u'a' + u'A');
    return s;
}

std::uint8_t typeCode(ColumnType type)
{
    switch (type) {
    case ColumnType::Text:
        return kTypeText;
    case ColumnType::Memo:
        return kTypeMemo;
    case ColumnType::DateTime:
        return kTypeDateTime;
    case ColumnType::Long:
        return kTypeLong;
    case ColumnType::YesNo:
        return kTypeBool;
    }
    throw std::invalid_argument("unknown column type");
}

const char *kindName(ColumnType type)
{
    switch (type) {
    case ColumnType::Text:
    case ColumnType::Memo:
        return "text (std::string)";
    case ColumnType::DateTime:
        return "a date (double)";
    case ColumnType::Long:
        return "a number (int32_t)";
    case ColumnType::YesNo:
        return "a Yes/No value (bool)";
    }
    return "?";
}

// Writes pages to a file, keeping the first error.
class PageFile {
public:
    explicit PageFile(const std::string &path) : m_path(path), m_file(std::fopen(path.c_str(), "wb"))
    {
        if (!m_file)
            m_error = "cannot create " + path + ": " + std::strerror(errno);
        else
            std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    }
    ~PageFile()
    {
        if (m_file)
            std::fclose(m_file);
    }
    void write(const Page &page)
    {
        if (m_error.empty() && std::fwrite(page.data(), 1, page.size(), m_file) != page.size())
            m_error = "cannot write " + m_path + ": " + std::strerror(errno);
    }
    std::string finish()
    {
        if (m_file) {
            if (std::fclose(m_file) != 0 && m_error.empty())
                m_error = "cannot write " + m_path + ": " + std::strerror(errno);
            m_file = nullptr;
            if (!m_error.empty())
                std::remove(m_path.c_str());
        }
        return m_error;
    }

private:
    std::string m_path;
    std::FILE *m_file;
    std::string m_error;
};

} // namespace

struct Jet4Writer::Impl {
    std::u16string tableName;
    std::vector<Column> columns;
    TableLayout layout;
    PageStore store{kFirstRowPage};
    LongValueWriter longValues{store};
    std::vector<std::uint32_t> dataPages; // ascending
    std::size_t rows = 0;

    // Scratch space reused by every row.
    std::u16string text;
    std::vector<std::uint8_t> bytes;     // encoded values of the row
    std::vector<std::size_t> valueStart; // per column: where its bytes start in `bytes`
    std::vector<std::uint8_t> memoRefs;  // 12-byte references (plus inline data) of memo columns
    std::vector<std::size_t> memoStart;  // per column: where its reference starts in `memoRefs`
    std::vector<Cell> cells;
    std::vector<bool> memoInline;

    [[noreturn]] void badValue(std::size_t column, const std::string &why) const
    {
        throw std::invalid_argument("column '" + columns[column].name + "': " + why);
    }

    void encodeValues(const std::vector<Value> &row);
    void placeMemos();
    void appendRow();
};

void Jet4Writer::Impl::encodeValues(const std::vector<Value> &row)
{
    bytes.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column &col = columns[i];
        const Value &value = row[i];
        Cell &cell = cells[i];
        cell = Cell{};
        valueStart[i] = bytes.size();
        if (!value) {
            continue; // NULL; for Yes/No this is No
        }
        switch (col.type) {
        case ColumnType::Text:
        case ColumnType::Memo: {
            const auto *s = std::get_if<std::string>(&*value);
            if (!s)
                badValue(i, std::string("expected ") + kindName(col.type));
            if (!utf8ToUtf16(*s, text))
                badValue(i, "text is not valid UTF-8");
            const bool isText = col.type == ColumnType::Text;
            if (isText && text.size() > std::size_t(col.textLength))
                badValue(i, "text has " + std::to_string(text.size()) + " characters, the column takes " + std::to_string(col.textLength));
            const bool compress = isText || text.size() <= kMaxCompressedMemoChars;
            if (encodeJetText(text, compress, bytes) != TextEncodeResult::Ok)
                badValue(i, "text starting with U+FEFF cannot also hold characters U+xx00");
            if (!isText && bytes.size() - valueStart[i] > kMaxLongValueSize)
                throw std::length_error("column '" + col.name + "': memo too long");
            cell.isNull = false;
            break;
        }
        case ColumnType::DateTime: {
            const auto *d = std::get_if<double>(&*value);
            if (!d)
                badValue(i, std::string("expected ") + kindName(col.type));
            bytes.resize(bytes.size() + 8);
            putDouble(bytes.data(), valueStart[i], *d);
            cell.isNull = false;
            break;
        }
        case ColumnType::Long: {
            const auto *n = std::get_if<std::int32_t>(&*value);
            if (!n)
                badValue(i, std::string("expected ") + kindName(col.type));
            bytes.resize(bytes.size() + 4);
            put32(bytes.data(), valueStart[i], std::uint32_t(*n));
            cell.isNull = false;
            break;
        }
        case ColumnType::YesNo: {
            const auto *b = std::get_if<bool>(&*value);
            if (!b)
                badValue(i, std::string("expected ") + kindName(col.type));
            cell.flag = *b;
            cell.isNull = !*b;
            break;
        }
        }
    }
    // `bytes` is complete: point the cells at their values.
    for (std::size_t i = 0; i < columns.size(); ++i) {
        Cell &cell = cells[i];
        if (cell.isNull || columns[i].type == ColumnType::YesNo)
            continue;
        const std::size_t end = (i + 1 < columns.size()) ? valueStart[i + 1] : bytes.size();
        cell.data = bytes.data() + valueStart[i];
        cell.size = end - valueStart[i];
    }
}

void Jet4Writer::Impl::placeMemos()
{
    // Short memos stay in the row; if the row gets too long, the longest ones move out first.
    std::size_t size = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        memoInline[i] = false;
        if (columns[i].type != ColumnType::Memo || cells[i].isNull)
            continue;
        memoInline[i] = cells[i].size <= kInlineMemoLimit;
    }
    auto computeSize = [&] {
        std::size_t total = rowSize(layout, cells.data());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i].type != ColumnType::Memo || cells[i].isNull)
                continue;
            // rowSize counted the bare value; a memo takes its reference plus any inline part.
            total = total - cells[i].size + kLongValueHeaderSize + (memoInline[i] ? cells[i].size : 0);
        }
        return total;
    };
    size = computeSize();
    while (size > kMaxRowSize) {
        std::size_t longest = columns.size();
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (memoInline[i] && (longest == columns.size() || cells[i].size > cells[longest].size))
                longest = i;
        if (longest == columns.size())
            throw std::length_error("row of " + std::to_string(size) + " bytes does not fit on a page (at most " +
                                    std::to_string(kMaxRowSize) + ")");
        memoInline[longest] = false;
        size = computeSize();
    }

    memoRefs.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].type != ColumnType::Memo || cells[i].isNull)
            continue;
        memoStart[i] = memoRefs.size();
        memoRefs.resize(memoRefs.size() + kLongValueHeaderSize);
        std::uint8_t *header = memoRefs.data() + memoStart[i];
        if (memoInline[i]) {
            inlineLongValueHeader(cells[i].size, header);
            memoRefs.insert(memoRefs.end(), cells[i].data, cells[i].data + cells[i].size);
        } else {
            longValues.store(cells[i].data, cells[i].size, header);
        }
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].type != ColumnType::Memo || cells[i].isNull)
            continue;
        const std::size_t end = kLongValueHeaderSize + (memoInline[i] ? cells[i].size : 0);
        cells[i].data = memoRefs.data() + memoStart[i];
        cells[i].size = end;
    }
}

void Jet4Writer::Impl::appendRow()
{
    const std::size_t size = rowSize(layout, cells.data());
    if (dataPages.empty() || !rowpage::fits(store.page(dataPages.back()), size)) {
        const std::uint32_t page = store.allocate();
        rowpage::initData(store.page(page), kTableDefPage);
        dataPages.push_back(page);
    }
    std::uint32_t rowNumber;
    writeRow(layout, cells.data(), rowpage::append(store.page(dataPages.back()), size, rowNumber));
    ++rows;
}

Jet4Writer::Jet4Writer(std::string tableName, std::vector<Column> columns) : m_impl(new Impl)
{
    try {
        m_impl->tableName = checkedName(tableName, "table name");
        if (foldAscii(m_impl->tableName) == u"MSYSOBJECTS")
            throw std::invalid_argument("table name MSysObjects is taken by the catalog");
        if (columns.empty() || columns.size() > kMaxColumns)
            throw std::invalid_argument("a table has 1 to 255 columns");
        std::vector<ColumnInfo> infos;
        std::vector<std::u16string> folded;
        for (const Column &col : columns) {
            ColumnInfo info;
            info.name = checkedName(col.name, "column name");
            const std::u16string key = foldAscii(info.name);
            if (std::find(folded.begin(), folded.end(), key) != folded.end())
                throw std::invalid_argument("column name '" + col.name + "' appears twice");
            folded.push_back(key);
            info.type = typeCode(col.type);
            if (col.type == ColumnType::Text) {
                if (col.textLength < 1 || col.textLength > 255)
                    throw std::invalid_argument("column '" + col.name + "': text length must be 1 to 255");
                info.textChars = std::uint16_t(col.textLength);
            }
            infos.push_back(std::move(info));
        }
        m_impl->layout = makeTableLayout(infos);
        m_impl->columns = std::move(columns);
        const std::size_t n = m_impl->columns.size();
        m_impl->valueStart.resize(n);
        m_impl->memoStart.resize(n);
        m_impl->cells.resize(n);
        m_impl->memoInline.resize(n);
    } catch (...) {
        delete m_impl;
        throw;
    }
}

Jet4Writer::~Jet4Writer() { delete m_impl; }

void Jet4Writer::addRow(const std::vector<Value> &row)
{
    if (row.size() != m_impl->columns.size())
        throw std::invalid_argument("row has " + std::to_string(row.size()) + " values, the table has " +
                                    std::to_string(m_impl->columns.size()) + " columns");
    if (m_impl->rows == 0xFFFFFFFFu)
        throw std::length_error("too many rows");
    m_impl->encodeValues(row);
    m_impl->placeMemos();
    m_impl->appendRow();
}

std::size_t Jet4Writer::rowCount() const { return m_impl->rows; }

std::string Jet4Writer::save(const std::string &path) const
{
    try {
        const Impl &d = *m_impl;
        std::uint32_t nextPage = d.store.endPage();

        // Pages added after the rows: bitmap pages of the used-page map, then any
        // continuation pages of the table definition.
        const UsageMap usedMap = buildUsageMap(d.dataPages, nextPage);
        nextPage += std::uint32_t(usedMap.bitmapPages.size());

        TableDefinition def;
        def.layout = &d.layout;
        def.tableType = kUserTable;
        def.rowCount = std::uint32_t(d.rows);
        def.usedMapPageRow = pageRow(kMapPage, 2);
        def.freeMapPageRow = pageRow(kMapPage, 3);
        const std::vector<std::uint8_t> tableDef = encodeTableDefinition(def);
        std::vector<std::uint32_t> continuation;
        for (std::size_t i = 1; i < tableDefinitionPageCount(tableDef.size()); ++i)
            continuation.push_back(nextPage++);
        const std::vector<Page> tableDefPages = paginateTableDefinition(tableDef, continuation);

        TableDefinition catalogDef;
        catalogDef.layout = &catalogLayout();
        catalogDef.tableType = kSystemTable;
        catalogDef.rowCount = 2;
        catalogDef.usedMapPageRow = pageRow(kMapPage, 0);
        catalogDef.freeMapPageRow = pageRow(kMapPage, 1);
        const std::vector<Page> catalogDefPages = paginateTableDefinition(encodeTableDefinition(catalogDef), {});

        // Map records, in the row order the definitions above refer to.
        Page mapPage;
        rowpage::initData(mapPage, 0);
        const std::vector<std::vector<std::uint8_t>> records = {
            buildUsageMap({kCatalogDataPage}, 0).record,
            emptyFreeSpaceMap(),
            usedMap.record,
            emptyFreeSpaceMap(),
        };
        for (const auto &record : records) {
            if (!rowpage::fits(mapPage, record.size()))
                return "internal error: usage maps do not fit their page";
            std::uint32_t row;
            std::memcpy(rowpage::append(mapPage, record.size(), row), record.data(), record.size());
        }

        Page catalogPage;
        const std::vector<CatalogEntry> entries = {
            {u"MSysObjects", kCatalogDefPage, true},
            {d.tableName, kTableDefPage, false},
        };
        if (!writeCatalogPage(catalogPage, kCatalogDefPage, entries, kCreationDate))
            return "internal error: catalog does not fit its page";

        PageFile file(path);
        file.write(makeHeaderPage(kCreationDate));
        file.write(mapPage);
        file.write(catalogDefPages.front());
        file.write(catalogPage);
        file.write(tableDefPages.front());
        for (std::uint32_t p = d.store.firstPage(); p < d.store.endPage(); ++p)
            file.write(d.store.page(p));
        for (const Page &page : usedMap.bitmapPages)
            file.write(page);
        for (std::size_t i = 1; i < tableDefPages.size(); ++i)
            file.write(tableDefPages[i]);
        return file.finish();
    } catch (const std::exception &e) {
        return std::string("cannot write ") + path + ": " + e.what();
    }
}

namespace {

// Days from 1970-01-01 to the given date in the proleptic Gregorian calendar.
long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + (long long)doe - 719468;
}

} // namespace

double oleDate(int year, int month, int day, int hour, int minute, int second)
{
    const long long days = daysFromCivil(year, unsigned(month), unsigned(day)) - daysFromCivil(1899, 12, 30);
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // Before 1899-12-30 the day count is negative but the time of day still counts forward.
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

} // namespace jet4
