#include "CountEvaluator.h"

#include "CountPlan.h"
#include "CountText.h"

namespace {

/// More distinct texts than a session asks are not worth keeping.
constexpr qsizetype MaxCompiled = 4096;

} // namespace

CountEvaluator::CountEvaluator(std::shared_ptr<const ColumnarLog> log) : m_log(std::move(log)) {}

CountEvaluator::~CountEvaluator() = default;

std::optional<CountAnswer> CountEvaluator::count(const QString &text) const
{
    Compiled compiled;
    bool known = false;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_compiled.constFind(text);
        if (it != m_compiled.constEnd()) {
            compiled = *it;
            known = true;
        }
    }
    if (!known) {
        const QByteArray utf8 = text.toUtf8();
        if (const std::optional<CountText::Query> query = CountText::parse(std::string_view(utf8.constData(), size_t(utf8.size())))) {
            compiled.plan = CountPlan::compile(*query, *m_log);
            compiled.field = QString::fromUtf8(query->field.data(), qsizetype(query->field.size()));
        }
        std::lock_guard lock(m_mutex);
        if (m_compiled.size() >= MaxCompiled)
            m_compiled.clear();
        m_compiled.insert(text, compiled);
    }
    if (!compiled.plan)
        return std::nullopt;
    return CountAnswer{compiled.plan->count(*m_log), compiled.field};
}
