#include "tests/support/CountryReference.h"

#include <QFile>
#include <QRegularExpression>

CountryReference::CountryReference(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList fields = line.trimmed().split(QLatin1Char(','));
        if (fields.size() < 10 || fields[0].startsWith(QLatin1Char('*')))
            continue;
        Entity e{fields[0].trimmed().toUpper(), fields[1].trimmed(), {}};
        // The prefix list: blank-separated, ending in ';', each prefix followed
        // perhaps by overrides in (), [], <>, {} or ~~; "=CALL" a whole callsign.
        QString list = fields.mid(9).join(QLatin1Char(','));
        list.truncate(list.indexOf(QLatin1Char(';')));
        for (const QString &token : list.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (token.startsWith(QLatin1Char('=')))
                continue;
            const QString prefix = token.left(token.indexOf(QRegularExpression(QStringLiteral("[(\\[<{~]")))).toUpper();
            if (!prefix.isEmpty())
                e.prefixes << prefix;
        }
        m_entities.push_back(e);
    }
}

QString CountryReference::name(const QString &text) const
{
    const QString key = text.trimmed().toUpper();
    if (key.isEmpty())
        return {};
    for (const Entity &e : m_entities) {
        if (e.primary == key)
            return e.name;
    }
    QString best;
    qsizetype longest = 0;
    for (const Entity &e : m_entities) {
        for (const QString &p : e.prefixes) {
            if (p.size() > longest && key.startsWith(p)) {
                longest = p.size();
                best = e.name;
            }
        }
    }
    return best;
}
