// Jet4Writer's contract: the table definitions it refuses, errors from save(),
// reproducible output, and oleDate.

#include "tests/tools/Jet4TestSupport.h"
#include "tools/jet4/Jet4Writer.h"

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
