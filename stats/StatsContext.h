#pragma once
#include "LoadedLog.h"
#include "LogbookEngine.h"
#include "Prompter.h"
#include "StatsMatrix.h"

#include <functional>

/// What a statistics computation works with. The window passes its own
/// logbook, grid, prompter and hooks; the headless report passes quiet ones.
struct StatsContext {
    const LoadedLog &log;
    StatsMatrix &matrix;
    LogbookEngine &engine;
    Prompter &prompter;
    /// Called between queries: the window processes pending events here.
    std::function<void()> yield = [] {};
    /// The FT8 option (FT8chk), read each time a DATA text is built.
    std::function<bool()> ft8 = [] { return false; };
    /// True once the run must end at once (the window is closing); checked after each yield.
    std::function<bool()> stopping = [] { return false; };
};
