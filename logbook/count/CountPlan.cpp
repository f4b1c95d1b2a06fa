#include "logbook/count/CountPlan.h"

#include "logbook/count/BlockEval.h"

#include <algorithm>

namespace {

int textColumn(const ColumnarLog &log, const std::string &name)
{
    const int c = log.findColumn(name);
    return c >= 0 && log.column(size_t(c)).text ? c : -1;
}

} // namespace

std::shared_ptr<const CountPlan> CountPlan::compile(const CountTree::Query &query, const ColumnarLog &log)
{
    auto plan = std::make_shared<CountPlan>();
    if (query.distinct) {
        plan->m_distinctColumn = textColumn(log, query.distinctColumn);
        if (plan->m_distinctColumn < 0)
            return nullptr;
        plan->m_countNull = query.countRows;
    } else if (!query.countRows) {
        plan->m_countColumn = textColumn(log, query.countColumn);
        if (plan->m_countColumn < 0)
            return nullptr;
    }
    TruthExpr where = TruthExpr::constant(Truth::True);
    if (query.where) {
        std::optional<TruthExpr> t = truthOf(*query.where, log);
        if (!t)
            return nullptr;
        where = simplify(*t);
    }
    for (const ColumnarLog::BandGroup &g : log.bandGroups()) {
        TruthExpr c = log.bandColumn() >= 0 ? fixColumn(where, log.bandColumn(), g.band) : where;
        Rows rows = Rows::Some;
        if (c.kind == TruthExpr::Kind::Const)
            rows = c.value == Truth::True ? Rows::All : Rows::None;
        if (rows != Rows::None)
            plan->m_groups.push_back({g.begin, g.end, rows, rows == Rows::Some ? std::move(c) : TruthExpr()});
    }
    return plan;
}

int64_t CountPlan::count(const ColumnarLog &log) const
{
    if (m_distinctColumn >= 0)
        return countDistinct(log);
    BlockEval eval(log);
    std::vector<uint8_t> truth(BlockEval::BlockRows);
    int64_t total = 0;
    for (const Group &g : m_groups) {
        if (g.rows == Rows::All && m_countColumn < 0) {
            total += int64_t(g.end - g.begin);
            continue;
        }
        for (size_t begin = g.begin; begin < g.end; begin += BlockEval::BlockRows) {
            const size_t n = std::min(BlockEval::BlockRows, g.end - begin);
            if (g.rows == Rows::All)
                std::fill_n(truth.begin(), n, Truth::True);
            else
                eval.run(g.condition, begin, n, truth.data());
            int64_t hits = 0;
            if (m_countColumn < 0) {
                for (size_t i = 0; i < n; ++i)
                    hits += truth[i] >> 1;
            } else {
                log.column(size_t(m_countColumn)).ids().visit([&](const auto *ids) {
                    for (size_t i = 0; i < n; ++i)
                        hits += (truth[i] >> 1) & int64_t(ids[begin + i] != TextDictionary::Null);
                });
            }
            total += hits;
        }
    }
    return total;
}

int64_t CountPlan::countDistinct(const ColumnarLog &log) const
{
    const ColumnarLog::Column &column = log.column(size_t(m_distinctColumn));
    const uint32_t ids = column.dictionary().size();
    // seen[id] for every dictionary id; the extra last slot takes the rows that do not count.
    std::vector<uint8_t> seen(size_t(ids) + 1, 0);
    BlockEval eval(log);
    std::vector<uint8_t> truth(BlockEval::BlockRows);
    for (const Group &g : m_groups) {
        column.ids().visit([&](const auto *values) {
            if (g.rows == Rows::All) {
                for (size_t r = g.begin; r < g.end; ++r)
                    seen[values[r]] = 1;
                return;
            }
            for (size_t begin = g.begin; begin < g.end; begin += BlockEval::BlockRows) {
                const size_t n = std::min(BlockEval::BlockRows, g.end - begin);
                eval.run(g.condition, begin, n, truth.data());
                for (size_t i = 0; i < n; ++i)
                    seen[truth[i] == Truth::True ? uint32_t(values[begin + i]) : ids] = 1;
            }
        });
    }
    // Texts equal without regard to case are one value.
    const ColumnarLog::FoldedIds &folded = log.folded(size_t(m_distinctColumn));
    std::vector<uint8_t> foldedSeen(folded.count, 0);
    int64_t distinct = m_countNull && seen[TextDictionary::Null] ? 1 : 0;
    for (uint32_t id = 1; id < ids; ++id) {
        if (seen[id] && !foldedSeen[folded.of[id]]) {
            foldedSeen[folded.of[id]] = 1;
            ++distinct;
        }
    }
    return distinct;
}
