#include "stats/Val.h"

#include <cmath>

namespace Val {

double of(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    bool digits = false;
    while (i < n && text[i].isDigit()) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i].isDigit()) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    return text.mid(start, i - start).toDouble();
}

QString text(double value)
{
    if (std::floor(value) == value && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    return QString::number(value, 'g', 15);
}

QString difference(const QString &worked, const QString &confirmed) { return text(of(worked) - of(confirmed)); }

} // namespace Val
