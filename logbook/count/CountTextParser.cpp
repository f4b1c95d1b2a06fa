#include "CountText.h"

#include "ColumnarLog.h"

#include <sqlite3.h>

namespace CountText {
namespace {

/// Nesting deeper than this is left to SQLite.
constexpr int MaxDepth = 64;

enum class Tok { Word, Name, Text, Open, Close, Star, Equal, NotEqual, Semicolon, End };

struct Token {
    Tok kind;
    std::string text; ///< Word: as written; Name: inside the brackets; Text: the value
    bool glued = false; ///< no blank between it and the token before
};

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isWordChar(char c) { return isLetter(c) || (c >= '0' && c <= '9'); }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
/// Control characters other than blanks are left to SQLite, wherever they stand.
bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 && !isBlank(c); }

/// Splits a text the way the Jet translation does, for the tokens the forms
/// use; anything else (numbers, #dates#, operators, comments, characters
/// beyond ASCII outside quotes) gives nothing.
std::optional<std::vector<Token>> tokenize(std::string_view s)
{
    std::vector<Token> out;
    size_t i = 0;
    bool afterBlank = true;
    while (i < s.size()) {
        const char c = s[i];
        const size_t before = out.size();
        if (isBlank(c)) {
            ++i;
            afterBlank = true;
            continue;
        }
        if (c == '\'' || c == '"') {
            std::string value;
            size_t j = i + 1;
            bool closed = false;
            while (j < s.size()) {
                if (isControl(s[j]))
                    return std::nullopt;
                if (s[j] == c) {
                    if (j + 1 < s.size() && s[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += s[j++];
            }
            if (!closed)
                return std::nullopt;
            out.push_back({Tok::Text, std::move(value)});
            i = j;
        } else if (c == '[') {
            const size_t j = s.find(']', i + 1);
            if (j == std::string_view::npos || j == i + 1)
                return std::nullopt;
            const std::string_view name = s.substr(i + 1, j - i - 1);
            for (const char n : name) {
                if (isControl(n))
                    return std::nullopt;
            }
            out.push_back({Tok::Name, std::string(name)});
            i = j + 1;
        } else if (isLetter(c)) {
            size_t j = i + 1;
            while (j < s.size() && isWordChar(s[j]))
                ++j;
            out.push_back({Tok::Word, std::string(s.substr(i, j - i))});
            i = j;
        } else if (c == '(') {
            out.push_back({Tok::Open, {}});
            ++i;
        } else if (c == ')') {
            out.push_back({Tok::Close, {}});
            ++i;
        } else if (c == '*') {
            out.push_back({Tok::Star, {}});
            ++i;
        } else if (c == '=') {
            out.push_back({Tok::Equal, {}});
            ++i;
        } else if (c == ';') {
            out.push_back({Tok::Semicolon, {}});
            ++i;
        } else if (c == '<' && i + 1 < s.size() && s[i + 1] == '>') {
            out.push_back({Tok::NotEqual, {}});
            i += 2;
        } else {
            return std::nullopt;
        }
        if (out.size() > before)
            out.back().glued = !afterBlank && before > 0;
        afterBlank = false;
    }
    out.push_back({Tok::End, {}});
    return out;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_t(std::move(tokens)) {}

    std::optional<Query> query()
    {
        Query q;
        if (!keyword("SELECT") || !keyword("COUNT") || !take(Tok::Open))
            return std::nullopt;
        if (take(Tok::Star)) {
            q.countRows = true;
        } else {
            q.countRows = false;
            if (!name(q.countColumn))
                return std::nullopt;
        }
        if (!take(Tok::Close) || !keyword("AS") || !name(q.field) || !keyword("FROM"))
            return std::nullopt;
        if (take(Tok::Open)) {
            q.distinct = true;
            if (!keyword("SELECT") || !keyword("DISTINCT") || !name(q.distinctColumn) || !keyword("FROM") || !table() || !where(q) ||
                !take(Tok::Close))
                return std::nullopt;
            if (!q.countRows && !sameSqlName(q.countColumn, q.distinctColumn))
                return std::nullopt;
        } else if (!table() || !where(q)) {
            return std::nullopt;
        }
        while (take(Tok::Semicolon)) {
        }
        if (!take(Tok::End))
            return std::nullopt;
        return q;
    }

private:
    const Token &peek() const { return m_t[m_i]; }

    bool take(Tok kind)
    {
        if (peek().kind != kind)
            return false;
        if (kind != Tok::End)
            ++m_i;
        return true;
    }

    bool isKeyword(const char *word) const { return peek().kind == Tok::Word && sameSqlName(peek().text, word); }

    bool keyword(const char *word)
    {
        if (!isKeyword(word))
            return false;
        ++m_i;
        return true;
    }

    /// A column or result name: [any name], or a word that SQLite does not
    /// reserve and the translation leaves as it is (it writes DISTINCTROW as
    /// DISTINCT wherever it stands).
    bool name(std::string &out)
    {
        const Token &t = peek();
        const bool plainWord = t.kind == Tok::Word && sqlite3_keyword_check(t.text.data(), int(t.text.size())) == 0 &&
                               !sameSqlName(t.text, "DISTINCTROW");
        if (t.kind == Tok::Name || plainWord) {
            out = t.text;
            ++m_i;
            return true;
        }
        return false;
    }

    bool table()
    {
        std::string t;
        return name(t) && sameSqlName(t, "LOG");
    }

    bool where(Query &q)
    {
        if (!keyword("WHERE"))
            return true;
        std::optional<Condition> c = disjunction(0);
        if (!c)
            return false;
        q.where = std::move(c);
        return true;
    }

    /// OR binds loosest, then AND, then NOT, then the comparisons, as in SQLite.
    std::optional<Condition> disjunction(int depth)
    {
        return chain(depth, "OR", Condition::Kind::Or, &Parser::conjunction);
    }

    std::optional<Condition> conjunction(int depth)
    {
        return chain(depth, "AND", Condition::Kind::And, &Parser::negation);
    }

    std::optional<Condition> chain(int depth, const char *word, Condition::Kind kind, std::optional<Condition> (Parser::*next)(int))
    {
        if (depth > MaxDepth)
            return std::nullopt;
        std::optional<Condition> first = (this->*next)(depth + 1);
        if (!first || !isKeyword(word))
            return first;
        Condition c;
        c.kind = kind;
        c.operands.push_back(std::move(*first));
        while (keyword(word)) {
            std::optional<Condition> more = (this->*next)(depth + 1);
            if (!more)
                return std::nullopt;
            c.operands.push_back(std::move(*more));
        }
        return c;
    }

    std::optional<Condition> negation(int depth)
    {
        if (depth > MaxDepth)
            return std::nullopt;
        if (keyword("NOT")) {
            std::optional<Condition> inner = negation(depth + 1);
            if (!inner)
                return std::nullopt;
            Condition c;
            c.kind = Condition::Kind::Not;
            c.operands.push_back(std::move(*inner));
            return c;
        }
        if (take(Tok::Open)) {
            std::optional<Condition> inner = disjunction(depth + 1);
            if (!inner || !take(Tok::Close))
                return std::nullopt;
            return inner;
        }
        return comparison();
    }

    std::optional<Condition> comparison()
    {
        Condition c;
        if (!name(c.column))
            return std::nullopt;
        if (take(Tok::Equal))
            c.kind = Condition::Kind::Equal;
        else if (take(Tok::NotEqual))
            c.kind = Condition::Kind::NotEqual;
        else if (keyword("LIKE"))
            c.kind = Condition::Kind::Like;
        else
            return std::nullopt;
        if (peek().kind != Tok::Text)
            return std::nullopt;
        c.literal = peek().text;
        ++m_i;
        // LIKE '*' becomes IS NOT NULL, which runs into a word written right after the quote.
        if (c.kind == Condition::Kind::Like && c.literal == "*" && peek().kind == Tok::Word && peek().glued)
            return std::nullopt;
        return c;
    }

    std::vector<Token> m_t;
    size_t m_i = 0;
};

} // namespace

std::optional<Query> parse(std::string_view text)
{
    std::optional<std::vector<Token>> tokens = tokenize(text);
    if (!tokens)
        return std::nullopt;
    return Parser(std::move(*tokens)).query();
}

} // namespace CountText
