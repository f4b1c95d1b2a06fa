#include "logbook/CountQuery.h"

Result<QString> CountQuery(const LogSnapshot &log, const CountRequest &count)
{
    if (const std::optional<int64_t> n = log.counter().count(count.description))
        return QString::number(*n);
    return log.database().scalar(count.text, QStringLiteral("Quanti"));
}
