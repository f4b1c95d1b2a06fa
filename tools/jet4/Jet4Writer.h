#pragma once
// Writes a Jet 4 (.mdb) database file holding one user table.
// Plain standard C++; no Qt, no mdbtools.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace jet4 {

enum class ColumnType { Text, Memo, DateTime, Long, YesNo };

struct Column {
    std::string name;
    ColumnType type = ColumnType::Text;
    int textLength = 255; ///< maximum characters of a Text column (1..255)
};

/// One cell: nullopt is NULL. Text and Memo take UTF-8 strings, Long takes int32_t,
/// DateTime takes the OLE automation date (days since 1899-12-30, as Jet stores it),
/// YesNo takes bool (a Yes/No column cannot hold NULL; nullopt is written as No).
using Value = std::optional<std::variant<std::string, int32_t, double, bool>>;

/// Builds the table in memory, row by row, and writes the whole file on save().
/// The file holds the system catalog (MSysObjects) and this one table, without indexes.
/// Equal input gives a byte-identical file.
class Jet4Writer {
public:
    /// Names have 1 to 64 characters; column names are unique (ignoring ASCII case); 1 to 255 columns.
    /// Throws std::invalid_argument otherwise.
    Jet4Writer(std::string tableName, std::vector<Column> columns);
    ~Jet4Writer();
    Jet4Writer(const Jet4Writer &) = delete;
    Jet4Writer &operator=(const Jet4Writer &) = delete;

    /// Appends one row; row.size() must equal the number of columns.
    /// Throws std::invalid_argument if the row does not match the columns (count, kind of value,
    /// invalid UTF-8, Text longer than its column; lengths count UTF-16 code units), and
    /// std::length_error if the row cannot fit on one page (about 4,000 bytes without memos)
    /// or a memo exceeds 16 MB as stored. A row that throws is not added.
    void addRow(const std::vector<Value> &row);
    std::size_t rowCount() const;

    /// Writes the database file; returns an empty string on success, else the reason.
    std::string save(const std::string &path) const;

private:
    struct Impl;
    Impl *m_impl;
};

/// Converts a calendar date and time to the OLE automation date Jet stores.
double oleDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

} // namespace jet4
