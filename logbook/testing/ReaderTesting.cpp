#include "logbook/testing/ReaderTesting.h"

#include "logbook/mdb/ColumnarStream.h"
#include "logbook/mdb/MdbFields.h"
#include "logbook/mdb/MdbOpen.h"
#include "logbook/mdb/PageReader.h"

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

namespace {

/// The text columns of `table` as the columnar page reading sends them in
/// `parts` parts, each part through the stream and back, joined row by row
/// as "t:text" or NULL; `declined` when a part is declined.
std::string columnarRows(const unsigned char *bytes, std::size_t size, const std::string &table, unsigned parts,
                         std::vector<std::vector<std::optional<std::string>>> &rows, bool &declined)
{
    declined = false;
    for (unsigned k = 0; k < parts; ++k) {
        std::string stream;
        ColumnarEncoder encoder([&stream](const char *d, std::size_t n) {
            stream.append(d, n);
            return true;
        });
        const PageRead got = readColumnarPages(bytes, size, table, encoder, {k, parts});
        if (got.declined) {
            if (!stream.empty() && stream != "VKC1")
                return "declined after handing columns on";
            declined = true;
            return {};
        }
        if (!got.why.empty() || !encoder.finish())
            return "the columnar reading fails: " + got.why;
        ColumnarTable arrived;
        ColumnarDecoder decoder(arrived, {});
        if (!decoder.feed(stream.data(), stream.size()) || !decoder.complete())
            return "the columnar stream does not arrive: " + decoder.error();
        // Where each text starts: per row for plain texts, per id for a dictionary.
        std::vector<std::vector<std::size_t>> starts;
        for (const ColumnarTextColumn &c : arrived.text) {
            std::vector<std::size_t> &at = starts.emplace_back(1, 0);
            for (const std::uint32_t length : c.lengths)
                at.push_back(at.back() + (length == NullLength ? 0 : length));
        }
        for (std::size_t r = 0; r < arrived.rows; ++r) {
            std::vector<std::optional<std::string>> &row = rows.emplace_back();
            for (std::size_t t = 0; t < arrived.text.size(); ++t) {
                const ColumnarTextColumn &c = arrived.text[t];
                const std::size_t i = c.plain ? r : c.id(r) - 1;
                if (c.plain ? c.lengths[r] == NullLength : c.id(r) == 0)
                    row.emplace_back();
                else
                    row.emplace_back("t:" + c.bytes.substr(starts[t][i], c.lengths[i]));
            }
        }
    }
    return {};
}

/// Whether the columnar page reading, whole and in two parts, gives the
/// texts libmdb gives; what differs.
std::string columnarAgainst(const unsigned char *bytes, std::size_t size, const std::string &table, const CopiedTable &theirs)
{
    std::vector<std::size_t> text;
    for (std::size_t c = 0; c < theirs.names.size(); ++c) {
        if (theirs.names[c].kind == Kind::Text)
            text.push_back(c);
    }
    for (const unsigned parts : {1u, 2u}) {
        std::vector<std::vector<std::optional<std::string>>> rows;
        bool declined = false;
        if (std::string why = columnarRows(bytes, size, table, parts, rows, declined); !why.empty())
            return "table " + table + " in " + std::to_string(parts) + " parts: " + why;
        if (declined && parts == 1)
            return "table " + table + ": the columnar reading declines what the page reader reads";
        if (declined)
            continue;
        if (rows.size() != theirs.rows.size())
            return "table " + table + " in " + std::to_string(parts) + " parts: " + std::to_string(rows.size()) +
                   " rows where libmdb reads " + std::to_string(theirs.rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t t = 0; t < text.size(); ++t) {
                if (rows[r][t] != theirs.rows[r][text[t]])
                    return "table " + table + " in " + std::to_string(parts) + " parts, row " + std::to_string(r) + ", column " +
                           theirs.names[text[t]].name + ": " + rows[r][t].value_or("NULL") + " where libmdb reads " +
                           theirs.rows[r][text[t]].value_or("NULL");
            }
        }
    }
    return {};
}

} // namespace

std::string pageReaderAgainstLibmdb(const void *data, std::size_t size, int *read)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    std::string why;
    const std::vector<std::string> tables = tableNamesPages(bytes, size, why);
    for (const std::string &table : tables) {
        CopiedTable ours;
        const PageRead got = readTablePages(bytes, size, table, ours);
        if (got.declined) {
            if (got.why.empty())
                return "table " + table + ": declined without a reason";
            if (!ours.names.empty() || !ours.rows.empty())
                return "table " + table + ": declined after handing rows on";
            continue;
        }
        if (!got.why.empty())
            return "table " + table + ": " + got.why;
        CopiedTable theirs;
        if (const std::string failed = readTableWithLibmdb(data, size, table, theirs); !failed.empty())
            return "table " + table + ": the page reader reads it, libmdb does not: " + failed;
        if (ours.names.size() != theirs.names.size())
            return "table " + table + ": other columns";
        for (std::size_t c = 0; c < ours.names.size(); ++c) {
            if (ours.names[c].name != theirs.names[c].name || ours.names[c].kind != theirs.names[c].kind)
                return "table " + table + ": column " + std::to_string(c) + " differs";
        }
        if (ours.rows.size() != theirs.rows.size())
            return "table " + table + ": " + std::to_string(ours.rows.size()) + " rows where libmdb reads " +
                   std::to_string(theirs.rows.size());
        for (std::size_t r = 0; r < ours.rows.size(); ++r) {
            for (std::size_t c = 0; c < ours.rows[r].size() && c < theirs.rows[r].size(); ++c) {
                if (ours.rows[r][c] != theirs.rows[r][c])
                    return "table " + table + ", row " + std::to_string(r) + ", column " + ours.names[c].name + ": " +
                           ours.rows[r][c].value_or("NULL") + " where libmdb reads " + theirs.rows[r][c].value_or("NULL");
            }
            if (ours.rows[r].size() != theirs.rows[r].size())
                return "table " + table + ", row " + std::to_string(r) + ": other values";
        }
        if (std::string why = columnarAgainst(bytes, size, table, theirs); !why.empty())
            return why;
        if (read)
            ++*read;
    }
    return {};
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
