#pragma once
#include "bandwindow/BandMatrix.h"
#include "logbook/LoadedLog.h"
#include "logbook/LogbookEngine.h"
#include "logbook/types/Prompter.h"
#include "stats/RunHooks.h"

/// What the single-band computations work with.
struct BandContext {
    const LoadedLog &log;
    QString band; ///< the band counted (the single-band window's band)
    BandMatrix &matrix;
    LogbookEngine &engine;
    Prompter &prompter;
    RunHooks hooks = {};
};

/// The QSO row of the chosen band, and the QSO total.
void VarkelLOG(BandContext &ctx);
/// The row of one entity kind (row 1..6) of the chosen band.
void VarkelDXC(BandContext &ctx, int row);
/// "START": every row of the chosen band, the same count texts as the main grid.
void startBandRun(BandContext &ctx);
