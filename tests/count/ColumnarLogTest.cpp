// The columnar copy itself: rows grouped by band with nothing lost, folded
// ids, narrow id storage, a large dictionary counted, and every value of the
// snapshot kept.
#include "logbook/count/ColumnarLogBuilder.h"
#include "logbook/jet/JetText.h"
#include "tests/count/CountTestLog.h"

#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

using Cell = ColumnarLogBuilder::Cell;

TEST(ColumnarLog, RowsAreGroupedByBandInTableOrder)
{
    ColumnarLogBuilder builder({"No", "banda", "Mode"});
    std::mt19937 rng(3);
    const char *const bands[] = {"14.0", "7.0", "14.0 ", "2m", "2M", ""};
    std::vector<std::pair<std::string, std::string>> added;
    for (int i = 0; i < 10000; ++i) {
        const std::string no = std::to_string(i);
        const int b = int(rng() % 7);
        const Cell band = b == 6 ? Cell() : Cell(bands[b]);
        builder.addRow({no, band, "CW"});
        added.emplace_back(band ? std::string(*band) : "<NULL>", no);
    }
    const auto log = builder.finish();
    ASSERT_EQ(log->rowCount(), added.size());
    EXPECT_EQ(log->bandColumn(), 1);

    // Each group holds its band's rows, in the order they were added.
    std::map<std::string, std::vector<std::string>> expected, got;
    for (const auto &[band, no] : added)
        expected[band].push_back(no);
    size_t covered = 0;
    for (const ColumnarLog::BandGroup &g : log->bandGroups()) {
        EXPECT_EQ(g.begin, covered);
        covered = g.end;
        for (size_t r = g.begin; r < g.end; ++r) {
            const auto band = log->value(1, r);
            ASSERT_EQ(log->column(1).ids().at(r), g.band);
            got[band ? std::string(*band) : "<NULL>"].push_back(std::string(*log->value(0, r)));
        }
    }
    EXPECT_EQ(covered, log->rowCount());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(log->bandGroups().size(), 7u); // 2m and 2M are two groups: groups follow exact texts
}

TEST(ColumnarLog, FoldedIdsJoinTextsEqualWithoutRegardToCase)
{
    ColumnarLogBuilder builder({"DXC"});
    for (const char *v : {"DL", "dl", "Dl", "DM", "",
                          "\xC3\x80"
                          "B",
                          "\xC3\xA0"
                          "b",
                          "\xE2\x84\xAA", "k", "K"})
        builder.addRow({Cell(v)});
    builder.addRow({Cell()});
    const auto log = builder.finish();
    EXPECT_EQ(log->bandColumn(), -1);
    ASSERT_EQ(log->bandGroups().size(), 1u);
    const ColumnarLog::FoldedIds &f = log->folded(0);
    const TextDictionary &dict = log->column(0).dictionary();
    ASSERT_EQ(f.of.size(), dict.size());
    EXPECT_EQ(f.of[TextDictionary::Null], 0u);
    for (uint32_t a = 1; a < dict.size(); ++a) {
        EXPECT_NE(f.of[a], 0u);
        for (uint32_t b = 1; b < dict.size(); ++b)
            EXPECT_EQ(f.of[a] == f.of[b], JetText::compare(dict.text(a), dict.text(b)) == 0) << dict.text(a) << " / " << dict.text(b);
    }
    // {DL dl Dl} {DM} {''} {ÀB àb} {KELVIN k K}, and NULL
    EXPECT_EQ(f.count, 6u);
}

TEST(ColumnarLog, IdsTakeTheNarrowestWidth)
{
    ColumnarLogBuilder builder({"Small", "Middle", "Large"});
    for (int i = 0; i < 70000; ++i)
        builder.addRow({std::to_string(i % 200), std::to_string(i % 3000), std::to_string(i)});
    const auto log = builder.finish();
    EXPECT_EQ(log->column(0).ids().width(), 1);
    EXPECT_EQ(log->column(1).ids().width(), 2);
    EXPECT_EQ(log->column(2).ids().width(), 4);
    for (size_t r = 0; r < log->rowCount(); r += 997)
        EXPECT_EQ(std::stoi(std::string(*log->value(2, r))) % 3000, std::stoi(std::string(*log->value(1, r))));
}

TEST(ColumnarLog, ColumnsThatAreNotTextKeepOnlyTheirNames)
{
    ColumnarLogBuilder builder({"ID", "Banda"}, {false, true});
    builder.addRow({"1", "14.0"});
    builder.dropColumn(1);
    builder.addRow({"2", "7.0"});
    const auto log = builder.finish();
    EXPECT_EQ(log->findColumn("id"), 0);
    EXPECT_FALSE(log->column(0).text);
    EXPECT_FALSE(log->column(1).text);
    EXPECT_EQ(log->bandColumn(), -1);
    CountEvaluator counter(log);
    EXPECT_FALSE(counter.count(CountDescription{{}, CountDescription::Bands::Pattern, {"14.0"}, ModeClass::All, QslStatus::Worked, false}));
    EXPECT_EQ(counter.count(CountDescription{}), 2);
}

TEST(ColumnarLog, LargeDictionaryCountsAsPlainLoopsDo)
{
    // Tens of thousands of distinct calls in mixed case: four-byte ids and a
    // dictionary too big for one core's table fill.
    ColumnarLogBuilder builder({"Banda", "Callsign", "Mode"});
    std::mt19937 rng(8);
    const char *const bands[] = {"14.0", "7.0", "21.0", "144"};
    std::map<std::string, std::set<std::string>> callsByBand;
    for (int i = 0; i < 90000; ++i) {
        std::string call;
        for (int k = 0; k < 5; ++k) {
            const int x = int(rng() % 36);
            call += x < 10 ? char('0' + x) : char((rng() % 2 ? 'a' : 'A') + x - 10);
        }
        const std::string band = bands[rng() % 4];
        builder.addRow({band, call, "CW"});
        std::string folded = call;
        for (char &c : folded)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        callsByBand[band].insert(folded);
        callsByBand["*"].insert(folded);
    }
    const auto log = builder.finish();
    EXPECT_EQ(log->column(1).ids().width(), 4);
    CountEvaluator counter(log);
    for (const auto &[band, calls] : callsByBand) {
        const CountDescription description{"Callsign", CountDescription::Bands::Pattern, {band}, ModeClass::Cw, QslStatus::Worked, false};
        EXPECT_EQ(counter.count(description), int64_t(calls.size())) << band;
    }
}

TEST(ColumnarLog, TheEngineKeepsEveryValueOfTheSnapshot)
{
    const counttest::OpenedLog log = counttest::openGenerated(1500, 17);
    const ColumnarLog *columnar = &log.log->columnar();
    EXPECT_EQ(qsizetype(columnar->rowCount()), qsizetype(log.rows.size()));
    EXPECT_EQ(columnar->column(size_t(columnar->bandColumn())).name, "Banda");
    for (size_t c = 0; c < columnar->columnCount(); ++c) {
        const std::string &name = columnar->column(c).name;
        if (name == "ID") {
            EXPECT_FALSE(columnar->column(c).text) << "a Long column";
            continue;
        }
        ASSERT_TRUE(columnar->column(c).text) << name;
        // The same texts, NULLs included, as SQLite holds them (row order aside).
        const Result<QueryTable> t =
            log.log->database().select(QStringLiteral("SELECT [%1] FROM LOG ORDER BY rowid").arg(QString::fromStdString(name)));
        ASSERT_TRUE(t) << name;
        std::multiset<std::string> expected, got;
        std::vector<std::string> firstSeen; // the distinct texts in the order the table's rows first give them
        std::set<std::string> seen;
        for (qsizetype r = 0; r < t->rowCount(); ++r) {
            expected.insert(t->at(r, 0).isNull() ? std::string("<NULL>") : "=" + t->at(r, 0).toStdString());
            if (!t->at(r, 0).isNull() && seen.insert(t->at(r, 0).toStdString()).second)
                firstSeen.push_back(t->at(r, 0).toStdString());
        }
        // Ids follow that order, whether the column came as a dictionary or as plain texts (TDate).
        const TextDictionary &dictionary = columnar->column(c).dictionary();
        ASSERT_EQ(size_t(dictionary.size()), firstSeen.size() + 1) << name;
        for (uint32_t id = 1; id < dictionary.size(); ++id)
            ASSERT_EQ(std::string(dictionary.text(id)), firstSeen[id - 1]) << name << " id " << id;
        for (size_t r = 0; r < columnar->rowCount(); ++r) {
            const auto v = columnar->value(c, r);
            got.insert(v ? "=" + std::string(*v) : std::string("<NULL>"));
        }
        EXPECT_EQ(got, expected) << name;
    }
}
