#pragma once
#include "LoadedLog.h"
#include "LogbookEngine.h"
#include "Prompter.h"
#include "RunHooks.h"
#include "StatsMatrix.h"

/// What a statistics computation works with. The window passes its own
/// logbook, grid, prompter and hooks; the headless report passes quiet ones.
struct StatsContext {
    const LoadedLog &log;
    StatsMatrix &matrix;
    LogbookEngine &engine;
    Prompter &prompter;
    RunHooks hooks = {};
};
