#include "stats/Computations.h"

#include "bands/BandSet.h"
#include "stats/CountRun.h"
#include "stats/StatsMessages.h"

#include "logbook/CountQuery.h"
#include "logbook/types/ForwardingPrompter.h"
#include "stats/CountSql.h"
#include "stats/GridTexts.h"
#include "stats/Val.h"

#include <cmath>
#include <cstdint>

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;
using namespace StatsMessages;

namespace {

bool writeTotalQsos(CountRun &run, StatsContext &ctx)
{
    const auto total = run.count(CountSql::totalQsos());
    if (!total)
        return false;
    ctx.matrix.setCountQso(GridTexts::qsoCaption(*total));
    return run.yield();
}

/// The LOG column of the last run's award kind.
QString awardColumn(const StatsContext &ctx) { return GridTexts::kindCaption(ctx.matrix.kind()); }

/// The slots of a line after the bands (MIX, FULL), in order, until the run ends.
void fillLine(CountRun &run, StatsContext &ctx, Line line, const std::function<CountRequest(int)> &request)
{
    run.fillSlots(
        request, [&](int r) { return ctx.matrix.caption(line, r); }, [&](int r, const QString &n) { ctx.matrix.setCaption(line, r, n); });
}

/// The grid's cells: the QSO total, the cells set to "-", then every band
/// position that holds a band counted by `countBand` (false ends the computation).
void countBands(StatsContext &ctx, const QString &errorText, const QString &errorTitle,
                const std::function<bool(CountRun &, int, const QString &)> &countBand)
{
    CountRun run(ctx.engine, ctx.log, ctx.prompter, ctx.hooks, errorText, errorTitle);
    if (!run.open() || !writeTotalQsos(run, ctx))
        return;
    ctx.matrix.fill(Line::Lblstat, GridTexts::NotComputed);
    for (int c = 0; c < Bands; ++c) {
        const QString band = ctx.matrix.header(c);
        if (!BandSet::isBlank(band) && !countBand(run, c, band))
            return;
    }
}

/// The FULL line: the whole log's count of every slot (`request`), after the
/// line `cleared` was set to "-".
void countFullLog(StatsContext &ctx, const QString &errorText, Line cleared, const std::function<CountRequest(int)> &request)
{
    CountRun run(ctx.engine, ctx.log, ctx.prompter, ctx.hooks, errorText, FullLogTitle);
    if (!run.open())
        return;
    ctx.matrix.fill(cleared, GridTexts::NotComputed);
    fillLine(run, ctx, Line::Full, request);
}

/// Passes messages on and counts them; no beeps.
class CountingPrompter : public ForwardingPrompter {
public:
    using ForwardingPrompter::ForwardingPrompter;
    int message(const QString &text, int flags, const QString &title, const QString &detail) override
    {
        ++messages;
        return ForwardingPrompter::message(text, flags, title, detail);
    }
    void beep() override {}

    int messages = 0;
};

} // namespace

void ComputeQsoCounts(StatsContext &ctx)
{
    countBands(ctx, QsoError, QsoNrTitle, [&](CountRun &run, int c, const QString &band) {
        for (int r = 0; r < Slots; ++r) {
            const auto n = run.count(CountSql::qso(band, r, ctx.hooks.ft8()));
            if (!n)
                return false;
            ctx.matrix.setCell(c, r, *n);
            if (!run.yield())
                return false;
        }
        return true;
    });
}

void ComputeFullLogQsoTotals(StatsContext &ctx)
{
    countFullLog(ctx, QsoError, Line::Tot, [&](int r) { return CountSql::qso(CountSql::WholeLog, r, ctx.hooks.ft8()); });
}

void ComputeAwardCounts(StatsContext &ctx)
{
    const QString column = awardColumn(ctx);
    countBands(ctx, EntityError, StatsTitle, [&](CountRun &run, int c, const QString &band) {
        return run.fillSlots([&](int r) { return AwardCountSql(column, band, r, ctx.hooks.ft8()); },
                             [&](int r) { return ctx.matrix.cell(c, r); }, [&](int r, const QString &n) { ctx.matrix.setCell(c, r, n); }) &&
               run.yield();
    });
}

void ComputeFullLogAwardTotals(StatsContext &ctx)
{
    const QString column = awardColumn(ctx);
    countFullLog(ctx, EntityError, Line::Full, [&](int r) { return AwardCountSql(column, CountSql::WholeLog, r, ctx.hooks.ft8()); });
}

void BandMixed(StatsContext &ctx)
{
    CountRun run(ctx.engine, ctx.log, ctx.prompter, ctx.hooks, EntityError, MixTitle);
    if (!run.open())
        return;
    const QStringList headers = ctx.matrix.headers();
    if (BandSet(headers).activeCount() == 0)
        return;
    const QString column = awardColumn(ctx);
    fillLine(run, ctx, Line::Mix, [&](int r) { return CountSql::mix(column, headers, r, ctx.hooks.ft8()); });
}

void SumSlotTotals(StatsMatrix &matrix)
{
    for (int r = 0; r < Slots; ++r) {
        int32_t total = 0;
        for (int c = 0; c < Bands; ++c)
            total = int32_t(std::nearbyint(double(total) + Val::of(matrix.cell(c, r))));
        matrix.setCaption(Line::Tot, r, QString::number(total));
    }
}

bool runStatistics(StatsContext &ctx, AwardKind kind)
{
    if (!ctx.log.hasLog()) {
        ctx.prompter.message(NoLogbook, MsgFlags::Information, QString());
        return false;
    }
    ctx.prompter.beep();
    ctx.matrix.setKind(kind);
    for (int r = 0; r < Slots; ++r) {
        ctx.matrix.setCaption(Line::Tot, r, GridTexts::NotComputed);
        ctx.matrix.setCaption(Line::Full, r, GridTexts::NotComputed);
        ctx.matrix.setCaption(Line::Mix, r, GridTexts::NotComputed);
    }
    using Step = void (*)(StatsContext &);
    const std::vector<Step> steps = AwardKinds::countsEntities(kind)
                                        ? std::vector<Step>{ComputeAwardCounts, ComputeFullLogAwardTotals, BandMixed}
                                        : std::vector<Step>{ComputeQsoCounts, ComputeFullLogQsoTotals};
    for (Step step : steps) {
        step(ctx);
        if (ctx.hooks.stopping())
            return true;
    }
    SumSlotTotals(ctx.matrix);
    ctx.prompter.beep();
    return true;
}

bool runDetached(StatsMatrix &matrix, const LoadedLog &logbook, LogbookEngine &engine, Prompter &prompter, AwardKind kind,
                 const QStringList &headers, bool ft8)
{
    for (int c = 0; c < Bands; ++c)
        matrix.setHeader(c, headers.value(c));
    CountingPrompter counting(prompter);
    StatsContext ctx{logbook, matrix, engine, counting, RunHooks::fixedFt8(ft8)};
    runStatistics(ctx, kind);
    return counting.messages == 0;
}
