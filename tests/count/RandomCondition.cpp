#include "RandomCondition.h"

#include "CountTestLog.h"

#include <cctype>
#include <set>

namespace counttest {

RandomCondition::RandomCondition(const LogDatabase &db, uint32_t seed) : m_rng(seed)
{
    for (const std::string &column : textColumns()) {
        const Result<QueryTable> t = db.select(QStringLiteral("SELECT %1 FROM LOG").arg(QString::fromStdString(column)));
        std::set<std::string> values;
        if (t) {
            for (qsizetype r = 0; r < t->rowCount(); ++r) {
                if (!t->at(r, 0).isNull())
                    values.insert(t->at(r, 0).toStdString());
            }
        }
        m_values[column] = {values.begin(), values.end()};
    }
}

const std::string &RandomCondition::pickColumn()
{
    // The grid's columns more often than the others.
    static const std::vector<std::string> often = {"Banda", "Mode", "R", "D", "DXC", "SQR", "WAZ"};
    if (below(3) > 0)
        return often[size_t(below(int(often.size())))];
    return textColumns()[size_t(below(int(textColumns().size())))];
}

std::string RandomCondition::columnName(const std::string &column)
{
    std::string name = column;
    switch (below(4)) {
    case 0:
        for (char &c : name)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        break;
    case 1:
        for (char &c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        break;
    default:
        break;
    }
    return below(6) == 0 ? "[" + name + "]" : name;
}

std::string RandomCondition::quoted(const std::string &value)
{
    const char q = below(8) == 0 ? '"' : '\'';
    std::string out(1, q);
    for (const char c : value) {
        out += c;
        if (c == q)
            out += q;
    }
    return out + q;
}

std::string RandomCondition::literal(const std::string &column)
{
    const std::vector<std::string> &values = m_values[column];
    const int kind = below(10);
    if (kind < 6 && !values.empty()) {
        std::string v = values[size_t(below(int(values.size())))];
        if (below(3) == 0) {
            for (char &c : v)
                c = char(below(2) ? std::toupper(static_cast<unsigned char>(c)) : std::tolower(static_cast<unsigned char>(c)));
        }
        return v;
    }
    static const char *const odd[] = {"", "??", "Y", "n", "x", "14.0 ", " 14.0", "it's", "say \"hi\"", "\xC3\xA0" "b", "K", "\xE2\x84\xAA"};
    return odd[below(int(std::size(odd)))];
}

std::string RandomCondition::pattern(const std::string &column)
{
    std::string v = literal(column);
    switch (below(12)) {
    case 0:
        return "*";
    case 1:
        return v.substr(0, size_t(below(int(v.size()) + 1))) + "*";
    case 2:
        return "*" + v.substr(size_t(below(int(v.size()) + 1)));
    case 3:
        if (!v.empty() && static_cast<unsigned char>(v[0]) < 0x80)
            v[0] = '?';
        return v;
    case 4:
        for (char &c : v) {
            if (std::isdigit(static_cast<unsigned char>(c)))
                c = '#';
        }
        return v;
    case 5:
        return "[" + std::string(below(2) ? "!" : "") + (v.empty() ? "a" : v.substr(0, 1)) + "-z]*";
    case 6:
        return "*" + (v.empty() ? std::string() : v.substr(v.size() / 2, 1)) + "*";
    case 7:
        if (below(4) == 0) {
            m_malformed = true;
            return "[" + v;
        }
        return "[" + (v.empty() ? std::string("x") : v.substr(0, 1)) + "]" + (v.size() > 1 ? v.substr(1) : std::string());
    case 8:
        return "?*";
    default:
        return v; // no wildcard: the translation makes it an equality
    }
}

std::string RandomCondition::word(const char *w)
{
    std::string s = w;
    switch (below(3)) {
    case 0:
        for (char &c : s)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        break;
    case 1:
        s[0] = char(std::toupper(static_cast<unsigned char>(s[0])));
        for (size_t i = 1; i < s.size(); ++i)
            s[i] = char(std::tolower(static_cast<unsigned char>(s[i])));
        break;
    default:
        break;
    }
    return s;
}

std::string RandomCondition::blank()
{
    static const char *const blanks[] = {" ", " ", " ", "  ", "\t", "\n", " \r\n "};
    return blanks[below(int(std::size(blanks)))];
}

std::string RandomCondition::condition(int depth)
{
    const int kind = depth <= 0 ? 0 : below(6);
    if (kind <= 1) {
        const std::string &column = pickColumn();
        const std::string name = columnName(column);
        switch (below(4)) {
        case 0:
            return name + blank() + "=" + (below(2) ? blank() : "") + quoted(literal(column));
        case 1:
            return name + (below(2) ? blank() : "") + "<>" + blank() + quoted(literal(column));
        default:
            return name + blank() + word("LIKE") + blank() + quoted(pattern(column));
        }
    }
    if (kind == 2)
        return word("NOT") + blank() + condition(depth - 1);
    if (kind == 3)
        return "(" + (below(2) ? blank() : "") + condition(depth - 1) + ")";
    const char *op = kind == 4 ? "AND" : "OR";
    std::string out = condition(depth - 1);
    const int more = 1 + below(3);
    for (int i = 0; i < more; ++i)
        out += blank() + word(op) + blank() + condition(depth - 1);
    return out;
}

QString RandomCondition::countText()
{
    m_malformed = false;
    const std::string &counted = pickColumn();
    const std::string where = below(12) == 0 ? std::string() : blank() + word("WHERE") + blank() + condition(1 + below(4));
    const std::string field = below(4) == 0 ? "quanti" : below(8) == 0 ? "[Quanti]" : "Quanti";
    std::string text;
    switch (below(4)) {
    case 0:
        text = word("SELECT") + " " + word("COUNT") + "(*) " + word("AS") + " " + field + " " + word("FROM") + " LOG" + where;
        break;
    case 1:
        text = word("SELECT") + " " + word("COUNT") + "(" + columnName(counted) + ") " + word("AS") + " " + field + " " + word("FROM") + " log" + where;
        break;
    case 2:
        text = word("SELECT") + " " + word("COUNT") + "(" + columnName(counted) + ") " + word("AS") + " " + field + " " + word("FROM") + " (" +
               word("Select") + " " + word("Distinct") + " " + columnName(counted) + " " + word("From") + " LOG" + where + ")";
        break;
    default:
        text = word("SELECT") + " " + word("COUNT") + "(*) " + word("AS") + " " + field + " " + word("FROM") + " (" + word("SELECT") + " " +
               word("DISTINCT") + " " + columnName(counted) + " " + word("FROM") + " [LOG]" + where + ")";
        break;
    }
    if (below(5) == 0)
        text += below(2) ? ";" : " ;\n";
    return QString::fromStdString(text);
}

} // namespace counttest
