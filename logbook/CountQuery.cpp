#include "CountQuery.h"

Result<QString> CountQuery(const LogDatabase &db, const QString &text)
{
    return db.scalar(text, QStringLiteral("Quanti"));
}
