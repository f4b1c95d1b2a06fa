// Jet4Writer's contract: what it refuses, that a refused row leaves the table as it was,
// errors from save(), reproducible output, and oleDate.

#include "Jet4TestSupport.h"
#include "Jet4Writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace jet4;
using jet4test::readAllRows;
using jet4test::ScratchDir;

namespace {

std::string fileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Jet4WriterApi, RefusesBadTableDefinitions)
{
    const Column text{"A", ColumnType::Text, 10};
    EXPECT_THROW(Jet4Writer("", {text}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer(std::string(65, 'T'), {text}), std::invalid_argument);
    EXPECT_NO_THROW(Jet4Writer(std::string(64, 'T'), {text}));
    EXPECT_THROW(Jet4Writer("msysobjects", {text}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("Bad\xC3", {text}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("T", {}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("T", {{"Call", ColumnType::Text}, {"CALL", ColumnType::Long}}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("T", {{"A", ColumnType::Text, 0}}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("T", {{"A", ColumnType::Text, 256}}), std::invalid_argument);
    EXPECT_THROW(Jet4Writer("T", {{"", ColumnType::Long}}), std::invalid_argument);
    std::vector<Column> many;
    for (int i = 0; i < 256; ++i)
        many.push_back({"C" + std::to_string(i), ColumnType::Long});
    EXPECT_THROW(Jet4Writer("T", many), std::invalid_argument);
    many.pop_back();
    EXPECT_NO_THROW(Jet4Writer("T", many));
}

TEST(Jet4WriterApi, RefusedRowsLeaveTheTableUnchanged)
{
    ScratchDir dir;
    const std::string path = dir.file("refused.mdb");
    Jet4Writer writer("T", {{"Call", ColumnType::Text, 5},
                            {"When", ColumnType::DateTime},
                            {"N", ColumnType::Long},
                            {"Ok", ColumnType::YesNo},
                            {"Note", ColumnType::Memo}});
    const Value call{std::string("K1A")};
    const Value when{oleDate(2020, 1, 2)};
    const Value n{std::int32_t(3)};
    const Value ok{true};
    const Value note{std::string("n")};
    writer.addRow({call, when, n, ok, note});

    EXPECT_THROW(writer.addRow({call, when, n, ok}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({Value{std::int32_t(1)}, when, n, ok, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({call, n, n, ok, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({call, when, when, ok, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({call, when, n, call, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({call, when, n, ok, ok}), std::invalid_argument);
    // Length counts UTF-16 code units: five CJK characters fit, six do not; an emoji takes two.
    EXPECT_NO_THROW(writer.addRow({Value{std::string("中文字符号")}, when, n, ok, note}));
    EXPECT_THROW(writer.addRow({Value{std::string("中文字符号码")}, when, n, ok, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({Value{std::string("abcd\xF0\x9F\x98\x80")}, when, n, ok, note}),
                 std::invalid_argument);
    EXPECT_THROW(writer.addRow({Value{std::string("\xC3\x28")}, when, n, ok, note}), std::invalid_argument);
    EXPECT_THROW(writer.addRow({call, when, n, ok, Value{std::string("\xED\xA0\x80")}}), std::invalid_argument);
    EXPECT_EQ(writer.rowCount(), 2u);

    ASSERT_EQ(writer.save(path), "");
    const auto rows = readAllRows(path, "T");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "K1A");
    EXPECT_EQ(rows[1][0], "中文字符号");
}

TEST(Jet4WriterApi, RowTooLargeForAPageIsRefused)
{
    std::vector<Column> columns;
    for (int i = 0; i < 16; ++i)
        columns.push_back({"T" + std::to_string(i), ColumnType::Text, 255});
    ScratchDir dir;
    const std::string path = dir.file("big.mdb");
    Jet4Writer writer("Wide", columns);
    // 16 x 255 ASCII characters take 16 x 257 bytes compressed: more than a page holds.
    EXPECT_THROW(writer.addRow(std::vector<Value>(16, Value{std::string(255, 'x')})), std::length_error);
    std::vector<Value> fits(16, Value{std::string(240, 'x')});
    writer.addRow(fits);
    EXPECT_EQ(writer.rowCount(), 1u);
    ASSERT_EQ(writer.save(path), "");
    const auto rows = readAllRows(path, "Wide");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][15], std::string(240, 'x'));
}

TEST(Jet4WriterApi, SaveReportsWhyItFailed)
{
    Jet4Writer writer("T", {{"A", ColumnType::Long}});
    const std::string error = writer.save("/nonexistent-dir/sub/x.mdb");
    EXPECT_NE(error.find("/nonexistent-dir/sub/x.mdb"), std::string::npos) << error;
}

TEST(Jet4WriterApi, SameRowsGiveTheSameFileAndSaveCanRepeat)
{
    ScratchDir dir;
    auto build = [](Jet4Writer &w) {
        for (int i = 0; i < 500; ++i)
            w.addRow({Value{"row " + std::to_string(i)}, Value{std::string(std::size_t(i * 13), 'm')}});
    };
    const std::vector<Column> columns = {{"A", ColumnType::Text}, {"M", ColumnType::Memo}};
    Jet4Writer first("T", columns);
    Jet4Writer second("T", columns);
    build(first);
    build(second);
    ASSERT_EQ(first.save(dir.file("a.mdb")), "");
    ASSERT_EQ(second.save(dir.file("b.mdb")), "");
    first.addRow({Value{std::string("late")}, std::nullopt});
    ASSERT_EQ(first.save(dir.file("c.mdb")), "");
    EXPECT_EQ(fileBytes(dir.file("a.mdb")), fileBytes(dir.file("b.mdb")));
    EXPECT_EQ(readAllRows(dir.file("c.mdb"), "T").size(), 501u);
}

TEST(Jet4OleDate, CountsDaysFrom1899December30)
{
    EXPECT_DOUBLE_EQ(oleDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(oleDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(oleDate(1900, 3, 1), 61.0);
    EXPECT_DOUBLE_EQ(oleDate(2000, 1, 1), 36526.0);
    EXPECT_DOUBLE_EQ(oleDate(2024, 5, 6, 12), 45418.5);
    EXPECT_DOUBLE_EQ(oleDate(2024, 5, 6, 18, 0, 0), 45418.75);
    EXPECT_NEAR(oleDate(2024, 5, 6, 23, 59, 59), 45418.0 + 86399.0 / 86400.0, 1e-9);
    // Before day 0 the whole days are negative while the time of day still adds to them.
    EXPECT_DOUBLE_EQ(oleDate(1899, 12, 29, 6), -1.25);
}
