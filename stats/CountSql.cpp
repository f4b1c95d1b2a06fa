#include "CountSql.h"

namespace {

using namespace CountSlotIndex;

/// What stands between the opening quote of the first mode pattern and its closing quote.
QString modePattern(ModeClass m, bool ft8Only)
{
    switch (m) {
    case ModeClass::Cw:
        return QStringLiteral("CW");
    case ModeClass::Phone:
        return QStringLiteral("SSB' OR MODE LIKE 'FM' OR MODE LIKE 'AM");
    case ModeClass::Data:
        return ft8Only ? QStringLiteral("FT8") : QStringLiteral("SSB' OR MODE LIKE 'FM' OR MODE LIKE 'AM' OR MODE LIKE 'CW");
    case ModeClass::All:
        return QStringLiteral("*");
    }
    return {};
}

/// The mode test stands in parentheses for every class but ALL, where it
/// depends on the text family.
bool parenthesised(ModeClass m, bool allInParentheses) { return m != ModeClass::All || allInParentheses; }

/// From the quote that closes the band to the quote that opens the mode pattern.
QString modeOpen(ModeClass m, bool ft8Only, bool allInParentheses)
{
    if (m == ModeClass::Data && !ft8Only)
        return QStringLiteral("' AND NOT (Mode LIKE '");
    return parenthesised(m, allInParentheses) ? QStringLiteral("' AND (Mode LIKE '") : QStringLiteral("' AND Mode LIKE '");
}

/// The QSL condition of a status block, with its trailing blank; empty for WORKED.
QString statusCondition(QslStatus s)
{
    switch (s) {
    case QslStatus::Worked:
        return {};
    case QslStatus::Confirmed:
        return QStringLiteral("R ='Y' ");
    case QslStatus::NotConfirmed:
        return QStringLiteral("R ='N' ");
    case QslStatus::Award:
        return QStringLiteral("D ='Y' ");
    }
    return {};
}

/// Closing piece of a QSO count text.
QString qsoClose(QslStatus s, bool paren)
{
    const QString condition = statusCondition(s);
    return (paren ? QStringLiteral("') ") : QStringLiteral("' ")) + (condition.isEmpty() ? QString() : QStringLiteral("AND ") + condition);
}

/// Closing piece of a distinct-entity text, ending in " AND " before the award column.
QString entityClose(QslStatus s, bool paren)
{
    const QString condition = statusCondition(s);
    return (paren ? QStringLiteral("') AND ") : QStringLiteral("' AND ")) + (condition.isEmpty() ? QString() : condition + QStringLiteral("AND "));
}

QString entityText(const QString &column, const QString &where)
{
    return QStringLiteral("SELECT COUNT(") + column + QStringLiteral(") AS Quanti FROM (Select Distinct ") + column +
           QStringLiteral(" From LOG WHERE ") + where + column + QStringLiteral(" <> '??' AND ") + column + QStringLiteral(" <>'')");
}

/// Mode and status part of a distinct-entity text, from the quote after the band on.
QString entityModeAndStatus(int r, bool ft8Only)
{
    const ModeClass m = mode(r);
    const QslStatus s = status(r);
    const bool allInParentheses = s == QslStatus::Worked;
    return modeOpen(m, ft8Only, allInParentheses) + modePattern(m, ft8Only) + entityClose(s, parenthesised(m, allInParentheses));
}

} // namespace

namespace CountSql {

QString totalQsos() { return QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG"); }

QString qso(const QString &band, int r, bool ft8Only)
{
    const ModeClass m = mode(r);
    return QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG WHERE Banda LIKE '") + literal(band) + modeOpen(m, ft8Only, false) +
           modePattern(m, ft8Only) + qsoClose(status(r), parenthesised(m, false));
}

QString literal(const QString &text) { return QString(text).replace(QLatin1Char('\''), QStringLiteral("''")); }

int activeBandCount(const QStringList &headers) { return int(selectedBands(headers).size()); }

QStringList selectedBands(const QStringList &headers)
{
    QStringList bands;
    for (int c = 0; c < Bands && c < headers.size(); ++c) {
        if (!headers[c].trimmed().isEmpty())
            bands << headers[c];
    }
    return bands;
}

QString mixBandList(const QStringList &headers)
{
    const QStringList bands = selectedBands(headers);
    QString list = QStringLiteral(" '") + literal(bands.value(0)) + QStringLiteral("' ");
    for (qsizetype j = 1; j < bands.size(); ++j)
        list += QStringLiteral(" OR banda = '") + literal(bands[j]) + QStringLiteral("' ");
    return list;
}

QString mix(const QString &column, const QString &bandList, int r, bool ft8Only)
{
    // The band list carries its own quotes, so the mode part starts after the
    // quote that would close a single band.
    return entityText(column, QStringLiteral("(Banda = ") + bandList + QStringLiteral(")") + entityModeAndStatus(r, ft8Only).mid(1));
}

} // namespace CountSql

QString AwardCountSql(const QString &column, const QString &band, int r, bool ft8Only)
{
    return entityText(column, QStringLiteral("Banda LIKE '") + CountSql::literal(band) + entityModeAndStatus(r, ft8Only));
}
