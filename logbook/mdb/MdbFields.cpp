#include "logbook/mdb/MdbFields.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace mdbreader {

void setReaderFormats(MdbHandle *mdb)
{
    mdb_set_bind_size(mdb, MaxFieldBytes);
    mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_shortdate_fmt(mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_boolean_fmt_numbers(mdb);
}

bool libmdbConvertsWithIconv() { return MDBTOOLS_H_HAVE_ICONV_H != 0; }

bool dateText(MdbHandle *mdb, int start, std::string &out) { return dateTextOf(mdb_get_double(mdb->pg_buf, start), out); }

bool dateFits(double days)
{
    struct tm t {};
    mdb_date_to_tm(days, &t);
    const int year = t.tm_year + 1900;
    return year >= 1000 && year <= 9999 && t.tm_mon >= 0 && t.tm_mon <= 11 && t.tm_mday >= 1 && t.tm_mday <= 31 && t.tm_hour >= 0 &&
           t.tm_hour <= 23 && t.tm_min >= 0 && t.tm_min <= 59 && t.tm_sec >= 0 && t.tm_sec <= 59;
}

bool dateTextOf(double days, std::string &out)
{
    struct tm t {};
    mdb_date_to_tm(days, &t);
    const int year = t.tm_year + 1900;
    if (year < 1000 || year > 9999 || t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour < 0 || t.tm_hour > 23 ||
        t.tm_min < 0 || t.tm_min > 59 || t.tm_sec < 0 || t.tm_sec > 59)
        return false;
    // "%04d-%02d-%02d %02d:%02d:%02d", every field in range.
    char text[19];
    const auto two = [&text](int at, int v) {
        text[at] = char('0' + v / 10);
        text[at + 1] = char('0' + v % 10);
    };
    two(0, year / 100);
    two(2, year % 100);
    text[4] = '-';
    two(5, t.tm_mon + 1);
    text[7] = '-';
    two(8, t.tm_mday);
    text[10] = ' ';
    two(11, t.tm_hour);
    text[13] = ':';
    two(14, t.tm_min);
    text[16] = ':';
    two(17, t.tm_sec);
    out.assign(text, 19);
    return true;
}

bool ownTexts(MdbHandle *mdb) { return !IS_JET3(mdb) && ownJet4Texts(); }

bool ownJet4Texts()
{
    const char *code = libmdbConvertsWithIconv() ? std::getenv("MDBICONV") : nullptr;
    return !code || std::strcmp(code, "UTF-8") == 0;
}

void memoText(MdbHandle *mdb, int start, int size, std::string &out)
{
    out.clear();
    if (size < MDB_MEMO_OVERHEAD)
        return;
    const std::uint32_t memoLength = std::uint32_t(mdb_get_int32(mdb->pg_buf, start));
    const std::size_t limit = std::size_t(mdb->bind_size);
    if (memoLength & 0x80000000u) {
        jetText(reinterpret_cast<const unsigned char *>(mdb->pg_buf) + start + MDB_MEMO_OVERHEAD, std::size_t(size - MDB_MEMO_OVERHEAD),
                out, limit);
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

} // namespace mdbreader
