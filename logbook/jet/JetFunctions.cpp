#include "logbook/jet/JetFunctions.h"

#include "logbook/jet/JetText.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <sqlite3.h>
#include <string_view>

namespace {

std::string_view textOf(sqlite3_value *v)
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    return p ? std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(v))) : std::string_view();
}

QString qtextOf(sqlite3_value *v)
{
    const std::string_view s = textOf(v);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

int collateJet(void *, int na, const void *a, int nb, const void *b)
{
    return JetText::compare(std::string_view(static_cast<const char *>(a), static_cast<size_t>(na)),
                            std::string_view(static_cast<const char *>(b), static_cast<size_t>(nb)));
}

/// like(pattern, value): SQLite hands "value LIKE pattern" to this function.
void likeFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (JetText::like(textOf(argv[0]), textOf(argv[1]))) {
    case JetText::Match::Yes:
        sqlite3_result_int(ctx, 1);
        break;
    case JetText::Match::No:
        sqlite3_result_int(ctx, 0);
        break;
    case JetText::Match::BadPattern:
        sqlite3_result_error(ctx, "Invalid pattern string", -1);
        break;
    }
}

/// State of First/Last: the value kept and the row order it came with.
struct Pick {
    sqlite3_value *value;
    sqlite3_int64 order;
    bool seen;
};

template<bool IsFirst>
void pickStep(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    auto *pick = static_cast<Pick *>(sqlite3_aggregate_context(ctx, sizeof(Pick)));
    if (!pick)
        return;
    const sqlite3_int64 order = argc > 1 ? sqlite3_value_int64(argv[1]) : 0;
    bool take = !pick->seen;
    if (pick->seen)
        take = argc > 1 ? (IsFirst ? order < pick->order : order > pick->order) : !IsFirst;
    if (take) {
        sqlite3_value_free(pick->value);
        pick->value = sqlite3_value_dup(argv[0]);
        pick->order = order;
        pick->seen = true;
    }
}

void pickFinal(sqlite3_context *ctx)
{
    auto *pick = static_cast<Pick *>(sqlite3_aggregate_context(ctx, 0));
    if (pick && pick->value) {
        sqlite3_result_value(ctx, pick->value);
        sqlite3_value_free(pick->value);
    } else {
        sqlite3_result_null(ctx);
    }
}

void leftFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultText(ctx, qtextOf(argv[0]).left(qMax(0, sqlite3_value_int(argv[1]))));
}

void rightFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    resultText(ctx, qtextOf(argv[0]).right(qMax(0, sqlite3_value_int(argv[1]))));
}

void midFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int start = sqlite3_value_int(argv[1]);
    if (start < 1)
        return sqlite3_result_error(ctx, "Invalid procedure call: Mid", -1);
    const qsizetype length = argc > 2 ? qMax(0, sqlite3_value_int(argv[2])) : -1;
    resultText(ctx, qtextOf(argv[0]).mid(start - 1, length));
}

QDateTime dateTimeOf(sqlite3_value *v)
{
    const QString s = qtextOf(v).trimmed();
    QDateTime dt = QDateTime::fromString(s, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(s.left(10), QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return dt;
}

template<int Part>
void datePartFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QDate d = dateTimeOf(argv[0]).date();
    if (!d.isValid())
        return sqlite3_result_error(ctx, "Type mismatch: not a date", -1);
    sqlite3_result_int(ctx, Part == 0 ? d.year() : Part == 1 ? d.month() : d.day());
}

void nzFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL)
        sqlite3_result_value(ctx, argv[0]);
    else if (argc > 1)
        sqlite3_result_value(ctx, argv[1]);
    else
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

/// Format(value, pattern) for dates: yyyy yy mmmm mmm mm m dd d hh nn ss,
/// and the named formats "Short Date", "Long Date", "General Date".
void formatFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const QString pattern = argc > 1 ? qtextOf(argv[1]) : QString();
    const QDateTime dt = dateTimeOf(argv[0]);
    if (!dt.isValid() || pattern.isEmpty()) {
        sqlite3_result_value(ctx, argv[0]);
        return;
    }
    QString qtPattern;
    if (pattern.compare(QLatin1String("Short Date"), Qt::CaseInsensitive) == 0)
        qtPattern = QStringLiteral("dd/MM/yyyy");
    else if (pattern.compare(QLatin1String("Long Date"), Qt::CaseInsensitive) == 0)
        qtPattern = QStringLiteral("dddd d MMMM yyyy");
    else if (pattern.compare(QLatin1String("General Date"), Qt::CaseInsensitive) == 0)
        qtPattern = QStringLiteral("dd/MM/yyyy HH:mm:ss");
    else {
        // Jet writes months as m and minutes as n; Qt as M and m.
        for (const QChar c : pattern) {
            if (c == QLatin1Char('m') || c == QLatin1Char('M'))
                qtPattern += QLatin1Char('M');
            else if (c == QLatin1Char('n') || c == QLatin1Char('N'))
                qtPattern += QLatin1Char('m');
            else if (c == QLatin1Char('h') || c == QLatin1Char('H'))
                qtPattern += QLatin1Char('H');
            else if (c == QLatin1Char('Y'))
                qtPattern += QLatin1Char('y');
            else if (c == QLatin1Char('D'))
                qtPattern += QLatin1Char('d');
            else
                qtPattern += c;
        }
    }
    resultText(ctx, dt.toString(qtPattern));
}

} // namespace

bool registerJetFunctions(sqlite3 *db)
{
    const int text = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    bool ok = sqlite3_create_collation(db, "JETCI", SQLITE_UTF8, nullptr, collateJet) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "like", 2, text, nullptr, likeFunction, nullptr, nullptr) == SQLITE_OK;
    for (int argc = 1; argc <= 2; ++argc) {
        ok = ok && sqlite3_create_function(db, "jet_first", argc, SQLITE_UTF8, nullptr, nullptr, pickStep<true>, pickFinal) == SQLITE_OK;
        ok = ok && sqlite3_create_function(db, "jet_last", argc, SQLITE_UTF8, nullptr, nullptr, pickStep<false>, pickFinal) == SQLITE_OK;
    }
    ok = ok && sqlite3_create_function(db, "jet_left", 2, text, nullptr, leftFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_right", 2, text, nullptr, rightFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_mid", 2, text, nullptr, midFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_mid", 3, text, nullptr, midFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_year", 1, text, nullptr, datePartFunction<0>, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_month", 1, text, nullptr, datePartFunction<1>, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_day", 1, text, nullptr, datePartFunction<2>, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_nz", 1, text, nullptr, nzFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_nz", 2, text, nullptr, nzFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_format", 1, text, nullptr, formatFunction, nullptr, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_create_function(db, "jet_format", 2, text, nullptr, formatFunction, nullptr, nullptr) == SQLITE_OK;
    return ok;
}
