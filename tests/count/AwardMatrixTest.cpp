// The award matrix against plain loops over generated rows (case variants,
// '??', '' and NULL entities, NULL and '' bands and modes): the worked and
// confirmed cells of each band add up to the grid's WORKED and CONFIRMED
// counts there, for every kind and class; the DXCC Challenge against its own
// loop.
#include "logbook/count/AwardMatrix.h"
#include "entities/EntityTable.h"
#include "stats/MatrixReport.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/ReferenceCounts.h"

#include <gtest/gtest.h>
#include <set>

using namespace counttest;
using namespace CountSlotIndex;

namespace {

const ModeClass Classes[] = {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All};

const char *const CountryFile = "3B8,Mauritius,165,AF,39,53,-20.35,-57.50,-4.0,3B8;\n"
                                "VK,Australia,150,OC,30,55,-23.70,-132.33,-10.0,AX VH VI VJ VK VL VM VN VZ =VK9XX;\n"
                                "VK9X,Christmas Island,35,OC,29,54,-10.48,-105.63,-7.0,AX9X VI9X VK9X(29)[54] VZ9X;\n"
                                "I,Italy,248,EU,15,28,42.82,-12.58,-1.0,I;\n"
                                "*IT9,Sicily,248,EU,15,28,37.50,-14.00,-1.0,IT9 IB9;\n"
                                "OK,Czech Republic,503,EU,15,28,50.00,-16.00,-1.0,OK OL;\n";

} // namespace

class AwardMatrixTotals : public testing::Test {
protected:
    static void SetUpTestSuite() { s_log = new OpenedLog(openGenerated(2500, 29)); }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }
    static OpenedLog *s_log;
};

OpenedLog *AwardMatrixTotals::s_log = nullptr;

TEST_F(AwardMatrixTotals, ColumnTotalsAreTheGridsWorkedAndConfirmedCells)
{
    const std::vector<std::string> bands = {"14.0", "", "7.0", "2m", "1*", "10G", "7"};
    for (int kind = 0; kind < 6; ++kind) {
        const std::string column = awardColumns()[size_t(kind)];
        for (const bool ft8 : {false, true}) {
            for (const ModeClass m : Classes) {
                const auto matrix = AwardMatrix::compute(s_log->log->columnar(), {column, bands, m, ft8});
                ASSERT_TRUE(matrix);
                ASSERT_EQ(matrix->positions.size(), bands.size() - 1);
                for (size_t col = 0; col < matrix->positions.size(); ++col) {
                    const std::string &band = bands[size_t(matrix->positions[col])];
                    EXPECT_EQ(matrix->worked(col), reference::entityCount(s_log->rows, kind, {band}, slot(QslStatus::Worked, m), ft8))
                        << column << " " << band << " class " << int(m) << " ft8 " << ft8;
                    EXPECT_EQ(matrix->confirmed(col), reference::entityCount(s_log->rows, kind, {band}, slot(QslStatus::Confirmed, m), ft8))
                        << column << " " << band << " class " << int(m) << " ft8 " << ft8;
                }
                // A row per distinct usable entity of the log, whatever its bands and modes.
                std::set<std::string> entities;
                for (const genlog::LogRow &row : s_log->rows) {
                    const genlog::Text &v = reference::column(row, column);
                    if (v && !v->empty() && *v != "??")
                        entities.insert(reference::folded(*v));
                }
                EXPECT_EQ(matrix->entities.size(), entities.size()) << column;
            }
        }
    }
}

TEST_F(AwardMatrixTotals, DxccChallengeCountsConfirmedSlotsOfCurrentEntities)
{
    const EntityTable table = EntityTable::fromCountryFile(CountryFile);
    const auto r = MatrixReport::report(*s_log->log, QStringLiteral("DXC"), {QStringLiteral("14.0")}, ModeClass::All, false, table);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->dxcc);
    // Plain loop: confirmed (entity, Challenge band) pairs of current entities, every mode.
    std::set<std::pair<int, std::string>> taken;
    std::set<std::string> worked, workedCurrent;
    for (const genlog::LogRow &row : s_log->rows) {
        if (!row.DXC || row.DXC->empty() || *row.DXC == "??" || !row.Mode || !row.Banda)
            continue;
        const DxccEntity *e = table.lookup(*row.DXC);
        worked.insert(reference::folded(*row.DXC));
        if (e && !e->deleted)
            workedCurrent.insert(reference::folded(*row.DXC));
        if (!e || e->deleted || !row.R || *row.R != "Y")
            continue;
        for (const QString &b : MatrixReport::challengeBands()) {
            if (*reference::like(b.toStdString(), *row.Banda))
                taken.emplace(e->adif, b.toStdString());
        }
    }
    EXPECT_EQ(r->dxcc->challenge, long(taken.size()));
    EXPECT_GT(r->dxcc->challenge, 0);
    EXPECT_EQ(r->dxcc->worked, reference::entityCount(s_log->rows, 0, {"*"}, slot(QslStatus::Worked, ModeClass::All), false));
    EXPECT_EQ(r->dxcc->worked, long(worked.size()));
    EXPECT_EQ(r->dxcc->workedCurrent, long(workedCurrent.size()));
    EXPECT_EQ(r->dxcc->worked, r->dxcc->workedCurrent + r->dxcc->workedDeleted + r->dxcc->workedUnknown);
    // Names for DXC rows: a known one named, an unknown one kept with its text and no name.
    bool named = false, kept = false;
    for (const MatrixReport::Row &row : r->rows) {
        named |= row.entity.compare(QStringLiteral("3B8"), Qt::CaseInsensitive) == 0 && row.name == QStringLiteral("Mauritius");
        kept |= row.entity.compare(QStringLiteral("ZS"), Qt::CaseInsensitive) == 0 && row.name.isEmpty();
    }
    EXPECT_TRUE(named);
    EXPECT_TRUE(kept);
}
