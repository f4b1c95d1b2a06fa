// Every count the grid and the single-band window ask, and random counts beside
// them, answered three ways: by the columnar evaluator, by SQLite on the Jet
// text, and by plain loops over the generated rows (ReferenceCounts).
#include "stats/CountSql.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/ReferenceCounts.h"

#include <gtest/gtest.h>
#include <random>

using namespace counttest;
using namespace CountSlotIndex;

namespace {

/// The evaluator answers `request` over `log`, as the plain loops over its
/// rows do; `answer`, when given, gets their answer once both have given one.
void expectEvaluatorAgrees(const OpenedLog &log, const CountRequest &request, std::optional<long> *answer = nullptr)
{
    const std::optional<long> expected = reference::count(log.rows, request.description);
    ASSERT_TRUE(expected) << request.text.toStdString();
    const std::optional<int64_t> evaluated = log.log->counter().count(request.description);
    ASSERT_TRUE(evaluated) << "left to SQLite: " << request.text.toStdString();
    EXPECT_EQ(*evaluated, *expected) << request.text.toStdString();
    if (answer)
        *answer = expected;
}

class CountThreeWays : public testing::Test {
protected:
    static void SetUpTestSuite() { s_log = new OpenedLog(openGenerated(2500, 11)); }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }

    /// The three answers agree, and the evaluator gives one.
    static void expectThreeWays(const CountRequest &request)
    {
        std::optional<long> expected;
        expectEvaluatorAgrees(*s_log, request, &expected);
        if (!expected)
            return;
        const Result<QString> sqlite = s_log->log->database().scalar(request.text, QStringLiteral("Quanti"));
        ASSERT_TRUE(sqlite) << sqlite.error().toStdString() << ": " << request.text.toStdString();
        EXPECT_EQ(*sqlite, QString::number(*expected)) << request.text.toStdString();
    }

    /// The log's band labels, "*", wildcard patterns, labels in another case and labels no row has.
    static QStringList bandPatterns()
    {
        QStringList bands;
        for (const std::string &b : bandLabels(s_log->rows))
            bands << QString::fromStdString(b);
        bands += QStringList{"*", "1*", "*0", "?.?", "1#.#", "[12]*", "[!1]*", "2M", "40m", "10g", "99.9", "**", "*.*", "14'0"};
        return bands;
    }

    static OpenedLog *s_log;
};

OpenedLog *CountThreeWays::s_log = nullptr;

const QStringList AwardColumns = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};

} // namespace

TEST_F(CountThreeWays, ContactsOfEveryBandSlotAndFt8Choice)
{
    expectThreeWays(CountSql::totalQsos());
    for (const QString &band : bandPatterns()) {
        for (const bool ft8 : {false, true}) {
            for (int r = 0; r < Slots; ++r)
                expectThreeWays(CountSql::qso(band, r, ft8));
        }
    }
}

TEST_F(CountThreeWays, EntitiesOfEveryKindBandSlotAndFt8Choice)
{
    for (const QString &column : AwardColumns) {
        for (const QString &band : bandPatterns()) {
            for (const bool ft8 : {false, true}) {
                for (int r = 0; r < Slots; ++r) {
                    if (!isDifference(r))
                        expectThreeWays(AwardCountSql(column, band, r, ft8));
                }
            }
        }
    }
}

TEST_F(CountThreeWays, EntitiesOverSelectedBandsWithGaps)
{
    const std::vector<QStringList> sets = {
        {"14.0", "21.0"}, {"3.5", "", "7.0", "  ", "14.0", "21.0", "28.0"}, {"", "", "10.1"}, {"7", "7.0", "2m", "2M"}};
    for (const QStringList &set : sets) {
        QStringList headers = set;
        while (headers.size() < Bands)
            headers << QString();
        for (const QString &column : AwardColumns) {
            for (const bool ft8 : {false, true}) {
                for (int r = 0; r < Slots; ++r) {
                    if (!isDifference(r))
                        expectThreeWays(CountSql::mix(column, headers, r, ft8));
                }
            }
        }
    }
}

TEST_F(CountThreeWays, RandomCounts)
{
    // Patterns made from the log's own labels with wildcards, classes and case
    // changes put in, over random columns, modes, statuses and band lists.
    std::mt19937 rng(404);
    const auto below = [&rng](size_t n) { return size_t(rng() % n); };
    const std::vector<std::string> labels = bandLabels(s_log->rows);
    const auto pattern = [&] {
        std::string p;
        for (const char ch : labels[below(labels.size())]) {
            // A wildcard, a class, a change of case, or the letter itself.
            const unsigned char u = static_cast<unsigned char>(ch);
            const std::string changed[] = {"?",
                                           std::string("*") + ch,
                                           "#",
                                           std::string("[") + ch + "x]",
                                           "[!a-z]",
                                           std::string(1, char(std::toupper(u))),
                                           std::string(1, char(std::tolower(u)))};
            const size_t k = below(12);
            p += k < std::size(changed) ? changed[k] : std::string(1, ch);
        }
        return p;
    };
    const std::vector<std::string> entities = {"", "DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};
    int nonZero = 0;
    for (int i = 0; i < 3000; ++i) {
        CountDescription description;
        description.entity = entities[below(entities.size())];
        description.bandTest = below(4) == 0 ? CountDescription::Bands::List : CountDescription::Bands::Pattern;
        for (size_t n = description.bandTest == CountDescription::Bands::List ? 1 + below(4) : 1; n > 0; --n)
            description.bands.push_back(description.bandTest == CountDescription::Bands::List ? labels[below(labels.size())] : pattern());
        description.mode = ModeClass(below(4));
        description.status = QslStatus(below(4));
        description.ft8 = below(2);
        const CountRequest request{description, CountSql::text(description)};
        expectThreeWays(request);
        if (HasFatalFailure())
            return;
        nonZero += *reference::count(s_log->rows, description) > 0;
    }
    EXPECT_GT(nonZero, 1000); // worth something: many of them count rows
}

TEST_F(CountThreeWays, WhatTheEvaluatorCannotAnswerGoesToSqlite)
{
    // A malformed pattern: the evaluator declines, SQLite reports the fault.
    const CountRequest malformed = CountSql::qso(QStringLiteral("[14"), 3, false);
    EXPECT_FALSE(s_log->log->counter().count(malformed.description));
    EXPECT_FALSE(CountQuery(*s_log->log, malformed));
    // A column held as a number (ID) is left to SQLite, which counts it.
    CountDescription ids{"ID", CountDescription::Bands::Pattern, {"14.0"}, ModeClass::All, QslStatus::Worked, false};
    const CountRequest request{ids, CountSql::text(ids)};
    EXPECT_FALSE(s_log->log->counter().count(ids));
    const Result<QString> viaSqlite = CountQuery(*s_log->log, request);
    ASSERT_TRUE(viaSqlite) << viaSqlite.error().toStdString();
    EXPECT_EQ(viaSqlite->toLong(), reference::qsoCount(s_log->rows, "14.0", 3, false));
    // A column the log does not have: the failure carries SQLite's reason.
    ids.entity = "NOPE";
    const Result<QString> missing = CountQuery(*s_log->log, CountRequest{ids, CountSql::text(ids)});
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains("NOPE")) << missing.error().toStdString();
}

TEST(CountsOfALargeLog, SplitOverBothCoresAgreeWithThePlainLoops)
{
    // Rows enough that a count looks at them on two threads, piece by piece.
    const OpenedLog large = openGenerated(280000, 23);
    const auto expectAgreed = [&](const CountRequest &request) { expectEvaluatorAgrees(large, request); };
    const QString all = QStringLiteral("*");
    for (const int r : {0, 5, 10})
        expectAgreed(CountSql::qso(all, r, r == 5));
    expectAgreed(AwardCountSql(QStringLiteral("DXC"), all, 13, true));
    expectAgreed(AwardCountSql(QStringLiteral("DXC"), QStringLiteral("1*"), 3, false));
    for (const QString &column : AwardColumns)
        expectAgreed(AwardCountSql(column, all, 1, false));
}
