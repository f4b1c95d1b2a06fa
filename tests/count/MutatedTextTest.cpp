// Count texts with random token edits: whenever the evaluator answers one,
// SQLite answers it too, with the same number; when SQLite refuses a text,
// the evaluator has not answered it.
#include "CountSql.h"
#include "CountTestLog.h"
#include "RandomCondition.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <random>

using namespace counttest;

namespace {

/// Splits a text into words, quoted texts, bracketed names, blanks and single characters.
std::vector<QString> tokens(const QString &text)
{
    std::vector<QString> out;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        qsizetype j = i + 1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            while (j < text.size() && text[j] != c)
                ++j;
            j = std::min(j + 1, text.size());
        } else if (c == QLatin1Char('[')) {
            while (j < text.size() && text[j] != QLatin1Char(']'))
                ++j;
            j = std::min(j + 1, text.size());
        } else if (c.isLetterOrNumber()) {
            while (j < text.size() && (text[j].isLetterOrNumber() || text[j] == QLatin1Char('_') || text[j] == QLatin1Char('.')))
                ++j;
        } else if (c.isSpace()) {
            while (j < text.size() && text[j].isSpace())
                ++j;
        }
        out.push_back(text.mid(i, j - i));
        i = j;
    }
    return out;
}

const QStringList &pool()
{
    static const QStringList p = {
        "AND", "OR", "NOT", "(", ")", "LIKE", "=", "<>", "'14.0'", "'*'", "'[a'", "'1*'", "'CW'", "\"FT8\"", "''", "'??'", "'Y'",
        "DXC", "Banda", "Mode", "R", "D", "NOTE", "TDate", "ID", "Quanti", "SELECT", "COUNT", "DISTINCT", "FROM", "LOG", "WHERE",
        ";", "--", "*", "[Mode]", "[Bandx]", "TOP 5", "IS NULL", "IS NOT NULL", "1", "#1/1/2000#", "&", "!=", "<", ">", "==",
        "Left(", "GROUP BY Banda", "ORDER BY 1", "rowid", "true", "X'41'", "AS", "IN", "(SELECT", "Mid(", " ", "\t", "\n", ".",
        "DISTINCTROW", "ESCAPE", "COLLATE NOCASE", "NULL", "Order", "'it''s'", "'\xC3\xA0'", "\xC3\xA0", "ALL", "/*", "*/", "||",
    };
    return p;
}

QString mutate(const QString &text, std::mt19937 &rng)
{
    std::vector<QString> t = tokens(text);
    auto below = [&rng](size_t n) { return n == 0 ? size_t(0) : size_t(rng() % n); };
    const int edits = below(3) == 0 ? 2 : 1;
    for (int e = 0; e < edits && !t.empty(); ++e) {
        const size_t at = below(t.size());
        switch (below(8)) {
        case 0:
            t.erase(t.begin() + std::ptrdiff_t(at));
            break;
        case 1:
            t.insert(t.begin() + std::ptrdiff_t(at), t[at]);
            break;
        case 2:
            if (at + 1 < t.size())
                std::swap(t[at], t[at + 1]);
            break;
        case 3:
            t[at] = pool()[qsizetype(below(size_t(pool().size())))];
            break;
        case 4:
            t.insert(t.begin() + std::ptrdiff_t(at), pool()[qsizetype(below(size_t(pool().size())))] + QLatin1Char(' '));
            break;
        case 5:
            t[at] = below(2) ? t[at].toLower() : t[at].toUpper();
            break;
        case 6:
            // Cut a token short: unbalanced quotes and brackets.
            t[at] = t[at].left(qsizetype(below(size_t(t[at].size()) + 1)));
            break;
        default:
            if (t[at].size() > 2 && t[at].startsWith(QLatin1Char('\'')))
                t[at] = QStringLiteral("'") + QChar(QLatin1Char("*?#[]!-"[below(7)])) + t[at].mid(1);
            else
                t[at] += QChar(QLatin1Char("()'\";*=<> "[below(11)]));
            break;
        }
    }
    QString out;
    for (const QString &s : t)
        out += s;
    return out;
}

} // namespace

TEST(MutatedTexts, EvaluatorNeverAnswersOtherwiseThanSqlite)
{
    const OpenedLog log = openGenerated(800, 21);
    const LogDatabase &db = *log.db;
    std::vector<QString> seeds = {CountSql::totalQsos()};
    for (const int r : {0, 3, 6, 7, 11, 14})
        seeds.push_back(CountSql::qso(r % 2 ? "14.0" : "*", r, r == 14));
    for (const int r : {1, 4, 6, 7, 15})
        seeds.push_back(AwardCountSql(r % 2 ? "DXC" : "SQR", r == 7 ? "1*" : "21.0", r, r == 15));
    seeds.push_back(CountSql::mix("WAZ", CountSql::mixBandList({"14.0", "21.0", "7.0"}), 4, false));
    RandomCondition random(db, 77);
    for (int i = 0; i < 30; ++i)
        seeds.push_back(random.countText());

    // COUNT_FUZZ_SEED and COUNT_FUZZ_MUTANTS run other and longer series by hand.
    const char *seedText = std::getenv("COUNT_FUZZ_SEED");
    const char *mutantsText = std::getenv("COUNT_FUZZ_MUTANTS");
    std::mt19937 rng(seedText ? uint32_t(std::strtoul(seedText, nullptr, 10)) : 4242u);
    int answered = 0, refusedBySqlite = 0;
    const int Mutants = mutantsText ? std::atoi(mutantsText) : 8000;
    for (int i = 0; i < Mutants; ++i) {
        QString text = seeds[size_t(rng() % seeds.size())];
        const int rounds = rng() % 4 == 0 ? 2 : 1;
        for (int k = 0; k < rounds; ++k)
            text = mutate(text, rng);
        const std::optional<CountAnswer> got = evaluatorCount(db, text);
        const std::optional<QString> expected = sqliteCount(db, text, got ? got->field : QStringLiteral("Quanti"));
        if (!expected)
            ++refusedBySqlite;
        if (!got)
            continue;
        ++answered;
        ASSERT_TRUE(expected) << "answered a text SQLite refuses: " << text.toStdString();
        EXPECT_EQ(QString::number(got->count), *expected) << text.toStdString();
    }
    // Both outcomes must occur often enough for the test to mean anything.
    EXPECT_GT(answered, Mutants / 10);
    EXPECT_GT(refusedBySqlite, Mutants / 10);
    std::printf("mutated texts: %d, answered by the evaluator: %d, refused by SQLite: %d\n", Mutants, answered, refusedBySqlite);
}
