#include "stats/CountRun.h"

#include "logbook/CountQuery.h"
#include "logbook/count/CountSlot.h"
#include "stats/Val.h"

CountRun::CountRun(LogbookEngine &engine, const LoadedLog &loaded, Prompter &prompter, RunHooks hooks, QString errorText,
                   QString errorTitle)
    : m_engine(engine), m_loaded(loaded), m_prompter(prompter), m_hooks(std::move(hooks)), m_errorText(std::move(errorText)),
      m_errorTitle(std::move(errorTitle))
{
}

bool CountRun::open()
{
    auto db = m_engine.open(m_loaded.LogPath);
    if (!db)
        return fail(db.error());
    m_log = *db;
    return true;
}

std::optional<QString> CountRun::count(const CountRequest &request)
{
    const Result<QString> r = CountQuery(*m_log, request);
    if (!r) {
        fail(r.error());
        return std::nullopt;
    }
    return *r;
}

bool CountRun::yield() { return m_hooks.pause(); }

bool CountRun::fail(const QString &reason)
{
    if (!m_hooks.stopping())
        m_prompter.message(m_errorText, MsgFlags::Information, m_errorTitle, reason);
    return false;
}

bool CountRun::fillSlots(const std::function<CountRequest(int)> &request, const std::function<QString(int)> &get,
                         const std::function<void(int, const QString &)> &set)
{
    for (int r = 0; r < CountSlotIndex::Slots; ++r) {
        if (CountSlotIndex::isDifference(r)) {
            const ModeClass m = CountSlotIndex::mode(r);
            set(r, Val::difference(get(CountSlotIndex::slot(QslStatus::Worked, m)), get(CountSlotIndex::slot(QslStatus::Confirmed, m))));
        } else {
            const std::optional<QString> n = count(request(r));
            if (!n)
                return false;
            set(r, *n);
        }
        if (!yield())
            return false;
    }
    return true;
}
