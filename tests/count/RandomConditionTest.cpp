// Thousands of random count texts of the evaluator's forms: the evaluator
// answers each one, with the number the SQLite snapshot gives.
#include "CountTestLog.h"
#include "RandomCondition.h"

#include <gtest/gtest.h>

using namespace counttest;

namespace {

void compareRandomTexts(const OpenedLog &log, uint32_t seed, int texts)
{
    RandomCondition random(*log.db, seed);
    int answered = 0;
    int nonZero = 0;
    for (int i = 0; i < texts; ++i) {
        const QString text = random.countText();
        const std::optional<CountAnswer> got = evaluatorCount(*log.db, text);
        const std::optional<QString> expected = sqliteCount(*log.db, text);
        if (!got) {
            EXPECT_TRUE(random.mayBeMalformed()) << "left to SQLite: " << text.toStdString();
            continue;
        }
        ++answered;
        ASSERT_TRUE(expected) << "SQLite refused a text the evaluator answered: " << text.toStdString();
        EXPECT_EQ(QString::number(got->count), *expected) << text.toStdString();
        if (*expected != QLatin1String("0"))
            ++nonZero;
    }
    // The texts must be worth something: most answered, many counting rows.
    EXPECT_GT(answered, texts * 9 / 10);
    EXPECT_GT(nonZero, texts / 3);
}

} // namespace

TEST(RandomConditions, GeneratedLogOfThreeThousandContacts)
{
    const OpenedLog log = openGenerated(3000, 5);
    compareRandomTexts(log, 101, 2500);
}

TEST(RandomConditions, SmallLogFullOfCaseVariants)
{
    const OpenedLog log = openGenerated(60, 9);
    compareRandomTexts(log, 202, 2500);
}
