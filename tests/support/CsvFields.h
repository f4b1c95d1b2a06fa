#pragma once
// Reading back the csv the program writes.
#include <QString>
#include <QStringList>
#include <utility>

/// The fields of one csv line, quotes undone (a doubled quote in a quoted field is one quote).
inline QStringList csvFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"'))
            field += line[++i];
        else if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted)
            fields << std::exchange(field, QString());
        else
            field += c;
    }
    return fields << field;
}
