#include "logbook/count/CountEvaluator.h"

#include "logbook/count/CountPlan.h"

namespace {

/// More distinct counts than a session asks are not worth keeping.
constexpr size_t MaxCompiled = 4096;

} // namespace

CountEvaluator::CountEvaluator(std::shared_ptr<const ColumnarLog> log) : m_log(std::move(log)) {}

CountEvaluator::~CountEvaluator() = default;

std::optional<int64_t> CountEvaluator::count(const CountDescription &description) const
{
    const std::string key = description.key();
    std::shared_ptr<const CountPlan> plan;
    bool known = false;
    {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_compiled.find(key); it != m_compiled.end()) {
            plan = it->second;
            known = true;
        }
    }
    if (!known) {
        plan = CountPlan::compile(toQuery(description), *m_log);
        std::lock_guard lock(m_mutex);
        if (m_compiled.size() >= MaxCompiled)
            m_compiled.clear();
        m_compiled.emplace(key, plan);
    }
    if (!plan)
        return std::nullopt;
    return plan->count(*m_log);
}
