#pragma once
#include "logbook/CountQuery.h"
#include "logbook/LoadedLog.h"
#include "logbook/LogbookEngine.h"
#include "logbook/types/Prompter.h"
#include "stats/RunHooks.h"

#include <functional>
#include <optional>

/// One computation's access to the logbook: the snapshot it opened, the yield
/// between queries, and the message it shows, once, when anything fails (with
/// the engine's reason beneath it).
class CountRun {
public:
    CountRun(LogbookEngine &engine, const LoadedLog &loaded, Prompter &prompter, RunHooks hooks, QString errorText, QString errorTitle);

    /// Opens the logbook; false after the failure message.
    bool open();
    /// A count, or nothing after the failure message.
    std::optional<QString> count(const CountRequest &request);
    /// Lets the window breathe; false when the run must end at once.
    bool yield();

    /// Fills the count slots 0..15 of one line in order: the count of `text(r)`
    /// for a slot, worked minus confirmed of the same mode class for the NOT
    /// CONFIRMED block (read back with `get` from the captions just written).
    /// Yields after each slot; false when the run ended.
    bool fillSlots(const std::function<CountRequest(int)> &request, const std::function<QString(int)> &get,
                   const std::function<void(int, const QString &)> &set);

private:
    bool fail(const QString &reason);

    LogbookEngine &m_engine;
    const LoadedLog &m_loaded;
    Prompter &m_prompter;
    RunHooks m_hooks;
    QString m_errorText;
    QString m_errorTitle;
    std::shared_ptr<const LogSnapshot> m_log;
};
