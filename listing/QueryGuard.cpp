#include "listing/QueryGuard.h"

#include "logbook/jet/JetSql.h"

namespace QueryGuard {
namespace {

const QString Footer = QStringLiteral("\r\n\r\nVarkelChecker only reads your logbook and never changes it: nothing was run.");

QString notAQuery(const QString &name) { return QStringLiteral("The statement %1 is not a query.").arg(name) + Footer; }

bool significant(const JetSql::Token &t) { return t.kind != JetSql::Token::Kind::Space && t.kind != JetSql::Token::Kind::Comment; }

bool isWord(const JetSql::Token &t, const char *word)
{
    return t.kind == JetSql::Token::Kind::Ident && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool isPunct(const JetSql::Token &t, char c) { return t.kind == JetSql::Token::Kind::Punct && t.text == QLatin1Char(c); }

} // namespace

QString leadingKeyword(const QString &statement)
{
    const qsizetype n = statement.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = statement[i];
        if (c.isSpace() || c == QLatin1Char('(')) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && statement[i + 1] == QLatin1Char('-')) {
            const qsizetype end = statement.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && statement[i + 1] == QLatin1Char('*')) {
            const qsizetype end = statement.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && ((statement[j].unicode() >= 'A' && statement[j].unicode() <= 'Z') ||
                     (statement[j].unicode() >= 'a' && statement[j].unicode() <= 'z')))
        ++j;
    return statement.mid(i, j - i).toUpper();
}

QString refusal(const QString &statement)
{
    const QString keyword = leadingKeyword(statement);
    if (keyword != QLatin1String("SELECT") && keyword != QLatin1String("WITH"))
        return notAQuery(keyword.isEmpty() ? statement.trimmed().left(20) : keyword);
    // A text that cannot be read (a literal left open) goes on: its run says why it fails.
    const Result<std::vector<JetSql::Token>> tokens = JetSql::tokenize(statement);
    if (!tokens)
        return {};
    bool ended = false;
    for (const JetSql::Token &t : *tokens) {
        if (!significant(t))
            continue;
        if (isPunct(t, ';')) {
            ended = true;
            continue;
        }
        if (ended)
            return QStringLiteral("Only one statement can run at a time: %1 is followed by another statement.").arg(keyword) + Footer;
        if (isWord(t, "INTO"))
            return QStringLiteral("The statement SELECT ... INTO would create a table.") + Footer;
    }
    return {};
}

QString message(const Refusal &refused)
{
    switch (refused.kind) {
    case Refusal::Kind::None:
        return {};
    case Refusal::Kind::Statement:
        return notAQuery(refused.name);
    case Refusal::Kind::MoreThanOne:
        return QStringLiteral("Only one statement can run at a time: %1 is followed by another statement.").arg(refused.name) + Footer;
    case Refusal::Kind::Function:
        return QStringLiteral("The function %1 cannot be used in a query.").arg(refused.name) + Footer;
    case Refusal::Kind::Table:
        return QStringLiteral("The query reads %1: only the table LOG can be read.").arg(refused.name) + Footer;
    case Refusal::Kind::TableFunction:
        return QStringLiteral("The query reads a table-valued function: only the table LOG can be read.") + Footer;
    }
    return {};
}

} // namespace QueryGuard
