#include "QueryGuard.h"

#include <QRegularExpression>

namespace QueryGuard {
namespace {

/// The statement with its text literals, bracketed names and date literals
/// blanked out, so keywords inside them are not taken for keywords.
QString withoutLiterals(const QString &s)
{
    QString out;
    out.reserve(s.size());
    QChar close;
    for (const QChar c : s) {
        if (!close.isNull()) {
            if (c == close)
                close = QChar();
            out += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            close = c;
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('[')) {
            close = QLatin1Char(']');
            out += QLatin1Char(' ');
        } else {
            out += c;
        }
    }
    return out;
}

const QString Footer = QStringLiteral("\r\n\r\nVarkelChecker only reads your logbook and never changes it: nothing was run.");

} // namespace

QString leadingKeyword(const QString &statement)
{
    static const QRegularExpression word(QStringLiteral("^[\\s(]*([A-Za-z]+)"));
    const QRegularExpressionMatch m = word.match(statement);
    return m.hasMatch() ? m.captured(1).toUpper() : QString();
}

QString refusal(const QString &statement)
{
    const QString plain = withoutLiterals(statement);
    const QString keyword = leadingKeyword(plain);
    if (keyword != QLatin1String("SELECT") && keyword != QLatin1String("WITH"))
        return QStringLiteral("The statement %1 is not a query.").arg(keyword.isEmpty() ? statement.trimmed().left(20) : keyword) + Footer;
    const qsizetype semicolon = plain.indexOf(QLatin1Char(';'));
    if (semicolon >= 0 && !plain.mid(semicolon + 1).trimmed().remove(QLatin1Char(';')).trimmed().isEmpty())
        return QStringLiteral("Only one statement can run at a time: %1 is followed by another statement.").arg(keyword) + Footer;
    static const QRegularExpression into(QStringLiteral("\\bINTO\\b"), QRegularExpression::CaseInsensitiveOption);
    if (into.match(plain).hasMatch())
        return QStringLiteral("The statement SELECT ... INTO would create a table.") + Footer;
    static const QRegularExpression change(QStringLiteral("\\b(INSERT|UPDATE|DELETE|DROP|ALTER|CREATE|ATTACH|DETACH|PRAGMA|VACUUM|REPLACE)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = change.match(plain);
    if (m.hasMatch())
        return QStringLiteral("The statement %1 is not a query.").arg(m.captured(1).toUpper()) + Footer;
    return {};
}

} // namespace QueryGuard
