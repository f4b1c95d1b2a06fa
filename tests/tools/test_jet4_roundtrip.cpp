// Files written by Jet4Writer, read back through libmdb: every value must come back intact.

#include "tests/tools/Jet4TestSupport.h"
#include "tools/jet4/Jet4Writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace jet4;
using jet4test::MdbTableReader;
using jet4test::readAllRows;
using jet4test::ScratchDir;
using jet4test::utf8;

namespace {

using Expected = std::vector<std::optional<std::string>>;
const std::optional<std::string> kNull;

Value text(std::string s) { return Value{std::move(s)}; }
Value number(std::int32_t n) { return Value{n}; }
Value yesNo(bool b) { return Value{b}; }
Value date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return Value{oleDate(y, mo, d, h, mi, s)}; }
std::optional<std::string> str(std::string s) { return std::optional<std::string>(std::move(s)); }

void save(const Jet4Writer &writer, const std::string &path)
{
    const std::string error = writer.save(path);
    ASSERT_EQ(error, "") << path;
}

// Text whose every position differs, so that a piece of a long value read out of order shows.
std::string patterned(std::size_t chars, std::u32string_view alphabet)
{
    std::u32string s;
    for (std::size_t i = 0; i < chars; ++i)
        s.push_back(alphabet[(i * 7 + i / alphabet.size()) % alphabet.size()]);
    return utf8(s);
}

const std::vector<Column> kLogColumns = {
    {"Call", ColumnType::Text, 50}, {"Born", ColumnType::DateTime}, {"Count", ColumnType::Long},
    {"Ok", ColumnType::YesNo},      {"Note", ColumnType::Memo},
};

} // namespace

TEST(Jet4RoundTrip, EmptyTableKeepsItsColumnsAndHasNoRows)
{
    ScratchDir dir;
    const std::string path = dir.file("empty.mdb");
    Jet4Writer writer("Log", kLogColumns);
    save(writer, path);

    MdbTableReader reader(path, "Log");
    ASSERT_TRUE(reader.ok());
    ASSERT_EQ(reader.columnCount(), 5u);
    const std::vector<std::string> names = {"Call", "Born", "Count", "Ok", "Note"};
    const std::vector<int> types = {MDB_TEXT, MDB_DATETIME, MDB_LONGINT, MDB_BOOL, MDB_MEMO};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(reader.columnName(i), names[i]);
        EXPECT_EQ(reader.columnType(i), types[i]) << names[i];
    }
    EXPECT_EQ(reader.columnSize(0), 100); // 50 characters, two bytes each
    EXPECT_EQ(reader.storedRowCount(), 0u);
    EXPECT_FALSE(reader.next());
}

TEST(Jet4RoundTrip, EveryTypeWithNullsEmptyStringsAndLimits)
{
    ScratchDir dir;
    const std::string path = dir.file("types.mdb");
    const std::string longCall(50, 'W');
    Jet4Writer writer("Log", kLogColumns);
    writer.addRow({text("K1ABC"), date(2024, 5, 6, 12, 34, 56), number(-5), yesNo(true), text("short memo")});
    writer.addRow({text(""), std::nullopt, std::nullopt, yesNo(false), text("")});
    writer.addRow({std::nullopt, date(1899, 12, 30), number(INT32_MIN), std::nullopt, std::nullopt});
    writer.addRow({text(longCall), date(1999, 12, 31, 23, 59, 59), number(INT32_MAX), yesNo(true), text("é")});
    writer.addRow({text("0"), date(2000, 2, 29, 0, 0, 1), number(0), yesNo(false), text(" ")});
    EXPECT_EQ(writer.rowCount(), 5u);
    save(writer, path);

    const std::vector<Expected> expected = {
        {str("K1ABC"), str("2024-05-06 12:34:56"), str("-5"), str("1"), str("short memo")},
        {str(""), kNull, kNull, str("0"), str("")},
        {kNull, str("1899-12-30 00:00:00"), str("-2147483648"), str("0"), kNull},
        {str(longCall), str("1999-12-31 23:59:59"), str("2147483647"), str("1"), str("é")},
        {str("0"), str("2000-02-29 00:00:01"), str("0"), str("0"), str(" ")},
    };
    EXPECT_EQ(readAllRows(path, "Log"), expected);
    MdbTableReader reader(path, "Log");
    ASSERT_TRUE(reader.ok());
    EXPECT_EQ(reader.storedRowCount(), 5u);
    // '' is stored as no bytes at all: a bare compression marker reads as U+FEFF elsewhere.
    // An empty memo still has its reference.
    ASSERT_TRUE(reader.next());
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.storedSize(0), 0u);
    EXPECT_EQ(reader.storedSize(4), 12u);
}

TEST(Jet4RoundTrip, FixedColumnsOnlyAndYesNoOnly)
{
    // Tables without variable columns store rows without an offset table.
    ScratchDir dir;
    const std::string path = dir.file("fixed.mdb");
    Jet4Writer writer("Fixed", {{"A", ColumnType::Long}, {"B", ColumnType::YesNo}, {"C", ColumnType::DateTime}});
    writer.addRow({number(1), yesNo(true), date(2010, 10, 10, 10, 10, 10)});
    writer.addRow({std::nullopt, yesNo(false), std::nullopt});
    save(writer, path);
    const std::vector<Expected> expected = {
        {str("1"), str("1"), str("2010-10-10 10:10:10")},
        {kNull, str("0"), kNull},
    };
    EXPECT_EQ(readAllRows(path, "Fixed"), expected);

    const std::string flags = dir.file("flags.mdb");
    Jet4Writer flagsOnly("Flags", {{"F", ColumnType::YesNo}});
    Expected values;
    for (int i = 0; i < 1000; ++i) {
        flagsOnly.addRow({yesNo(i % 3 == 0)});
        values.push_back(str(i % 3 == 0 ? "1" : "0"));
    }
    save(flagsOnly, flags);
    const auto rows = readAllRows(flags, "Flags");
    ASSERT_EQ(rows.size(), 1000u);
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(rows[i][0], values[i]) << "row " << i;
}

TEST(Jet4Memo, LengthsAroundInlineSinglePageAndChainLimits)
{
    // Stored sizes: up to 1024 characters compressed (n + 2 bytes for ASCII), longer ones as
    // UTF-16 (2n bytes). Memos of up to 64 bytes stay in the row, up to 4080 bytes take one
    // long-value row, longer ones a chain of 4076-byte pieces.
    const std::vector<std::size_t> asciiLengths = {0,    1,    61,   62,   63,   64,   1023, 1024,  1025,
                                                   2039, 2040, 2041, 2042, 4076, 4077, 6000, 20000, 99999};
    ScratchDir dir;
    const std::string path = dir.file("memo.mdb");
    Jet4Writer writer("Notes", {{"N", ColumnType::Long}, {"M", ColumnType::Memo}, {"M2", ColumnType::Memo}});
    std::vector<std::string> values;
    for (std::size_t len : asciiLengths)
        values.push_back(patterned(len, U"abcdefghijklmnopqrstuvwxyz0123456789"));
    values.push_back(patterned(5000, U"АБВГДЕЖЗИЙКЛМНОП"));   // 10,000 bytes
    values.push_back(patterned(3000, U"中文字符一二三四五")); // 6,000 bytes
    values.push_back(patterned(700, U"aé中Āß"));              // compressed, mixed runs
    for (std::size_t i = 0; i < values.size(); ++i) {
        // The second memo holds the value of another row, so two long values share a row.
        writer.addRow({number(std::int32_t(i)), text(values[i]), text(values[values.size() - 1 - i])});
    }
    save(writer, path);

    const auto rows = readAllRows(path, "Notes");
    ASSERT_EQ(rows.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(rows[i][0], std::to_string(i));
        EXPECT_EQ(rows[i][1], values[i]) << "memo of " << values[i].size() << " bytes (UTF-8), row " << i;
        EXPECT_EQ(rows[i][2], values[values.size() - 1 - i]) << "row " << i;
    }
}

TEST(Jet4RoundTrip, WideTableWhoseDefinitionSpansSeveralPages)
{
    // 255 columns with 64-character names need about 40 KB of table definition.
    std::vector<Column> columns;
    const ColumnType kinds[] = {ColumnType::Long, ColumnType::Text, ColumnType::YesNo, ColumnType::DateTime, ColumnType::Memo};
    for (int i = 0; i < 255; ++i) {
        // 64 characters: an ASCII prefix, then a mix of narrow and wide letters.
        const std::string prefix = "Column_" + std::to_string(i) + "_";
        columns.push_back({prefix + patterned(64 - prefix.size(), U"ÄbcДе中"), kinds[i % 5], 10});
    }
    ScratchDir dir;
    const std::string path = dir.file("wide.mdb");
    Jet4Writer writer("Wide", columns);
    std::vector<Expected> expected;
    for (int r = 0; r < 3; ++r) {
        std::vector<Value> row;
        Expected want;
        for (int i = 0; i < 255; ++i) {
            switch (columns[i].type) {
            case ColumnType::Long:
                row.push_back(number(r * 1000 + i));
                want.push_back(str(std::to_string(r * 1000 + i)));
                break;
            case ColumnType::Text:
                row.push_back(text("t" + std::to_string(i)));
                want.push_back(str("t" + std::to_string(i)));
                break;
            case ColumnType::YesNo:
                row.push_back(yesNo((r + i) % 2 == 0));
                want.push_back(str((r + i) % 2 == 0 ? "1" : "0"));
                break;
            case ColumnType::DateTime:
                row.push_back(date(2001, 1 + i % 12, 1 + r, 1, 2, 3));
                want.push_back(str("2001-" + std::string(i % 12 < 9 ? "0" : "") + std::to_string(1 + i % 12) + "-0" +
                                   std::to_string(1 + r) + " 01:02:03"));
                break;
            case ColumnType::Memo:
                row.push_back(r == 1 ? Value{} : text("memo " + std::to_string(i)));
                want.push_back(r == 1 ? kNull : str("memo " + std::to_string(i)));
                break;
            }
        }
        writer.addRow(row);
        expected.push_back(want);
    }
    save(writer, path);

    MdbTableReader reader(path, "Wide");
    ASSERT_TRUE(reader.ok());
    ASSERT_EQ(reader.columnCount(), 255u);
    for (std::size_t i = 0; i < 255; ++i)
        EXPECT_EQ(reader.columnName(i), columns[i].name) << i;
    EXPECT_EQ(readAllRows(path, "Wide"), expected);
}
