#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountTree.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

/// Three-valued truth as one byte, ordered so that AND is the smaller of two
/// values, OR the larger, and NOT v is True - v.
namespace Truth {
constexpr uint8_t False = 0;
constexpr uint8_t Unknown = 1;
constexpr uint8_t True = 2;
} // namespace Truth

/// A WHERE condition over the columns of a ColumnarLog, each comparison
/// already decided for every text of its column (a truth table indexed by
/// dictionary id, NULL at id 0).
struct TruthExpr {
    enum class Kind : uint8_t { Const, Column, And, Or, Not };
    using Table = std::shared_ptr<const std::vector<uint8_t>>;

    Kind kind = Kind::Const;
    uint8_t value = Truth::True;     ///< Const
    int column = -1;                 ///< Column
    Table table;                     ///< Column: truth per dictionary id
    std::vector<TruthExpr> operands; ///< And, Or: two or more; Not: one

    static TruthExpr constant(uint8_t v)
    {
        TruthExpr e;
        e.value = v;
        return e;
    }
};

/// The condition with every comparison decided over its column's texts, as
/// the SQLite snapshot decides it; nothing when a name is not a text column
/// of the log or a LIKE pattern is malformed for one of the texts.
std::optional<TruthExpr> truthOf(const CountTree::Condition &condition, const ColumnarLog &log);

/// The same condition, smaller: nested ANDs and ORs flattened, constants
/// folded, and every part that reads a single column turned into one table.
TruthExpr simplify(const TruthExpr &e);

/// The condition for rows whose `column` holds dictionary id `id`, simplified.
TruthExpr fixColumn(const TruthExpr &e, int column, uint32_t id);
