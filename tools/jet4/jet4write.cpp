// jet4write: writes a Jet 4 (.mdb) database with one table from tab-separated text.

#include "tools/jet4/Jet4Writer.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

const char kUsage[] = R"(Usage: jet4write [--skip-header] OUT.mdb TABLE COLUMNS < ROWS

Writes the Jet 4 (Access 2000) database OUT.mdb holding the system catalog and one
table TABLE, with the rows read from standard input. OUT.mdb is overwritten.

COLUMNS  comma-separated list of NAME:TYPE[:LENGTH]
         TYPE    Text, Memo, DateTime, Long or YesNo (any case)
         LENGTH  Text only: most characters a value may have, 1-255 (default 255)
         e.g. "Call:Text:20,Worked:DateTime,Serial:Long,Confirmed:YesNo,Note:Memo"

ROWS     UTF-8 text, one row per line, values separated by TAB, one per column.
         \N        NULL (a Yes/No column stores NULL as No)
         (empty)   the empty string in Text and Memo columns, NULL in the others
         Text, Memo: backslash escapes \t (tab), \n (line feed), \r (carriage
                   return) and \\ (backslash); "\\N" is the two characters \N
         DateTime: YYYY-MM-DD, YYYY-MM-DD HH:MM or YYYY-MM-DD HH:MM:SS
                   (a 'T' may stand for the space)
         Long:     decimal integer from -2147483648 to 2147483647
         YesNo:    1/0, yes/no, true/false, y/n (any case)
         Lines may end in CR LF. Text counts characters as UTF-16 code units.

Options
  --skip-header  ignore the first input line (column titles)
  -h, --help     show this text

Exit status: 0 on success, 1 on bad input (the message names line and column),
2 on a usage error.
)";

struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string_view> split(std::string_view s, char sep)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = s.find(sep, start);
        parts.push_back(s.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos - start));
        if (pos == std::string_view::npos)
            return parts;
        start = pos + 1;
    }
}

std::vector<jet4::Column> parseColumns(std::string_view list)
{
    std::vector<jet4::Column> columns;
    for (std::string_view item : split(list, ',')) {
        const std::vector<std::string_view> parts = split(item, ':');
        if (parts.size() < 2 || parts.size() > 3 || parts[0].empty())
            throw std::invalid_argument("column '" + std::string(item) + "' is not NAME:TYPE[:LENGTH]");
        jet4::Column col;
        col.name = std::string(parts[0]);
        const std::string type = lower(parts[1]);
        if (type == "text")
            col.type = jet4::ColumnType::Text;
        else if (type == "memo")
            col.type = jet4::ColumnType::Memo;
        else if (type == "datetime")
            col.type = jet4::ColumnType::DateTime;
        else if (type == "long")
            col.type = jet4::ColumnType::Long;
        else if (type == "yesno")
            col.type = jet4::ColumnType::YesNo;
        else
            throw std::invalid_argument("column '" + col.name + "': unknown type '" + std::string(parts[1]) + "'");
        if (parts.size() == 3) {
            if (col.type != jet4::ColumnType::Text)
                throw std::invalid_argument("column '" + col.name + "': only Text takes a length");
            int length = 0;
            const auto [end, ec] = std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), length);
            if (ec != std::errc() || end != parts[2].data() + parts[2].size() || length < 1 || length > 255)
                throw std::invalid_argument("column '" + col.name + "': length must be 1 to 255");
            col.textLength = length;
        }
        columns.push_back(std::move(col));
    }
    return columns;
}

std::string unescape(std::string_view field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out.push_back(field[i]);
            continue;
        }
        if (++i == field.size())
            throw InputError("backslash at the end of the value");
        switch (field[i]) {
        case 't':
            out.push_back('\t');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 'r':
            out.push_back('\r');
            break;
        case '\\':
            out.push_back('\\');
            break;
        case 'N':
            throw InputError("\\N stands for NULL only as a whole value");
        default:
            throw InputError(std::string("unknown escape \\") + field[i]);
        }
    }
    return out;
}

bool readNumber(std::string_view s, std::size_t &pos, std::size_t digits, int &value)
{
    if (pos + digits > s.size())
        return false;
    value = 0;
    for (std::size_t k = 0; k < digits; ++k) {
        const char c = s[pos + k];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += digits;
    return true;
}

double parseDate(std::string_view s)
{
    int y, mo, d, h = 0, mi = 0, sec = 0;
    std::size_t pos = 0;
    auto expect = [&](char c) { return pos < s.size() && s[pos++] == c; };
    bool ok = readNumber(s, pos, 4, y) && expect('-') && readNumber(s, pos, 2, mo) && expect('-') && readNumber(s, pos, 2, d);
    if (ok && pos < s.size()) {
        ok = (s[pos] == ' ' || s[pos] == 'T') && (++pos, readNumber(s, pos, 2, h)) && expect(':') && readNumber(s, pos, 2, mi);
        if (ok && pos < s.size())
            ok = expect(':') && readNumber(s, pos, 2, sec) && pos == s.size();
    }
    static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (ok) {
        const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        ok = y >= 100 && mo >= 1 && mo <= 12 && d >= 1 && d <= kDays[mo - 1] && !(mo == 2 && d == 29 && !leap) && h < 24 && mi < 60 &&
             sec < 60;
    }
    if (!ok)
        throw InputError("'" + std::string(s) + "' is not a date YYYY-MM-DD[ HH:MM[:SS]]");
    return jet4::oleDate(y, mo, d, h, mi, sec);
}

jet4::Value parseValue(std::string_view field, const jet4::Column &col)
{
    if (field == "\\N")
        return std::nullopt;
    switch (col.type) {
    case jet4::ColumnType::Text:
    case jet4::ColumnType::Memo:
        return std::string(unescape(field));
    default:
        break;
    }
    if (field.empty())
        return std::nullopt;
    switch (col.type) {
    case jet4::ColumnType::DateTime:
        return parseDate(field);
    case jet4::ColumnType::Long: {
        std::int32_t n = 0;
        const char *begin = field.data() + (field[0] == '+' ? 1 : 0);
        const auto [end, ec] = std::from_chars(begin, field.data() + field.size(), n);
        if (ec != std::errc() || end != field.data() + field.size())
            throw InputError("'" + std::string(field) + "' is not a whole number from -2147483648 to 2147483647");
        return n;
    }
    case jet4::ColumnType::YesNo: {
        const std::string v = lower(field);
        if (v == "1" || v == "yes" || v == "true" || v == "y")
            return true;
        if (v == "0" || v == "no" || v == "false" || v == "n")
            return false;
        throw InputError("'" + std::string(field) + "' is not a Yes/No value");
    }
    default:
        return std::nullopt;
    }
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> args;
    bool skipHeader = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--skip-header")
            skipHeader = true;
        else if (arg.size() > 1 && arg[0] == '-' && args.empty())
            return std::fprintf(stderr, "jet4write: unknown option %s\n\n%s", arg.c_str(), kUsage), 2;
        else
            args.push_back(arg);
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "jet4write: expected OUT.mdb TABLE COLUMNS\n\n%s", kUsage);
        return 2;
    }

    std::vector<jet4::Column> columns;
    std::unique_ptr<jet4::Jet4Writer> writer;
    try {
        columns = parseColumns(args[2]);
        writer = std::make_unique<jet4::Jet4Writer>(args[1], columns);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "jet4write: %s\n", e.what());
        return 2;
    }

    std::ios::sync_with_stdio(false);
    std::string line;
    std::vector<jet4::Value> row(columns.size());
    std::size_t lineNo = 0;
    while (std::getline(std::cin, line)) {
        ++lineNo;
        if (skipHeader && lineNo == 1)
            continue;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string_view> fields = split(line, '\t');
        if (fields.size() != columns.size()) {
            std::fprintf(stderr, "jet4write: line %zu: %zu values, the table has %zu columns\n", lineNo, fields.size(), columns.size());
            return 1;
        }
        std::size_t col = 0;
        try {
            for (col = 0; col < columns.size(); ++col)
                row[col] = parseValue(fields[col], columns[col]);
            writer->addRow(row);
        } catch (const InputError &e) {
            std::fprintf(stderr, "jet4write: line %zu, column %s: %s\n", lineNo, columns[col].name.c_str(), e.what());
            return 1;
        } catch (const std::exception &e) {
            std::fprintf(stderr, "jet4write: line %zu: %s\n", lineNo, e.what());
            return 1;
        }
    }
    if (std::cin.bad()) {
        std::fprintf(stderr, "jet4write: cannot read the input\n");
        return 1;
    }
    const std::string error = writer->save(args[0]);
    if (!error.empty()) {
        std::fprintf(stderr, "jet4write: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
