#include "logbook/count/CountPlan.h"

#include "logbook/count/BlockEval.h"
#include "logbook/count/BothCores.h"

#include <algorithm>
#include <atomic>

namespace {

int textColumn(const ColumnarLog &log, const std::string &name)
{
    const int c = log.findColumn(name);
    return c >= 0 && log.column(size_t(c)).text ? c : -1;
}

/// The rows a count must look at before a second thread pays for itself.
constexpr size_t ParallelRows = 262144;

/// work(p) for every piece: on both cores when they are rows enough to pay
/// for the second thread, here otherwise.
template<typename Pieces, typename F>
void forPieces(const Pieces &pieces, F &&work)
{
    size_t rows = 0;
    for (const auto &piece : pieces)
        rows += piece.end - piece.begin;
    if (rows >= ParallelRows) {
        onBothCores(pieces.size(), work);
        return;
    }
    for (size_t p = 0; p < pieces.size(); ++p)
        work(p);
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

std::vector<CountPlan::Piece> CountPlan::piecesOf(int64_t *wholeRows) const
{
    std::vector<Piece> pieces;
    for (const Group &g : m_groups) {
        if (wholeRows && g.rows == Rows::All) {
            *wholeRows += int64_t(g.end - g.begin);
            continue;
        }
        for (size_t begin = g.begin; begin < g.end; begin += PieceRows)
            pieces.push_back({&g, begin, std::min(g.end, begin + PieceRows)});
    }
    return pieces;
}

int64_t CountPlan::count(const ColumnarLog &log) const
{
    if (m_distinctColumn >= 0)
        return countDistinct(log);
    // COUNT(*) over a group whose every row is in takes no look at its rows.
    int64_t total = 0;
    const std::vector<Piece> pieces = piecesOf(m_countColumn < 0 ? &total : nullptr);
    std::vector<int64_t> hits(pieces.size(), 0);
    forPieces(pieces, [&](size_t p) {
        const Piece &piece = pieces[p];
        BlockEval eval(log);
        uint8_t truth[BlockEval::BlockRows];
        for (size_t begin = piece.begin; begin < piece.end; begin += BlockEval::BlockRows) {
            const size_t n = std::min(BlockEval::BlockRows, piece.end - begin);
            if (piece.group->rows == Rows::All)
                std::fill_n(truth, n, Truth::True);
            else
                eval.run(piece.group->condition, begin, n, truth);
            int64_t in = 0;
            if (m_countColumn < 0) {
                for (size_t i = 0; i < n; ++i)
                    in += truth[i] >> 1;
            } else {
                log.column(size_t(m_countColumn)).ids().visit([&](const auto *ids) {
                    for (size_t i = 0; i < n; ++i)
                        in += (truth[i] >> 1) & int64_t(ids[begin + i] != TextDictionary::Null);
                });
            }
            hits[p] += in;
        }
    });
    for (const int64_t h : hits)
        total += h;
    return total;
}

int64_t CountPlan::countDistinct(const ColumnarLog &log) const
{
    const ColumnarLog::Column &column = log.column(size_t(m_distinctColumn));
    const uint32_t ids = column.dictionary().size();
    // seen[id] for every dictionary id; the extra last slot takes the rows
    // that do not count. Both threads only ever set a byte to 1.
    std::vector<uint8_t> seen(size_t(ids) + 1, 0);
    const auto mark = [&seen](uint32_t id) { std::atomic_ref<uint8_t>(seen[id]).store(1, std::memory_order_relaxed); };
    const std::vector<Piece> pieces = piecesOf(nullptr);
    forPieces(pieces, [&](size_t p) {
        const Piece &piece = pieces[p];
        column.ids().visit([&](const auto *values) {
            if (piece.group->rows == Rows::All) {
                for (size_t r = piece.begin; r < piece.end; ++r)
                    mark(values[r]);
                return;
            }
            BlockEval eval(log);
            uint8_t truth[BlockEval::BlockRows];
            for (size_t begin = piece.begin; begin < piece.end; begin += BlockEval::BlockRows) {
                const size_t n = std::min(BlockEval::BlockRows, piece.end - begin);
                eval.run(piece.group->condition, begin, n, truth);
                for (size_t i = 0; i < n; ++i)
                    mark(truth[i] == Truth::True ? uint32_t(values[begin + i]) : ids);
            }
        });
    });
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
