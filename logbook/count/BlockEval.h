#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/TruthExpr.h"

#include <cstdint>
#include <vector>

/// Evaluates a TruthExpr over a run of rows, a block at a time: each
/// comparison is one table look-up per row, AND / OR / NOT are byte-wise
/// min / max / subtraction over the block.
class BlockEval {
public:
    static constexpr size_t BlockRows = 4096;

    explicit BlockEval(const ColumnarLog &log) : m_log(log) {}

    /// out[i] = truth of `e` for row begin + i, for i < n <= BlockRows.
    void run(const TruthExpr &e, size_t begin, size_t n, uint8_t *out) { eval(e, begin, n, out, 0); }

private:
    void eval(const TruthExpr &e, size_t begin, size_t n, uint8_t *out, size_t depth);
    uint8_t *scratch(size_t depth);

    const ColumnarLog &m_log;
    std::vector<std::vector<uint8_t>> m_scratch;
};
