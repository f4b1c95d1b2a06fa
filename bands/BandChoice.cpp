#include "bands/BandChoice.h"

namespace BandChoice {

QStringList choose(QStringList headers, const QString &item)
{
    const QString band = item == QLatin1String("NONE") ? QString() : item;
    for (QString &h : headers) {
        if (h.isEmpty()) {
            h = band;
            break;
        }
    }
    return headers;
}

QStringList clearLast(QStringList headers)
{
    for (qsizetype i = headers.size() - 1; i >= 0; --i) {
        if (!headers[i].isEmpty()) {
            headers[i].clear();
            break;
        }
    }
    return headers;
}

} // namespace BandChoice
