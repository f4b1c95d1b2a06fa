#include "tests/tools/Jet4TestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace jet4test {

namespace {
constexpr std::size_t kBindSize = 200000; // room for long memos, as mdb-export has
}

ScratchDir::ScratchDir()
{
#ifdef _WIN32
    // No mkdtemp: a random name that is not taken yet.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("jet4test-" + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(dir, ec))
            m_path = dir.string();
    }
    if (m_path.empty())
        throw std::runtime_error("cannot create a scratch directory");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "jet4test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a scratch directory");
    m_path = pattern;
#endif
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

MdbTableReader::MdbTableReader(const std::string &path, const std::string &table)
{
    m_mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!m_mdb)
        return;
    mdb_set_date_fmt(m_mdb, "%Y-%m-%d %H:%M:%S");
    mdb_set_bind_size(m_mdb, kBindSize);
    std::string name = table;
    m_table = mdb_read_table_by_name(m_mdb, name.data(), MDB_TABLE);
    if (!m_table)
        return;
    if (!mdb_read_columns(m_table)) {
        mdb_free_tabledef(m_table);
        m_table = nullptr;
        return;
    }
    mdb_rewind_table(m_table);
    const std::size_t n = m_table->num_cols;
    m_values.assign(n, std::vector<char>(kBindSize));
    m_lengths.assign(n, 0);
    m_null.assign(n, true);
    m_sizes.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i)
        mdb_bind_column(m_table, int(i + 1), m_values[i].data(), &m_lengths[i]);
}

MdbTableReader::~MdbTableReader()
{
    if (m_table)
        mdb_free_tabledef(m_table);
    if (m_mdb)
        mdb_close(m_mdb);
}

static MdbColumn *column(MdbTableDef *table, std::size_t i) { return static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i)); }

std::string MdbTableReader::columnName(std::size_t i) const { return column(m_table, i)->name; }
int MdbTableReader::columnType(std::size_t i) const { return column(m_table, i)->col_type; }
int MdbTableReader::columnSize(std::size_t i) const { return column(m_table, i)->col_size; }
unsigned MdbTableReader::storedRowCount() const { return m_table->num_rows; }
int MdbTableReader::usageMapType() const { return m_table->map_sz > 0 ? m_table->usage_map[0] : -1; }
std::uint32_t MdbTableReader::tableDefPage() const { return std::uint32_t(m_table->entry->table_pg); }

bool MdbTableReader::next()
{
    if (!mdb_fetch_row(m_table))
        return false;
    // mdb_fetch_row leaves the row's page in the handle; crack it again for the null flags.
    int start = 0;
    size_t size = 0;
    std::vector<MdbField> fields(m_table->num_cols);
    if (mdb_find_row(m_mdb, int(m_table->cur_row) - 1, &start, &size) != 0 ||
        mdb_crack_row(m_table, start & 0x1FFF, size, fields.data()) < 0)
        throw std::runtime_error("row cannot be cracked");
    for (std::size_t i = 0; i < fields.size(); ++i) {
        m_null[fields[i].colnum] = fields[i].is_null;
        m_sizes[fields[i].colnum] = fields[i].siz;
    }
    return true;
}

std::optional<std::string_view> MdbTableReader::value(std::size_t i) const
{
    if (column(m_table, i)->col_type != MDB_BOOL && m_null[i])
        return std::nullopt;
    return std::string_view(m_values[i].data());
}

std::vector<std::optional<std::string>> MdbTableReader::row() const
{
    std::vector<std::optional<std::string>> out;
    for (std::size_t i = 0; i < columnCount(); ++i) {
        const auto v = value(i);
        out.push_back(v ? std::optional<std::string>(std::string(*v)) : std::nullopt);
    }
    return out;
}

std::vector<std::vector<std::optional<std::string>>> readAllRows(const std::string &path, const std::string &table)
{
    MdbTableReader reader(path, table);
    if (!reader.ok())
        throw std::runtime_error("libmdb cannot open table " + table + " in " + path);
    std::vector<std::vector<std::optional<std::string>>> rows;
    while (reader.next())
        rows.push_back(reader.row());
    return rows;
}

CommandResult runCommand(const std::string &commandLine)
{
    CommandResult result;
#ifdef _WIN32
    // cmd.exe /c drops the first and the last quote of its line: one more pair keeps the line's own.
    std::FILE *pipe = popen(("\"" + commandLine + "\"").c_str(), "r");
#else
    std::FILE *pipe = popen(commandLine.c_str(), "r");
#endif
    if (!pipe)
        return result;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, n);
    const int status = pclose(pipe);
#ifdef _WIN32
    result.status = status; // the command's exit code
#else
    result.status = (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
#endif
    return result;
}

#ifdef _WIN32
bool haveCommand(const std::string &name)
{
    char found[MAX_PATH];
    return SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr) > 0;
}

std::string shellQuote(const std::string &s) { return "\"" + s + "\""; }

std::string commandPath(std::string path)
{
    for (char &c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}
#else
bool haveCommand(const std::string &name) { return runCommand("command -v " + shellQuote(name) + " >/dev/null 2>&1").status == 0; }

std::string commandPath(std::string path) { return path; }

std::string shellQuote(const std::string &s)
{
    std::string out = "'";
    for (char c : s) {
        if (c == '\'')
            out += "'\\''";
        else
            out.push_back(c);
    }
    return out + "'";
}
#endif

PageFile::PageFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    m_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le16(const std::uint8_t *p) { return p[0] | (std::uint32_t(p[1]) << 8); }
std::uint32_t le32(const std::uint8_t *p) { return le16(p) | (le16(p + 2) << 16); }

std::vector<std::uint32_t> PageFile::pagesInMap(const std::uint8_t *record, std::size_t size) const
{
    std::vector<std::uint32_t> pages;
    if (size < 1)
        return pages;
    if (record[0] == 0) {
        const std::uint32_t start = le32(record + 1);
        for (std::size_t bit = 0; bit < (size - 5) * 8; ++bit)
            if (record[5 + bit / 8] & (1u << (bit % 8)))
                pages.push_back(start + std::uint32_t(bit));
    } else if (record[0] == 1) {
        const std::size_t perPage = (4096 - 4) * 8;
        for (std::size_t slot = 0; slot < (size - 1) / 4; ++slot) {
            const std::uint32_t mapPage = le32(record + 1 + 4 * slot);
            if (mapPage == 0 || mapPage >= pageCount())
                continue;
            const std::uint8_t *bitmap = page(mapPage);
            if (bitmap[0] != 0x05)
                throw std::runtime_error("used-page map points at a page that is not a bitmap page");
            for (std::size_t bit = 0; bit < perPage; ++bit)
                if (bitmap[4 + bit / 8] & (1u << (bit % 8)))
                    pages.push_back(std::uint32_t(slot * perPage + bit));
        }
    }
    return pages;
}

std::string utf8(std::u32string_view codePoints)
{
    std::string out;
    for (char32_t c : codePoints) {
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace jet4test
