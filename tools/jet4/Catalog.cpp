#include "tools/jet4/Catalog.h"

#include "tools/jet4/PageStore.h"
#include "tools/jet4/TextEncoding.h"

#include <cmath>
#include <cstring>

namespace jet4::detail {

namespace {

void rc4(const std::uint8_t *key, std::size_t keyLen, std::uint8_t *data, std::size_t len)
{
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = std::uint8_t(i);
    std::uint8_t j = 0;
    for (int i = 0; i < 256; ++i) {
        j = std::uint8_t(j + s[i] + key[i % keyLen]);
        std::swap(s[i], s[j]);
    }
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    for (std::size_t k = 0; k < len; ++k) {
        a = std::uint8_t(a + 1);
        b = std::uint8_t(b + s[a]);
        std::swap(s[a], s[b]);
        data[k] ^= s[std::uint8_t(s[a] + s[b])];
    }
}

constexpr std::size_t kScrambledStart = 0x18;
constexpr std::size_t kScrambledSize = 128;
constexpr std::uint8_t kHeaderKey[4] = {0xC7, 0xDA, 0x39, 0x6B};

// MSysObjects columns, in order.
enum CatalogColumn { Id, ParentId, Name, Type, DateCreate, DateUpdate, Flags, LvProp, CatalogColumnCount };

constexpr std::int16_t kObjectTable = 1;
constexpr std::uint32_t kSystemObjectFlags = 0x80000002u;

} // namespace

Page makeHeaderPage(double creationDate)
{
    Page page{};
    std::uint8_t *p = page.data();
    p[0] = kPageHeader;
    p[1] = 0x01;
    std::memcpy(p + 4, "Standard Jet DB", 15);
    put32(p, 0x14, 1); // Jet 4

    put16(p, 0x3C, 1252); // code page
    put32(p, 0x3E, 0);    // database key: 0 means the pages are not encrypted
    // The password field is masked with the creation date; storing the bare mask means "no password".
    const auto mask = std::uint32_t(std::int32_t(std::floor(creationDate)));
    for (std::size_t i = 0; i < 40; ++i)
        p[0x42 + i] = std::uint8_t(mask >> (8 * (i % 4)));
    put32(p, 0x6E, 0x0409); // sort order: General
    putDouble(p, 0x72, creationDate);

    rc4(kHeaderKey, sizeof kHeaderKey, p + kScrambledStart, kScrambledSize);
    return page;
}

const TableLayout &catalogLayout()
{
    static const TableLayout layout = makeTableLayout({
        {u"Id", kTypeLong},
        {u"ParentId", kTypeLong},
        {u"Name", kTypeText, 128},
        {u"Type", kTypeInt},
        {u"DateCreate", kTypeDateTime},
        {u"DateUpdate", kTypeDateTime},
        {u"Flags", kTypeLong},
        {u"LvProp", kTypeOle},
    });
    return layout;
}

bool writeCatalogPage(Page &page, std::uint32_t catalogDefPage, const std::vector<CatalogEntry> &entries, double creationDate)
{
    rowpage::initData(page, catalogDefPage);
    const TableLayout &layout = catalogLayout();

    // An empty property record: the "MR2" signature and no chunks, kept inline.
    std::uint8_t props[kLongValueHeaderSize + 4] = {};
    put24(props, 0, 4);
    props[3] = 0x80;
    std::memcpy(props + kLongValueHeaderSize, "MR2", 4);

    std::uint8_t date[8];
    putDouble(date, 0, creationDate);

    for (const CatalogEntry &entry : entries) {
        std::uint8_t id[4], parent[4], type[2], flags[4];
        put32(id, 0, entry.tableDefPage);
        put32(parent, 0, 0);
        put16(type, 0, std::uint16_t(kObjectTable));
        put32(flags, 0, entry.system ? kSystemObjectFlags : 0);
        std::vector<std::uint8_t> name;
        encodeJetText(entry.name, true, name);

        Cell cells[CatalogColumnCount];
        auto set = [&cells](int column, const std::uint8_t *data, std::size_t size) {
            cells[column].isNull = false;
            cells[column].data = data;
            cells[column].size = size;
        };
        set(Id, id, sizeof id);
        set(ParentId, parent, sizeof parent);
        set(Name, name.data(), name.size());
        set(Type, type, sizeof type);
        set(DateCreate, date, sizeof date);
        set(DateUpdate, date, sizeof date);
        set(Flags, flags, sizeof flags);
        set(LvProp, props, sizeof props);

        const std::size_t size = rowSize(layout, cells);
        if (!rowpage::fits(page, size))
            return false;
        std::uint32_t row;
        writeRow(layout, cells, rowpage::append(page, size, row));
    }
    return true;
}

} // namespace jet4::detail
