#include "ReaderTesting.h"

#include "MdbFields.h"
#include "MdbOpen.h"
#include "PageReader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace mdbreader {

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

std::string readTableFromMemory(const void *data, std::size_t size, const std::string &table, RowSink &sink)
{
    if (checkHeader(std::string_view(static_cast<const char *>(data), std::min<std::size_t>(size, 20)), size).empty()) {
        PageRead read = readTablePages(static_cast<const unsigned char *>(data), size, table, sink);
        if (!read.declined)
            return read.why;
    }
    return readTableWithLibmdb(data, size, table, sink);
}

std::string readTableWithLibmdb(const void *data, std::size_t size, const std::string &table, RowSink &sink, Part part)
{
    if (std::string why = checkHeader(std::string_view(static_cast<const char *>(data), std::min<std::size_t>(size, 20)), size);
        !why.empty())
        return why;
    const MdbPtr mdb = openJetImage(data, size);
    if (!mdb)
        return "cannot open the file as a Jet database";
    return readOpened(mdb.get(), size, table, sink, part);
}

bool CopiedTable::columns(const std::vector<Column> &columns)
{
    names = columns;
    return true;
}

bool CopiedTable::row(const std::vector<Value> &values)
{
    std::vector<std::optional<std::string>> &r = rows.emplace_back();
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value &v = values[i];
        if (v.null)
            r.emplace_back();
        else if (i < names.size() && names[i].kind == Kind::Text)
            r.emplace_back("t:" + std::string(v.text));
        else if (i < names.size() && names[i].kind == Kind::Real)
            r.emplace_back("r:" + std::to_string(v.real));
        else
            r.emplace_back("i:" + std::to_string(v.integer));
    }
    return true;
}

} // namespace mdbreader
