#include "bands/LogInventory.h"

namespace LogInventory {

Result<QStringList> values(const LogDatabase &db, const QString &query, const QString &field)
{
    const Result<QueryTable> table = db.select(query);
    if (!table)
        return Result<QStringList>::failure(table.error());
    int column = -1;
    for (int i = 0; i < table->columnCount(); ++i) {
        if (table->fields[i].compare(field, Qt::CaseInsensitive) == 0)
            column = i;
    }
    if (column < 0)
        return Result<QStringList>::failure(QStringLiteral("no field %1").arg(field));
    QStringList out;
    for (qsizetype r = 0; r < table->rowCount(); ++r)
        out << (table->at(r, column).isNull() ? QString(QLatin1String("")) : table->at(r, column));
    return out;
}

QString asLines(const QStringList &values)
{
    QString text;
    for (const QString &v : values)
        text += v + QStringLiteral("\r\n");
    return text;
}

} // namespace LogInventory
