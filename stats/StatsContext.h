#pragma once
#include "logbook/LoadedLog.h"
#include "logbook/LogbookEngine.h"
#include "logbook/types/Prompter.h"
#include "stats/RunHooks.h"
#include "stats/StatsMatrix.h"

/// What a statistics computation works with. The window passes its own
/// logbook, grid, prompter and hooks; the headless report passes quiet ones.
struct StatsContext {
    const LoadedLog &log;
    StatsMatrix &matrix;
    LogbookEngine &engine;
    Prompter &prompter;
    RunHooks hooks = {};
};
