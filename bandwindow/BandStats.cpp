#include "bandwindow/BandStats.h"

#include "logbook/count/CountSlot.h"
#include "stats/CountRun.h"
#include "stats/CountSql.h"
#include "stats/GridTexts.h"
#include "stats/StatsMessages.h"

using namespace CountSlotIndex;

void VarkelLOG(BandContext &ctx)
{
    CountRun run(ctx.engine, ctx.log, ctx.prompter, ctx.hooks, StatsMessages::QsoError, StatsMessages::QsoNrTitle);
    if (!run.open())
        return;
    const auto total = run.count(CountSql::totalQsos());
    if (!total)
        return;
    ctx.matrix.setCountQso(GridTexts::qsoCaption(*total));
    for (int r = 0; r < Slots; ++r) {
        const auto n = run.count(CountSql::qso(ctx.band, r, ctx.hooks.ft8()));
        if (!n)
            return;
        ctx.matrix.setCaption(BandMatrix::cell(r, 0), *n);
        if (!run.yield())
            return;
    }
}

void VarkelDXC(BandContext &ctx, int row)
{
    CountRun run(ctx.engine, ctx.log, ctx.prompter, ctx.hooks, StatsMessages::EntityError, StatsMessages::StatsTitle);
    if (!run.open())
        return;
    const QString column = BandMatrix::rowTitles()[size_t(row)];
    run.fillSlots([&](int r) { return AwardCountSql(column, ctx.band, r, ctx.hooks.ft8()); },
                  [&](int r) { return ctx.matrix.caption(BandMatrix::cell(r, row)); },
                  [&](int r, const QString &n) { ctx.matrix.setCaption(BandMatrix::cell(r, row), n); });
}

void startBandRun(BandContext &ctx)
{
    ctx.prompter.beep();
    for (int i = 1; i < BandMatrix::Cells; ++i)
        ctx.matrix.setCaption(i, GridTexts::NotComputed);
    VarkelLOG(ctx);
    for (int row = 1; row < BandMatrix::Rows && !ctx.hooks.stopping(); ++row)
        VarkelDXC(ctx, row);
    if (!ctx.hooks.stopping())
        ctx.prompter.beep();
}
