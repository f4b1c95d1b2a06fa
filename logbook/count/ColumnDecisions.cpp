#include "logbook/count/ColumnDecisions.h"

#include "logbook/count/TruthExpr.h"

#include <algorithm>

std::optional<std::vector<bool>> decidedIds(const CountTree::Condition &condition, const ColumnarLog &log, int column)
{
    const std::optional<TruthExpr> t = truthOf(condition, log);
    if (!t)
        return std::nullopt;
    const TruthExpr e = simplify(*t);
    std::vector<bool> out(log.column(size_t(column)).dictionary().size());
    for (uint32_t id = 0; id < out.size(); ++id)
        out[id] = (e.kind == TruthExpr::Kind::Const ? e.value : (*e.table)[id]) == Truth::True;
    return out;
}

std::vector<uint32_t> rowIds(const ColumnarLog &log, int column)
{
    std::vector<uint32_t> out(log.rowCount());
    log.column(size_t(column)).ids().visit([&](const auto *ids) { std::copy(ids, ids + out.size(), out.begin()); });
    return out;
}
