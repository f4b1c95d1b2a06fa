#pragma once
// Helpers for the Jet 4 writer tests: scratch directories, reading a table back through libmdb,
// running commands, parsing mdb-export's CSV and looking at raw pages.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <mdbtools.h>

namespace jet4test {

/// A directory removed with its contents when the object goes away.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    std::string file(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

/// Reads one table through libmdb. Dates come as "YYYY-MM-DD HH:MM:SS", Yes/No as "1"/"0";
/// NULL is told apart from '' by cracking the current row for its null flags.
class MdbTableReader {
public:
    MdbTableReader(const std::string &path, const std::string &table);
    ~MdbTableReader();
    MdbTableReader(const MdbTableReader &) = delete;
    MdbTableReader &operator=(const MdbTableReader &) = delete;

    bool ok() const { return m_table != nullptr; }
    std::size_t columnCount() const { return m_values.size(); }
    std::string columnName(std::size_t i) const;
    int columnType(std::size_t i) const;
    int columnSize(std::size_t i) const;
    /// Row count stored in the table definition (what mdb-count prints).
    unsigned storedRowCount() const;
    /// First byte of the used-page map record: 0 inline bitmap, 1 separate bitmap pages.
    int usageMapType() const;
    std::uint32_t tableDefPage() const;

    bool next();
    std::optional<std::string_view> value(std::size_t column) const;
    std::vector<std::optional<std::string>> row() const;
    /// Bytes the current row keeps for the column (a memo counts its 12-byte reference).
    std::size_t storedSize(std::size_t column) const { return m_sizes[column]; }

private:
    MdbHandle *m_mdb = nullptr;
    MdbTableDef *m_table = nullptr;
    std::vector<std::vector<char>> m_values;
    std::vector<int> m_lengths;
    std::vector<bool> m_null;
    std::vector<std::size_t> m_sizes;
};

/// All rows of a table; empty optional for NULL.
std::vector<std::vector<std::optional<std::string>>> readAllRows(const std::string &path, const std::string &table);

struct CommandResult {
    int status = -1; ///< exit status, -1 if it did not run or was killed
    std::string output;
};
/// Runs a shell command line (cmd.exe on Windows) and collects its standard output.
CommandResult runCommand(const std::string &commandLine);
bool haveCommand(const std::string &name);
/// Quotes a path or argument for the shell (double quotes for cmd.exe).
std::string shellQuote(const std::string &s);
/// A program's path as the shell runs it (backslashes for cmd.exe).
std::string commandPath(std::string path);

/// Raw pages of a written file.
class PageFile {
public:
    explicit PageFile(const std::string &path);
    std::size_t pageCount() const { return m_bytes.size() / 4096; }
    const std::uint8_t *page(std::uint32_t n) const { return m_bytes.data() + std::size_t(n) * 4096; }
    std::size_t fileSize() const { return m_bytes.size(); }
    /// Pages listed by a used-page map record (both map types).
    std::vector<std::uint32_t> pagesInMap(const std::uint8_t *record, std::size_t size) const;

private:
    std::vector<std::uint8_t> m_bytes;
};

std::uint32_t le16(const std::uint8_t *p);
std::uint32_t le32(const std::uint8_t *p);

/// Text encoded as UTF-8 from code points.
std::string utf8(std::u32string_view codePoints);

} // namespace jet4test
