#include "ReaderTesting.h"

#include "MdbFields.h"
#include "MdbOpen.h"

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
    if (std::string why = checkHeader(std::string_view(static_cast<const char *>(data), std::min<std::size_t>(size, 20)), size);
        !why.empty())
        return why;
    const MdbPtr mdb = openJetImage(data, size);
    if (!mdb)
        return "cannot open the file as a Jet database";
    return readOpened(mdb.get(), size, table, sink, Part{});
}

} // namespace mdbreader
