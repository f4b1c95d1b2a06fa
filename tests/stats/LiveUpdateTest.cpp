// Following a logbook that is being written: which counts an update changed,
// which entities are new on a band, and the line that tells it, checked
// against plain loops over the rows of two versions of a generated logbook.
#include "stats/LiveUpdate.h"
#include "logbook/LogbookEngine.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

using Triple = std::tuple<int, int, std::string>; ///< position, mode class, folded entity

/// The entities of award kind `kind` worked on a position in CW, PHONE or
/// DATA in `after` but not in `before`, by plain loops.
std::set<Triple> expectedNew(const std::vector<genlog::LogRow> &before, const std::vector<genlog::LogRow> &after, int kind,
                             const QStringList &headers, bool ft8)
{
    const std::string column = std::string(AwardKinds::name(AwardKind(kind)));
    const auto worked = [&](const std::vector<genlog::LogRow> &rows, int position, ModeClass mode) {
        const CountDescription d{column, CountDescription::Bands::Pattern, {headers[position].toStdString()}, mode, QslStatus::Worked, ft8};
        std::set<std::string> seen;
        for (const genlog::LogRow &row : rows) {
            if (reference::counts(row, d))
                seen.insert(reference::folded(*reference::column(row, column)));
        }
        return seen;
    };
    std::set<Triple> out;
    for (int p = 0; p < int(headers.size()); ++p) {
        if (headers[p].trimmed().isEmpty())
            continue;
        for (const ModeClass mode : {ModeClass::Cw, ModeClass::Phone, ModeClass::Data}) {
            const std::set<std::string> old = worked(before, p, mode);
            for (const std::string &e : worked(after, p, mode)) {
                if (!old.count(e))
                    out.insert({p, int(mode), e});
            }
        }
    }
    return out;
}

class LiveUpdateTest : public testing::Test {
protected:
    std::shared_ptr<const LogSnapshot> snapshot(const std::vector<genlog::LogRow> &rows, const QString &name)
    {
        LogbookEngine engine;
        const auto log = engine.open(m_dir.write(rows, name));
        EXPECT_TRUE(log.ok()) << (log ? std::string() : log.error().toStdString());
        return log ? *log : nullptr;
    }

    TempLogbook m_dir;
};

} // namespace

TEST_F(LiveUpdateTest, NewEntitiesAreThoseWorkedOnABandInAClassForTheFirstTime)
{
    const std::vector<genlog::LogRow> all = genlog::generate(1400, 23);
    std::vector<genlog::LogRow> before(all.begin(), all.begin() + 1200);
    std::vector<genlog::LogRow> after = all;
    // An entity the log never had, one that differs from a known one only in
    // case (not new where that one is worked), and a known one on a band it
    // lacks in FT8.
    after.push_back(makeRow("21.0", "FT8", "N", "N", "XX9NEW"));
    const std::string known = *before.front().DXC;
    after.push_back(makeRow(before.front().Banda, before.front().Mode, "N", "N", QString::fromStdString(known).toLower().toStdString()));
    after.push_back(makeRow("10.1", "FT8", "Y", "N", known));
    const auto old = snapshot(before, QStringLiteral("before.mdb"));
    const auto now = snapshot(after, QStringLiteral("after.mdb"));
    ASSERT_TRUE(old && now);

    const QStringList headers = {"14.0", "", "21.0", "7.0", "10.1", "28*", "3.5"};
    for (const int kind : {0, 1, 5}) {
        for (const bool ft8 : {false, true}) {
            const auto found = LiveUpdate::newEntities(*old, *now, AwardKind(kind), headers, ft8);
            ASSERT_TRUE(found.ok()) << found.error().toStdString();
            std::set<Triple> got;
            for (size_t i = 0; i < found->size(); ++i) {
                const LiveUpdate::NewEntity &e = (*found)[i];
                got.insert({e.position, int(e.mode), reference::folded(e.entity.toStdString())});
                if (i > 0) {
                    const LiveUpdate::NewEntity &p = (*found)[i - 1];
                    EXPECT_TRUE(std::make_pair(p.position, int(p.mode)) <= std::make_pair(e.position, int(e.mode)))
                        << "by position and class";
                }
            }
            EXPECT_EQ(got.size(), found->size()) << "each entity once per band and class";
            EXPECT_EQ(got, expectedNew(before, after, kind, headers, ft8)) << "kind " << kind << " ft8 " << ft8;
            if (kind == 0) {
                EXPECT_TRUE(got.count({2, int(ModeClass::Data), "xx9new"}));
            }
        }
    }
    // Fewer contacts bring no entity; neither does the same version.
    const std::vector<genlog::LogRow> fewer(before.begin() + 100, before.end());
    const auto deleted = snapshot(fewer, QStringLiteral("fewer.mdb"));
    ASSERT_TRUE(deleted);
    EXPECT_TRUE(LiveUpdate::newEntities(*old, *deleted, AwardKind::Dxc, headers, false)->empty());
    EXPECT_TRUE(LiveUpdate::newEntities(*old, *old, AwardKind::Sqr, headers, true)->empty());
    EXPECT_FALSE(LiveUpdate::newEntities(*old, *now, AwardKind::Qso, headers, false).ok());
}

TEST(LiveUpdate, ApplyCopiesTheCountsLetThroughAndKeepsWhatTheyWere)
{
    StatsMatrix shown, fresh;
    shown.setCell(0, 0, QStringLiteral("38"));
    fresh.setCell(0, 0, QStringLiteral("39"));
    shown.setCell(1, 0, QStringLiteral("7"));
    fresh.setCell(1, 0, QStringLiteral("9")); // stale: stays
    shown.setCaption(Line::Mix, 3, QStringLiteral("120"));
    fresh.setCaption(Line::Mix, 3, QStringLiteral("121"));
    shown.setCaption(Line::Full, 15, QStringLiteral("4"));
    fresh.setCaption(Line::Full, 15, QStringLiteral("4"));
    fresh.setCountQso(QStringLiteral("QSOs: 3003"));
    shown.setHeader(0, QStringLiteral("14.0"));
    fresh.setHeader(0, QStringLiteral("7.0")); // headers are no counts
    int notices = 0;
    QObject::connect(&shown, &StatsMatrix::captionChanged, [&] { ++notices; });

    const auto changes =
        LiveUpdate::apply(shown, fresh, [](Line line, int index) { return !(line == Line::Lblstat && index == cell(1, 0)); });
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(shown.cell(0, 0), "39");
    EXPECT_EQ(shown.cell(1, 0), "7");
    EXPECT_EQ(shown.caption(Line::Mix, 3), "121");
    EXPECT_EQ(shown.header(0), "14.0");
    EXPECT_EQ(shown.countQso(), "QSOs: 3003");
    EXPECT_EQ(LiveUpdate::was(changes, Line::Lblstat, cell(0, 0)), QStringLiteral("38"));
    EXPECT_EQ(LiveUpdate::was(changes, Line::Mix, 3), QStringLiteral("120"));
    EXPECT_FALSE(LiveUpdate::was(changes, Line::Lblstat, cell(1, 0)));
    EXPECT_FALSE(LiveUpdate::was(changes, Line::Full, 15));
    EXPECT_FALSE(LiveUpdate::was(changes, Line::Tot, 3)) << "the same index on another line";
    EXPECT_EQ(LiveUpdate::wasHint(QStringLiteral("38")), "was 38");
}

TEST(LiveUpdate, TheNoteSaysWhatChanged)
{
    const QTime at(14, 2, 31);
    const QStringList headers = {"14.0", "", "21.0"};
    EXPECT_EQ(LiveUpdate::note(at, 3000, 3003, {}, headers, false), "Logbook updated 14:02:31: 3 new contacts (3,003 in all)");
    EXPECT_EQ(LiveUpdate::note(at, 3000, 3001, {}, headers, false), "Logbook updated 14:02:31: 1 new contact (3,001 in all)");
    EXPECT_EQ(LiveUpdate::note(at, 3000, 2999, {}, headers, false), "Logbook updated 14:02:31: 1 contact deleted (2,999 in all)");
    EXPECT_EQ(LiveUpdate::note(at, 1002000, 1000000, {}, headers, false),
              "Logbook updated 14:02:31: 2,000 contacts deleted (1,000,000 in all)");
    EXPECT_EQ(LiveUpdate::note(at, 3000, 3000, {}, headers, false), "Logbook updated 14:02:31: no contact added or deleted (3,000 in all)");
    EXPECT_EQ(LiveUpdate::note(at, std::nullopt, 3003, {}, headers, false), "Logbook updated 14:02:31: 3,003 contacts");

    const std::vector<LiveUpdate::NewEntity> two = {{0, ModeClass::Cw, "VP8"}, {2, ModeClass::Data, "3B8"}};
    EXPECT_EQ(LiveUpdate::note(at, 3000, 3003, two, headers, false),
              "Logbook updated 14:02:31: new: VP8 14.0 CW; 3B8 21.0 DATA - 3 new contacts (3,003 in all)");
    EXPECT_EQ(LiveUpdate::note(at, 3000, 3003, two, headers, true),
              "Logbook updated 14:02:31: new: VP8 14.0 CW; 3B8 21.0 FT8 - 3 new contacts (3,003 in all)");
    std::vector<LiveUpdate::NewEntity> many;
    for (int i = 0; i < 12; ++i)
        many.push_back({0, ModeClass::Phone, QStringLiteral("E%1").arg(i)});
    const QString text = LiveUpdate::note(at, 10, 22, many, headers, false);
    EXPECT_TRUE(text.contains("E9 14.0 PHONE and 2 more - 12 new contacts (22 in all)")) << text.toStdString();
    EXPECT_FALSE(text.contains("E10"));

    EXPECT_EQ(LiveUpdate::countFailureNote(at, QStringLiteral("no such column: DXC")),
              "Logbook read 14:02:31, but the counts could not be made again (no such column: DXC)");
    EXPECT_EQ(LiveUpdate::failureNote(31, QStringLiteral("the logbook changed while it was read: /x/adt.mdb")),
              "The logbook changed and has not been read whole for 31 s: still trying (the logbook changed while it was read: /x/adt.mdb)");
}
