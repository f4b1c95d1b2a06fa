#include "stats/CountSql.h"

#include "bands/BandSet.h"

namespace {

using namespace CountSlotIndex;

/// What stands between the opening quote of the first mode pattern and its closing quote.
QString modePattern(ModeClass m, bool ft8Only)
{
    const auto likes = [](const std::vector<std::string> &names) {
        QStringList quoted;
        for (const std::string &n : names)
            quoted << QString::fromStdString(n);
        return quoted.join(QStringLiteral("' OR MODE LIKE '"));
    };
    switch (m) {
    case ModeClass::Cw:
    case ModeClass::Phone:
        return likes(modeNames(m));
    case ModeClass::Data:
        return ft8Only ? QStringLiteral("FT8")
                       : likes(modeNames(ModeClass::Phone)) + QStringLiteral("' OR MODE LIKE '") + likes(modeNames(ModeClass::Cw));
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
QString statusPiece(QslStatus s)
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

/// Mode and status part of a count text, from the quote after the band on:
/// for contacts it ends the text, for entities it ends in " AND " before the
/// award column's own tests.
QString modeAndStatus(const CountDescription &description)
{
    const bool entities = !description.entity.empty();
    // The ALL class of WORKED entities stands in parentheses, the others not.
    const bool allInParentheses = entities && description.status == QslStatus::Worked;
    const bool paren = parenthesised(description.mode, allInParentheses);
    const QString condition = statusPiece(description.status);
    QString close = paren ? QStringLiteral("') ") : QStringLiteral("' ");
    if (entities)
        close += QStringLiteral("AND ") + (condition.isEmpty() ? QString() : condition + QStringLiteral("AND "));
    else if (!condition.isEmpty())
        close += QStringLiteral("AND ") + condition;
    return modeOpen(description.mode, description.ft8, allInParentheses) + modePattern(description.mode, description.ft8) + close;
}

QString bandList(const QStringList &bands)
{
    return CountSql::joinBands(bands, QStringLiteral(" '"), QStringLiteral(" OR banda = '"), QStringLiteral("' "));
}

QStringList qtBands(const std::vector<std::string> &bands)
{
    QStringList list;
    for (const std::string &b : bands)
        list << QString::fromStdString(b);
    return list;
}

/// The WHERE condition up to the award column's own tests (entities) or to the end (contacts).
QString whereText(const CountDescription &description)
{
    if (description.bandTest == CountDescription::Bands::Pattern)
        return QStringLiteral("Banda LIKE '") +
               CountSql::literal(QString::fromStdString(description.bands.empty() ? std::string() : description.bands.front())) +
               modeAndStatus(description);
    // The band list carries its own quotes, so the mode part starts after the
    // quote that would close a single band.
    return QStringLiteral("(Banda = ") + bandList(qtBands(description.bands)) + QStringLiteral(")") + modeAndStatus(description).mid(1);
}

std::vector<std::string> stdBands(const QStringList &bands)
{
    std::vector<std::string> list;
    for (const QString &b : bands)
        list.push_back(b.toStdString());
    return list;
}

CountRequest request(CountDescription description) { return {description, CountSql::text(description)}; }

} // namespace

namespace CountSql {

QString text(const CountDescription &description)
{
    if (description.entity.empty()) {
        const QString head = QStringLiteral("SELECT COUNT(*) AS Quanti FROM LOG");
        return description.bandTest == CountDescription::Bands::Every ? head : head + QStringLiteral(" WHERE ") + whereText(description);
    }
    const QString f = QString::fromStdString(description.entity);
    const QString where = description.bandTest == CountDescription::Bands::Every ? QString() : whereText(description);
    return QStringLiteral("SELECT COUNT(") + f + QStringLiteral(") AS Quanti FROM (Select Distinct ") + f +
           QStringLiteral(" From LOG WHERE ") + where + f + QStringLiteral(" <> '??' AND ") + f + QStringLiteral(" <>'')");
}

CountRequest totalQsos() { return request(CountDescription{}); }

CountRequest qso(const QString &band, int r, bool ft8Only)
{
    return request(CountDescription{{}, CountDescription::Bands::Pattern, {band.toStdString()}, mode(r), status(r), ft8Only});
}

CountRequest mix(const QString &column, const QStringList &headers, int r, bool ft8Only)
{
    return request(CountDescription{column.toStdString(), CountDescription::Bands::List, stdBands(BandSet(headers).selected()), mode(r),
                                    status(r), ft8Only});
}

QString literal(const QString &text) { return QString(text).replace(QLatin1Char('\''), QStringLiteral("''")); }

QString joinBands(const QStringList &bands, const QString &first, const QString &further, const QString &close)
{
    QString list = first + literal(bands.value(0)) + close;
    for (qsizetype j = 1; j < bands.size(); ++j)
        list += further + literal(bands[j]) + close;
    return list;
}

QString mixBandList(const QStringList &headers) { return bandList(BandSet(headers).selected()); }

} // namespace CountSql

CountRequest AwardCountSql(const QString &column, const QString &band, int r, bool ft8Only)
{
    return request(
        CountDescription{column.toStdString(), CountDescription::Bands::Pattern, {band.toStdString()}, mode(r), status(r), ft8Only});
}
