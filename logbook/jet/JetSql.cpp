#include "logbook/jet/JetSql.h"

#include "logbook/jet/JetText.h"

#include <QHash>
#include <vector>

namespace JetSql {
namespace {

using Tok = Token::Kind;

bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

/// Where a token ends in a text; the failure says which one is left open.
using End = Result<qsizetype>;

bool startsWith(const QString &s, qsizetype i, char first, char second)
{
    return s[i] == QLatin1Char(first) && i + 1 < s.size() && s[i + 1] == QLatin1Char(second);
}

/// A comment at `i`, as SQLite reads it: -- up to the end of the line, or /* */
/// (one left open runs to the end of the text and is closed).
qsizetype comment(const QString &s, qsizetype i, std::vector<Token> &out)
{
    const qsizetype n = s.size();
    if (s[i] == QLatin1Char('-')) {
        qsizetype j = s.indexOf(QLatin1Char('\n'), i);
        j = j < 0 ? n : j;
        out.push_back({Tok::Comment, s.mid(i, j - i)});
        return j;
    }
    const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
    const qsizetype j = close < 0 ? n : close + 2;
    QString text = s.mid(i, j - i);
    if (close < 0)
        text += QStringLiteral("*/");
    out.push_back({Tok::Comment, text});
    return j;
}

/// A text literal in ' or " at `i`; a doubled quote inside stands for one.
End textLiteral(const QString &s, qsizetype i, std::vector<Token> &out)
{
    const qsizetype n = s.size();
    const QChar quote = s[i];
    QString value;
    qsizetype j = i + 1;
    bool closed = false;
    while (j < n) {
        if (s[j] == quote) {
            if (j + 1 < n && s[j + 1] == quote) {
                value += quote;
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
        return End::failure(QStringLiteral("unterminated text literal"));
    out.push_back({Tok::String, value});
    return j;
}

/// A [name] or a #date# at `i`: what stands between its marks (a date trimmed).
End enclosed(const QString &s, qsizetype i, std::vector<Token> &out)
{
    const bool bracket = s[i] == QLatin1Char('[');
    const qsizetype j = s.indexOf(QLatin1Char(bracket ? ']' : '#'), i + 1);
    if (j < 0)
        return End::failure(bracket ? QStringLiteral("unterminated [name]") : QStringLiteral("unterminated #date#"));
    const QString inside = s.mid(i + 1, j - i - 1);
    out.push_back(bracket ? Token{Tok::Bracket, inside} : Token{Tok::Date, inside.trimmed()});
    return j + 1;
}

/// A number at `i`: digits and points, and an exponent when digits follow its e.
qsizetype number(const QString &s, qsizetype i, std::vector<Token> &out)
{
    const qsizetype n = s.size();
    qsizetype j = i;
    while (j < n && (s[j].isDigit() || s[j] == QLatin1Char('.')))
        ++j;
    if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
        qsizetype k = j + 1;
        if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-')))
            ++k;
        if (k < n && s[k].isDigit()) {
            j = k;
            while (j < n && s[j].isDigit())
                ++j;
        }
    }
    out.push_back({Tok::Number, s.mid(i, j - i)});
    return j;
}

/// A run of blanks or a word at `i`, as long as `part` admits its characters.
qsizetype runOf(const QString &s, qsizetype i, Tok kind, bool (*part)(QChar), std::vector<Token> &out)
{
    qsizetype j = i + 1;
    while (j < s.size() && part(s[j]))
        ++j;
    out.push_back({kind, s.mid(i, j - i)});
    return j;
}

/// An operator at `i`: one of the two-character ones, else the character alone.
qsizetype punctuation(const QString &s, qsizetype i, std::vector<Token> &out)
{
    static const char *const twoChar[] = {"<>", "<=", ">=", "!=", "||"};
    QString op(s[i]);
    for (const char *t : twoChar) {
        if (startsWith(s, i, t[0], t[1])) {
            op = QString::fromLatin1(t);
            break;
        }
    }
    out.push_back({Tok::Punct, op});
    return i + op.size();
}

/// The token that starts at `i`, appended to `out`; where it ends.
End token(const QString &s, qsizetype i, std::vector<Token> &out)
{
    const QChar c = s[i];
    if (startsWith(s, i, '-', '-') || startsWith(s, i, '/', '*'))
        return comment(s, i, out);
    if (c.isSpace())
        return runOf(
            s, i, Tok::Space, [](QChar x) { return x.isSpace(); }, out);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
        return textLiteral(s, i, out);
    if (c == QLatin1Char('[') || c == QLatin1Char('#'))
        return enclosed(s, i, out);
    if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < s.size() && s[i + 1].isDigit()))
        return number(s, i, out);
    if (isIdentStart(c))
        return runOf(s, i, Tok::Ident, isIdentPart, out);
    return punctuation(s, i, out);
}

} // namespace

Result<std::vector<Token>> tokenize(const QString &s)
{
    std::vector<Token> out;
    for (qsizetype i = 0; i < s.size();) {
        const End end = token(s, i, out);
        if (!end)
            return Result<std::vector<Token>>::failure(end.error());
        i = *end;
    }
    return out;
}

namespace {

QString quoteString(const QString &value)
{
    QString v = value;
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString quoteName(const QString &name)
{
    QString v = name;
    v.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

bool isWord(const Token &t, const char *word)
{
    return t.kind == Tok::Ident && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

/// A Jet date literal (#m/d/yyyy#, #yyyy-mm-dd#, optionally with a time) in the
/// text form the snapshot stores dates in: "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss".
Result<QString> dateLiteral(const QString &inside)
{
    QString datePart = inside;
    QString timePart;
    const qsizetype space = inside.indexOf(QLatin1Char(' '));
    if (space > 0) {
        datePart = inside.left(space);
        timePart = inside.mid(space + 1).trimmed();
    }
    int y = 0, m = 0, d = 0;
    const QStringList iso = datePart.split(QLatin1Char('-'));
    const QStringList us = datePart.split(QLatin1Char('/'));
    bool ok1 = false, ok2 = false, ok3 = false;
    if (iso.size() == 3) {
        y = iso[0].toInt(&ok1);
        m = iso[1].toInt(&ok2);
        d = iso[2].toInt(&ok3);
    } else if (us.size() == 3) {
        m = us[0].toInt(&ok1);
        d = us[1].toInt(&ok2);
        y = us[2].toInt(&ok3);
        if (ok3 && us[2].size() <= 2)
            y += y < 30 ? 2000 : 1900;
    }
    if (!ok1 || !ok2 || !ok3 || m < 1 || m > 12 || d < 1 || d > 31)
        return Result<QString>::failure(QStringLiteral("not a date: #%1#").arg(inside));
    QString text =
        QStringLiteral("%1-%2-%3").arg(y, 4, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0')).arg(d, 2, 10, QLatin1Char('0'));
    if (!timePart.isEmpty()) {
        const QStringList hms = timePart.split(QLatin1Char(':'));
        int h = hms.value(0).toInt(), mi = hms.value(1).toInt(), se = hms.value(2).toInt();
        if (timePart.endsWith(QStringLiteral("PM"), Qt::CaseInsensitive) && h < 12)
            h += 12;
        if (timePart.endsWith(QStringLiteral("AM"), Qt::CaseInsensitive) && h == 12)
            h = 0;
        if (h || mi || se)
            text += QStringLiteral(" %1:%2:%3")
                        .arg(h, 2, 10, QLatin1Char('0'))
                        .arg(mi, 2, 10, QLatin1Char('0'))
                        .arg(se, 2, 10, QLatin1Char('0'));
    }
    return text;
}

/// Jet functions whose SQLite counterpart has another name.
const QHash<QString, QString> &functionNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("first"), QStringLiteral("jet_first")}, {QStringLiteral("last"), QStringLiteral("jet_last")},
        {QStringLiteral("ucase"), QStringLiteral("upper")},     {QStringLiteral("lcase"), QStringLiteral("lower")},
        {QStringLiteral("left"), QStringLiteral("jet_left")},   {QStringLiteral("right"), QStringLiteral("jet_right")},
        {QStringLiteral("mid"), QStringLiteral("jet_mid")},     {QStringLiteral("len"), QStringLiteral("length")},
        {QStringLiteral("year"), QStringLiteral("jet_year")},   {QStringLiteral("month"), QStringLiteral("jet_month")},
        {QStringLiteral("day"), QStringLiteral("jet_day")},     {QStringLiteral("iif"), QStringLiteral("iif")},
        {QStringLiteral("nz"), QStringLiteral("jet_nz")},       {QStringLiteral("format"), QStringLiteral("jet_format")},
        {QStringLiteral("ltrim"), QStringLiteral("ltrim")},     {QStringLiteral("rtrim"), QStringLiteral("rtrim")},
        {QStringLiteral("trim"), QStringLiteral("trim")},
    };
    return names;
}

class Translator {
public:
    Translator(std::vector<Token> tokens, const Options &options) : m_t(std::move(tokens)), m_options(options) {}

    Result<QString> run()
    {
        for (m_i = 0; m_i < m_t.size(); ++m_i) {
            if (!step())
                return Result<QString>::failure(m_error);
        }
        closeTopScopes(0);
        return m_out;
    }

private:
    struct Paren {
        bool firstLast = false; ///< closes a First()/Last() call: add the row order
        QString limit;          ///< TOP n of a SELECT opened inside this parenthesis
    };

    /// Index of the next token that is not blank, or size() when none.
    size_t nextSig(size_t from) const
    {
        while (from < m_t.size() && (m_t[from].kind == Tok::Space || m_t[from].kind == Tok::Comment))
            ++from;
        return from;
    }

    void closeTopScopes(size_t depth)
    {
        // A TOP n at this depth becomes LIMIT n at the end of its SELECT,
        // on a line of its own when a line comment ends the text.
        if (depth == 0 && !m_topLimit.isEmpty()) {
            if (m_inLineComment)
                m_out += QLatin1Char('\n');
            m_out += QStringLiteral(" LIMIT ") + m_topLimit;
            m_topLimit.clear();
        }
    }

    bool step()
    {
        const Token &t = m_t[m_i];
        if (t.kind == Tok::Comment)
            m_inLineComment = t.text.startsWith(QLatin1String("--"));
        else if (t.kind != Tok::Space || t.text.contains(QLatin1Char('\n')))
            m_inLineComment = false;
        switch (t.kind) {
        case Tok::Space:
        case Tok::Comment:
        case Tok::Number:
            m_out += t.text;
            return true;
        case Tok::String:
            m_out += quoteString(t.text);
            return true;
        case Tok::Bracket:
            m_out += quoteName(t.text);
            return true;
        case Tok::Date: {
            const Result<QString> d = dateLiteral(t.text);
            if (!d) {
                m_error = d.error();
                return false;
            }
            m_out += quoteString(*d);
            return true;
        }
        case Tok::Punct:
            return punct(t.text);
        case Tok::Ident:
            return ident(t.text);
        }
        return true;
    }

    bool punct(const QString &p)
    {
        if (p == QLatin1String("(")) {
            m_parens.push_back(Paren{m_pendingFirstLast, {}});
            m_pendingFirstLast = false;
            m_out += p;
        } else if (p == QLatin1String(")")) {
            if (m_parens.empty()) {
                m_error = QStringLiteral("unbalanced parenthesis");
                return false;
            }
            Paren paren = m_parens.back();
            m_parens.pop_back();
            if (!paren.limit.isEmpty())
                m_out += QStringLiteral(" LIMIT ") + paren.limit;
            if (paren.firstLast && m_options.firstLastByRowid)
                m_out += QStringLiteral(", _rowid_");
            m_out += p;
        } else if (p == QLatin1String(";")) {
            closeTopScopes(m_parens.size());
            m_out += p;
        } else if (p == QLatin1String("&")) {
            m_out += QStringLiteral("||");
        } else {
            m_out += p;
        }
        return true;
    }

    bool ident(const QString &word)
    {
        const Token &t = m_t[m_i];
        const size_t next = nextSig(m_i + 1);
        const bool call = next < m_t.size() && m_t[next].kind == Tok::Punct && m_t[next].text == QLatin1String("(");
        if (call) {
            const QString lower = word.toLower();
            const auto it = functionNames().constFind(lower);
            if (it != functionNames().constEnd()) {
                m_out += *it;
                m_pendingFirstLast = lower == QLatin1String("first") || lower == QLatin1String("last");
                return true;
            }
        }
        if (isWord(t, "TOP") && m_afterSelect) {
            const size_t n = nextSig(m_i + 1);
            if (n < m_t.size() && m_t[n].kind == Tok::Number) {
                QString &limit = m_parens.empty() ? m_topLimit : m_parens.back().limit;
                limit = m_t[n].text;
                m_i = n;
                // Drop the blank that followed "TOP n".
                if (m_i + 1 < m_t.size() && m_t[m_i + 1].kind == Tok::Space)
                    ++m_i;
                return true;
            }
        }
        m_afterSelect = isWord(t, "SELECT") || (m_afterSelect && (isWord(t, "DISTINCT") || isWord(t, "DISTINCTROW") || isWord(t, "ALL")));
        if (isWord(t, "DISTINCTROW")) {
            m_out += QStringLiteral("DISTINCT");
            return true;
        }
        if (isWord(t, "LIKE"))
            return like();
        m_out += word;
        return true;
    }

    /// "x LIKE 'literal'" becomes "x = 'literal'", which the snapshot answers
    /// through an index; "x LIKE '*'" admits every value but NULL. Other patterns
    /// stay LIKE, which the snapshot evaluates with Jet's rules.
    bool like()
    {
        const size_t p = nextSig(m_i + 1);
        if (p >= m_t.size() || m_t[p].kind != Tok::String) {
            m_out += m_t[m_i].text;
            return true;
        }
        const QString &pattern = m_t[p].text;
        const bool negated = m_out.endsWith(QStringLiteral("NOT "), Qt::CaseInsensitive) && precededByOperand();
        if (pattern == QLatin1String("*")) {
            if (negated) {
                m_out.chop(4);
                m_out += QStringLiteral("IS NULL AND 0");
            } else {
                m_out += QStringLiteral("IS NOT NULL");
            }
            m_i = p;
            return true;
        }
        if (JetText::isLiteralPattern(pattern.toStdString())) {
            if (negated) {
                m_out.chop(4);
                m_out += QStringLiteral("<>");
            } else {
                m_out += QLatin1Char('=');
            }
            return true; // the string token follows as usual
        }
        m_out += m_t[m_i].text;
        return true;
    }

    /// True when the "NOT " just written follows an operand ("x NOT LIKE"), not
    /// an operator ("AND NOT x LIKE" keeps NOT as a prefix).
    bool precededByOperand() const
    {
        // Walk back over the tokens written before NOT.
        size_t k = m_i;
        int seen = 0;
        while (k > 0) {
            --k;
            if (m_t[k].kind == Tok::Space || m_t[k].kind == Tok::Comment)
                continue;
            ++seen;
            if (seen == 1)
                continue; // this is NOT itself
            const Token &t = m_t[k];
            if (t.kind == Tok::Ident)
                return !(isWord(t, "AND") || isWord(t, "OR") || isWord(t, "WHERE") || isWord(t, "NOT") || isWord(t, "ON") ||
                         isWord(t, "HAVING"));
            return t.kind == Tok::Bracket || (t.kind == Tok::Punct && t.text == QLatin1String(")"));
        }
        return false;
    }

    std::vector<Token> m_t;
    Options m_options;
    size_t m_i = 0;
    QString m_out;
    QString m_error;
    std::vector<Paren> m_parens;
    bool m_pendingFirstLast = false;
    bool m_afterSelect = false;
    bool m_inLineComment = false; ///< the text written so far ends inside a -- comment
    QString m_topLimit;
};

} // namespace

Result<QString> toSqlite(const QString &jetText, const Options &options)
{
    Result<std::vector<Token>> tokens = tokenize(jetText);
    if (!tokens)
        return Result<QString>::failure(tokens.error());
    return Translator(std::move(tokens.value()), options).run();
}

} // namespace JetSql
