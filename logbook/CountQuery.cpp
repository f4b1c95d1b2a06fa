#include "CountQuery.h"

#include "count/CountEvaluator.h"

Result<QString> CountQuery(const LogDatabase &db, const QString &text)
{
    const QString field = QStringLiteral("Quanti");
    // The columnar copy answers the grid's texts; SQLite whatever it does not.
    if (const CountEvaluator *counter = db.counter()) {
        const std::optional<CountAnswer> answer = counter->count(text);
        if (answer && answer->field.compare(field, Qt::CaseInsensitive) == 0)
            return QString::number(answer->count);
    }
    return db.scalar(text, field);
}
