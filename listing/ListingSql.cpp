#include "listing/ListingSql.h"

#include "stats/CountSql.h"
#include "stats/GridTexts.h"

#include <algorithm>

namespace {

using Condition = CountTree::Condition;
using Kind = Condition::Kind;
using Bands = CountDescription::Bands;

/// How a listing writes its conditions: the contact listings and the entity
/// listings differ only here.
struct Dialect {
    /// A column as the text names it.
    QString (*column)(const std::string &name);
    /// Every comparison stands in parentheses of its own ("((Log.R) = 'Y')");
    /// where not, a lone one is put in them after AND ("(R = 'Y')").
    bool enclosedComparisons;
    QString andWord;
    QString orWord;
    /// The PHONE modes in the order the text names them.
    QStringList phoneModes;
};

QString upperName(const std::string &name) { return QString::fromStdString(name).toUpper(); }

QString logName(const std::string &name) { return QStringLiteral("(Log.") + QString::fromStdString(name) + QStringLiteral(")"); }

/// The contact listings: plain upper-case names, the PHONE modes as the legend names them.
const Dialect &contactDialect()
{
    static const Dialect d{upperName, false, QStringLiteral(" AND "), QStringLiteral(" OR "), GridTexts::shownModeNames(ModeClass::Phone)};
    return d;
}

/// The entity listings: the names and parentheses of Access's query designer,
/// FM first among the PHONE modes.
const Dialect &entityDialect()
{
    static const Dialect d = [] {
        QStringList phone;
        for (const std::string &m : modeNames(ModeClass::Phone))
            phone << QString::fromStdString(m);
        phone.move(1, 0);
        return Dialect{logName, true, QStringLiteral(" And "), QStringLiteral(" Or "), phone};
    }();
    return d;
}

bool anyValue(const Condition &c) { return c.kind == Kind::Like && c.literal == "*"; }

/// Modes are named for equality; only the pattern that admits every value stays a LIKE.
QString comparison(const Dialect &d, const Condition &c)
{
    const QString op = c.kind == Kind::NotEqual ? QStringLiteral("<>") : anyValue(c) ? QStringLiteral("LIKE") : QStringLiteral("=");
    const QString text = d.column(c.column) + QLatin1Char(' ') + op + QStringLiteral(" '") +
                         CountSql::literal(QString::fromStdString(c.literal)) + QLatin1Char('\'');
    return d.enclosedComparisons ? QLatin1Char('(') + text + QLatin1Char(')') : text;
}

QString lone(const Dialect &d, const Condition &c)
{
    return d.enclosedComparisons ? comparison(d, c) : QLatin1Char('(') + comparison(d, c) + QLatin1Char(')');
}

void collect(const Condition &c, std::vector<const Condition *> &names)
{
    if (c.kind != Kind::Or) {
        names.push_back(&c);
        return;
    }
    for (const Condition &o : c.operands)
        collect(o, names);
}

/// The modes of a class, one or more, in parentheses.
QString modeList(const Dialect &d, const Condition &c)
{
    std::vector<const Condition *> names;
    collect(c, names);
    const auto rank = [&d](const Condition *n) {
        const qsizetype i = d.phoneModes.indexOf(QString::fromStdString(n->literal));
        return i < 0 ? d.phoneModes.size() : i;
    };
    std::stable_sort(names.begin(), names.end(), [&](const Condition *a, const Condition *b) { return rank(a) < rank(b); });
    QStringList tests;
    for (const Condition *n : names)
        tests << comparison(d, *n);
    return QLatin1Char('(') + tests.join(d.orWord) + QLatin1Char(')');
}

QString modeTest(const Dialect &d, const Condition &c)
{
    if (c.kind == Kind::Not)
        return QStringLiteral("NOT ") + modeList(d, c.operands.front());
    return anyValue(c) ? lone(d, c) : modeList(d, c);
}

QString pattern(const CountDescription &description)
{
    return description.bandTest == Bands::Pattern && !description.bands.empty() ? QString::fromStdString(description.bands.front())
                                                                                : CountSql::WholeLog;
}

QStringList bandList(const CountDescription &description)
{
    QStringList bands;
    for (const std::string &b : description.bands)
        bands << QString::fromStdString(b);
    return bands;
}

QString contactBands(const CountDescription &description)
{
    const QString column = contactDialect().column("Banda");
    if (description.bandTest == Bands::List)
        return CountSql::joinBands(bandList(description), column + QStringLiteral(" = '"),
                                   QStringLiteral(" OR ") + column + QStringLiteral(" = '"), QStringLiteral("'"));
    return column + QStringLiteral(" LIKE '") + CountSql::literal(pattern(description)) + QLatin1Char('\'');
}

/// The fields of an entity's first record; WORKED CW and the whole log's
/// WORKED FT8 name band and mode BAND_ and MODE_.
QString firstRecordFields(bool shortNames)
{
    return QStringLiteral(", First(LOG.Callsign) AS First_CALL, First(LOG.Banda) AS ") +
           (shortNames ? QStringLiteral("BAND_") : QStringLiteral("First_BAND")) + QStringLiteral(", First(LOG.Mode) AS ") +
           (shortNames ? QStringLiteral("MODE_") : QStringLiteral("First_MODE")) +
           QStringLiteral(
               ", First(LOG.TDate) AS First_DATE, First(LOG.MANAGER) AS MANAGER, First(LOG.S) AS QSL_TX, First(LOG.R) AS QSL_RX, "
               "First(LOG.D) AS AWARD, First(LOG.DIPTEXT) AS DIPL_TEXT From Log Where ");
}

} // namespace

namespace ListingSql {

QString text(const CountDescription &description) { return description.entity.empty() ? contacts(description) : entities(description); }

QString contacts(const CountDescription &description, const std::optional<CountTree::Condition> &also)
{
    const Dialect &d = contactDialect();
    QString sql = QStringLiteral("SELECT * FROM LOG WHERE (") + contactBands(description) + QLatin1Char(')');
    if (also)
        sql += d.andWord + lone(d, *also);
    sql += d.andWord + modeTest(d, modeCondition(description.mode, description.ft8));
    if (const std::optional<Condition> status = statusCondition(description.status))
        sql += d.andWord + lone(d, *status);
    return sql + QStringLiteral(" order by CALLSIGN;");
}

QString entities(const CountDescription &description)
{
    const Dialect &d = entityDialect();
    const Condition mode = modeCondition(description.mode, description.ft8);
    const Condition usable = usableEntity(description.entity);
    // The QSL test stands between the two tests of the entity column.
    QString tail = comparison(d, usable.operands.front());
    if (const std::optional<Condition> status = statusCondition(description.status))
        tail += d.andWord + comparison(d, *status);
    tail += d.andWord + comparison(d, usable.operands.back());

    const bool worked = description.status == QslStatus::Worked;
    const bool wholeLog = description.bandTest != Bands::List && pattern(description) == CountSql::WholeLog;
    const bool oneMode = mode.kind == Kind::Like && !anyValue(mode);
    QString where;
    if (wholeLog) {
        // Like the count, it takes in only contacts that have a band; a WORKED
        // class of one mode holds the entity's tests inside its parentheses.
        where = comparison(d, Condition{Kind::Like, {}, "Banda", "*"}) + d.andWord +
                (worked && oneMode ? QLatin1Char('(') + comparison(d, mode) + d.andWord + tail + QLatin1Char(')')
                                   : modeTest(d, mode) + d.andWord + tail);
    } else {
        const QString bands = description.bandTest == Bands::List
                                  ? QStringLiteral("((Log.Banda) = ") +
                                        CountSql::joinBands(bandList(description), QStringLiteral(" '"),
                                                            QStringLiteral(" Or Log.banda = '"), QStringLiteral("' ")) +
                                        QLatin1Char(')')
                                  : comparison(d, Condition{Kind::Equal, {}, "Banda", pattern(description).toStdString()});
        where = QLatin1Char('(') + bands + d.andWord + modeTest(d, mode) + d.andWord + tail + QLatin1Char(')');
    }
    const QString column = QString::fromStdString(description.entity);
    const bool shortNames = worked && (description.mode == ModeClass::Cw || (wholeLog && oneMode));
    return QStringLiteral("SELECT DISTINCT LOG.") + column + firstRecordFields(shortNames) + where + QStringLiteral(" GROUP BY LOG.") +
           column + QLatin1Char(';');
}

} // namespace ListingSql
