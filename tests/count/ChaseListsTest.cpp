// The chase lists against plain loops over the generated rows (case variants,
// '??', '' and NULL entities included): each QSL chase list of a band and mode
// class holds the entities behind its NOT CONFIRMED cell with every contact of
// theirs there, newest first; the band-slot list holds every entity worked in
// the class elsewhere but never on the band, with the bands it is worked on
// by frequency whatever the desktop's locale (the suite runs once more under a
// decimal-comma one).
#include "logbook/count/ChaseLists.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/ReferenceCounts.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace counttest;
using namespace CountSlotIndex;

namespace {

const ModeClass Classes[] = {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All};

/// The band labels of the log as an operator reads them, in capitals: by the
/// number they start with, a tie as text ("10G" is 10, before "10.1").
const std::vector<std::string> BandOrder = {"",     "0.134", "1.8",  "2M",   "3.5",  "5.3",  "7",    "7.0", "10G",
                                            "10.1", "14.0",  "18.1", "21.0", "24G",  "24.9", "28.0", "40M", "50",
                                            "70",   "144",   "220",  "430",  "1200", "2400", "5600"};

/// Folded entity -> callsigns of its contacts in a QSL chase.
std::map<std::string, std::multiset<std::string>> callsigns(const std::map<std::string, std::vector<const genlog::LogRow *>> &chase)
{
    std::map<std::string, std::multiset<std::string>> out;
    for (const auto &[entity, contacts] : chase) {
        for (const genlog::LogRow *row : contacts)
            out[entity].insert(*row->Callsign);
    }
    return out;
}

class ChaseLists : public testing::TestWithParam<std::tuple<int, bool>> {
protected:
    static void SetUpTestSuite() { s_log = new OpenedLog(openGenerated(2500, 23, neverConfirmedRows())); }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }
    static OpenedLog *s_log;
};

OpenedLog *ChaseLists::s_log = nullptr;

} // namespace

TEST_P(ChaseLists, QslChaseHoldsTheNotConfirmedEntitiesWithTheirContacts)
{
    const auto [kind, ft8] = GetParam();
    const std::string column = awardColumns()[size_t(kind)];
    const std::vector<std::string> bands = {"14.0", "", "7.0", "2m", "1*", "10G"};
    const auto lists = Chase::lists(s_log->log->columnar(), {column, bands, ft8});
    ASSERT_TRUE(lists);
    const ColumnarLog &log = s_log->log->columnar();
    for (int p = 0; p < int(bands.size()); ++p) {
        for (const ModeClass m : Classes) {
            std::vector<const Chase::QslEntry *> entries;
            for (const Chase::QslEntry &e : lists->qsl) {
                if (e.position == p && e.mode == m)
                    entries.push_back(&e);
            }
            if (bands[size_t(p)].empty()) {
                EXPECT_TRUE(entries.empty());
                continue;
            }
            // As many entities as the NOT CONFIRMED cell, and the same ones.
            EXPECT_EQ(long(entries.size()),
                      reference::entityCount(s_log->rows, kind, {bands[size_t(p)]}, slot(QslStatus::NotConfirmed, m), ft8))
                << column << " " << bands[size_t(p)] << " class " << int(m);
            const auto expected = callsigns(reference::qslChase(s_log->rows, column, bands[size_t(p)], m, ft8));
            std::map<std::string, std::multiset<std::string>> got;
            for (const Chase::QslEntry *e : entries) {
                std::multiset<std::string> &calls = got[reference::folded(std::string(e->entity))];
                std::string_view before = "9999";
                for (const size_t row : e->rows) {
                    const Chase::Contact c = Chase::ContactReader(log)(row);
                    calls.insert(std::string(c.callsign));
                    EXPECT_LE(c.date, before) << "newest first";
                    before = c.date;
                }
            }
            EXPECT_EQ(got, expected) << column << " " << bands[size_t(p)] << " class " << int(m);
        }
    }
}

TEST_P(ChaseLists, BandSlotChaseHoldsWhatIsWorkedElsewhereButNotOnTheBand)
{
    const auto [kind, ft8] = GetParam();
    const std::string column = awardColumns()[size_t(kind)];
    const std::vector<std::string> bands = {"3.5", "14.0", "24G", "7"};
    const auto lists = Chase::lists(s_log->log->columnar(), {column, bands, ft8});
    ASSERT_TRUE(lists);
    // Entities confirmed elsewhere and entities only worked elsewhere: the flag is told apart.
    std::set<bool> flags;
    for (int p = 0; p < int(bands.size()); ++p) {
        for (const ModeClass m : Classes) {
            std::map<std::string, reference::SlotFacts> got;
            for (const Chase::SlotEntry &e : lists->bandSlots) {
                if (e.position != p || e.mode != m)
                    continue;
                got[reference::folded(std::string(e.entity))] = {e.confirmed, {e.workedOn.begin(), e.workedOn.end()}};
                std::vector<long> ranks;
                for (const std::string_view band : e.workedOn) {
                    std::string capitals(band);
                    std::transform(capitals.begin(), capitals.end(), capitals.begin(), [](unsigned char c) { return std::toupper(c); });
                    ranks.push_back(std::find(BandOrder.begin(), BandOrder.end(), capitals) - BandOrder.begin());
                }
                EXPECT_TRUE(std::is_sorted(ranks.begin(), ranks.end())) << e.entity << " " << testing::PrintToString(ranks);
                EXPECT_LT(ranks.empty() ? 0 : ranks.back(), long(BandOrder.size())) << e.entity;
            }
            const auto expected = reference::bandSlotChase(s_log->rows, column, bands[size_t(p)], m, ft8);
            EXPECT_EQ(got, expected) << column << " " << bands[size_t(p)] << " class " << int(m);
            for (const auto &[entity, facts] : expected)
                flags.insert(facts.confirmed);
        }
    }
    EXPECT_EQ(flags, std::set<bool>({false, true})) << column;
}

INSTANTIATE_TEST_SUITE_P(KindsAndFt8, ChaseLists, testing::Combine(testing::Values(0, 3, 5), testing::Bool()), [](const auto &info) {
    return awardColumns()[size_t(std::get<0>(info.param))] + (std::get<1>(info.param) ? "_ft8" : "_data");
});
