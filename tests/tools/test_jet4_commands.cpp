// The mdbtools catalog commands on a written file, and the jet4write command.

#include "tests/tools/Jet4TestSupport.h"
#include "tools/jet4/Jet4Writer.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace jet4;
using jet4test::readAllRows;
using jet4test::runCommand;
using jet4test::ScratchDir;
using jet4test::shellQuote;

namespace {

const std::optional<std::string> kNull;
std::optional<std::string> str(std::string s) { return std::optional<std::string>(std::move(s)); }

#define REQUIRE_COMMAND(name)                                                                                                              \
    if (!jet4test::haveCommand(name))                                                                                                      \
    GTEST_SKIP() << name << " is not installed"

// A small log with one of everything; returns the path.
std::string writeSampleLog(const ScratchDir &dir)
{
    const std::string path = dir.file("log.mdb");
    Jet4Writer writer("Log", {{"Call", ColumnType::Text, 50},
                              {"Born", ColumnType::DateTime},
                              {"Count", ColumnType::Long},
                              {"Ok", ColumnType::YesNo},
                              {"Note", ColumnType::Memo}});
    writer.addRow({Value{std::string("K1ABC")}, Value{oleDate(2024, 5, 6, 12, 34, 56)}, Value{std::int32_t(-5)}, Value{true},
                   Value{std::string("short, \"quoted\" memo")}});
    writer.addRow({Value{std::string("")}, std::nullopt, std::nullopt, Value{false}, Value{std::string("")}});
    writer.addRow({Value{std::string("Ступень Ā 中")}, Value{oleDate(1999, 12, 31)}, Value{std::int32_t(2147483647)}, std::nullopt,
                   Value{std::string(9000, 'L')}});
    const std::string error = writer.save(path);
    EXPECT_EQ(error, "");
    return path;
}

std::string writeInput(const ScratchDir &dir, const std::string &content)
{
    const std::string path = dir.file("rows.tsv");
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

jet4test::CommandResult jet4write(const std::string &args, const std::string &inputPath)
{
    return runCommand(shellQuote(jet4test::commandPath(JET4WRITE_PATH)) + " " + args + " < " + shellQuote(inputPath) + " 2>&1");
}

} // namespace

TEST(Jet4Commands, TablesCountAndSchemaSeeTheTable)
{
    REQUIRE_COMMAND("mdb-tables");
    REQUIRE_COMMAND("mdb-count");
    REQUIRE_COMMAND("mdb-schema");
    ScratchDir dir;
    const std::string path = writeSampleLog(dir);

    EXPECT_EQ(runCommand("mdb-tables -1 " + shellQuote(path)).output, "Log\n");
    EXPECT_EQ(runCommand("mdb-tables -S -1 " + shellQuote(path)).output, "MSysObjects\nLog\n");
    EXPECT_EQ(runCommand("mdb-count " + shellQuote(path) + " Log").output, "3\n");

    const auto schema = runCommand("mdb-schema " + shellQuote(path) + " 2>&1");
    ASSERT_EQ(schema.status, 0) << schema.output;
    for (const char *line : {"CREATE TABLE [Log]", "[Call]\t\t\tText (50)", "[Born]\t\t\tDateTime", "[Count]\t\t\tLong Integer",
                             "[Ok]\t\t\tBoolean", "[Note]\t\t\tMemo"})
        EXPECT_NE(schema.output.find(line), std::string::npos) << line << "\n" << schema.output;
    EXPECT_EQ(schema.output.find("arning"), std::string::npos) << schema.output;
}

TEST(Jet4WriteCommand, ReadsEveryKindOfValue)
{
    ScratchDir dir;
    const std::string out = dir.file("cli.mdb");
    const std::string input = writeInput(dir, "Call\tWhen\tN\tOk\tNote\n"
                                              "K1ABC\t2024-05-06 12:34:56\t-5\tyes\tline one\\nline two\\tend\\\\\n"
                                              "\\N\t\\N\t\\N\t\\N\t\\N\r\n"
                                              "\t\t\tNO\t\n"
                                              "Grüße 中\t2000-02-29T23:59\t+7\tTrue\t\\\\N\n"
                                              "x\t1999-12-31\t2147483647\t0\ty\n");
    const auto result =
        jet4write("--skip-header " + shellQuote(out) + " Log " + shellQuote("Call:Text:20,When:DateTime,N:Long,Ok:yesno,Note:MEMO"), input);
    ASSERT_EQ(result.status, 0) << result.output;
    const std::vector<std::vector<std::optional<std::string>>> expected = {
        {str("K1ABC"), str("2024-05-06 12:34:56"), str("-5"), str("1"), str("line one\nline two\tend\\")},
        {kNull, kNull, kNull, str("0"), kNull},
        {str(""), kNull, kNull, str("0"), str("")},
        {str("Grüße 中"), str("2000-02-29 23:59:00"), str("7"), str("1"), str("\\N")},
        {str("x"), str("1999-12-31 00:00:00"), str("2147483647"), str("0"), str("y")},
    };
    EXPECT_EQ(readAllRows(out, "Log"), expected);
}

TEST(Jet4WriteCommand, ReportsBadInputWithLineAndColumn)
{
    ScratchDir dir;
    const std::string out = shellQuote(dir.file("bad.mdb"));
    const std::string columns = " Log " + shellQuote("Call:Text:5,When:DateTime,N:Long");
    struct Case {
        std::string input;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"A\t2024-01-01\t1\nB\t2024-01-01\n", "line 2"},     {"A\t2024-02-30\t1\n", "line 1, column When"},
        {"A\t2024-01-01 24:00\t1\n", "line 1, column When"}, {"A\t2024-01-01\t2147483648\n", "line 1, column N"},
        {"A\t2024-01-01\t12x\n", "line 1, column N"},        {"TOOLONG\t2024-01-01\t1\n", "line 1"},
        {"A\\q\t2024-01-01\t1\n", "line 1, column Call"},
    };
    for (const Case &c : cases) {
        const auto result = jet4write(out + columns, writeInput(dir, c.input));
        EXPECT_EQ(result.status, 1) << c.input;
        EXPECT_NE(result.output.find(c.message), std::string::npos) << c.input << " -> " << result.output;
    }

    const std::string empty = writeInput(dir, "");
    EXPECT_EQ(jet4write(out + " Log " + shellQuote("Call:Char"), empty).status, 2);
    EXPECT_EQ(jet4write(out + " Log " + shellQuote("N:Long:5"), empty).status, 2);
    EXPECT_EQ(jet4write(out + " Log", empty).status, 2);
    const auto help = jet4write("--help", empty);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("COLUMNS"), std::string::npos);

    // No rows at all is an empty table, not an error.
    ASSERT_EQ(jet4write(out + columns, empty).status, 0);
    EXPECT_TRUE(readAllRows(dir.file("bad.mdb"), "Log").empty());
}
