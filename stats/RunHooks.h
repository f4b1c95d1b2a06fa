#pragma once
#include <functional>

/// What a count run asks of whoever started it, between its queries. The
/// defaults are those of a run nobody watches: no pause, the FT8 option off,
/// never stopped.
struct RunHooks {
    /// Called between queries: the window processes pending events here.
    std::function<void()> yield = [] {};
    /// The FT8 option (FT8chk), read each time a DATA text is built.
    std::function<bool()> ft8 = [] { return false; };
    /// True once the run must end at once (the window is closing); checked after each yield.
    std::function<bool()> stopping = [] { return false; };

    /// A run nobody watches, with the FT8 option fixed.
    static RunHooks fixedFt8(bool on)
    {
        RunHooks hooks;
        hooks.ft8 = [on] { return on; };
        return hooks;
    }

    /// Yields; false when the run must end at once.
    bool pause() const
    {
        yield();
        return !stopping();
    }
};
