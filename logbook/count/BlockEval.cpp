#include "logbook/count/BlockEval.h"

#include <algorithm>
#include <cstring>

namespace {

enum class Combine { Set, Min, Max };

template<Combine How, typename T>
void lookUp(const T *ids, const uint8_t *table, uint8_t *out, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const uint8_t v = table[ids[i]];
        if constexpr (How == Combine::Set)
            out[i] = v;
        else if constexpr (How == Combine::Min)
            out[i] = std::min(out[i], v);
        else
            out[i] = std::max(out[i], v);
    }
}

template<Combine How>
void lookUpColumn(const ColumnarLog &log, const TruthExpr &e, size_t begin, size_t n, uint8_t *out)
{
    const uint8_t *table = e.table->data();
    log.column(size_t(e.column)).ids().visit([&](const auto *ids) { lookUp<How>(ids + begin, table, out, n); });
}

} // namespace

uint8_t *BlockEval::scratch(size_t depth)
{
    if (m_scratch.size() <= depth)
        m_scratch.resize(depth + 1);
    m_scratch[depth].resize(BlockRows);
    return m_scratch[depth].data();
}

void BlockEval::eval(const TruthExpr &e, size_t begin, size_t n, uint8_t *out, size_t depth)
{
    using Kind = TruthExpr::Kind;
    switch (e.kind) {
    case Kind::Const:
        std::memset(out, e.value, n);
        return;
    case Kind::Column:
        lookUpColumn<Combine::Set>(m_log, e, begin, n, out);
        return;
    case Kind::Not:
        eval(e.operands[0], begin, n, out, depth);
        for (size_t i = 0; i < n; ++i)
            out[i] = uint8_t(Truth::True - out[i]);
        return;
    case Kind::And:
    case Kind::Or: {
        const bool isAnd = e.kind == Kind::And;
        eval(e.operands[0], begin, n, out, depth);
        for (size_t k = 1; k < e.operands.size(); ++k) {
            const TruthExpr &o = e.operands[k];
            if (o.kind == Kind::Column) {
                if (isAnd)
                    lookUpColumn<Combine::Min>(m_log, o, begin, n, out);
                else
                    lookUpColumn<Combine::Max>(m_log, o, begin, n, out);
                continue;
            }
            uint8_t *tmp = scratch(depth);
            eval(o, begin, n, tmp, depth + 1);
            if (isAnd) {
                for (size_t i = 0; i < n; ++i)
                    out[i] = std::min(out[i], tmp[i]);
            } else {
                for (size_t i = 0; i < n; ++i)
                    out[i] = std::max(out[i], tmp[i]);
            }
        }
        return;
    }
    }
}
