#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountTree.h"
#include "logbook/count/TruthExpr.h"

#include <cstdint>
#include <memory>
#include <vector>

/// A count text compiled against one ColumnarLog: for every band group, the
/// WHERE condition with the band's own value put in. Most groups then need no
/// look at their rows at all (the condition is false, unknown or true for the
/// whole band); the others are filtered a block at a time.
class CountPlan {
public:
    /// The plan of a query, or nullptr when it reads a column the log does not
    /// hold as text or a LIKE pattern SQLite would reject.
    static std::shared_ptr<const CountPlan> compile(const CountTree::Query &query, const ColumnarLog &log);

    /// The count over `log`, the log the plan was compiled against.
    int64_t count(const ColumnarLog &log) const;

private:
    enum class Rows { None, All, Some };
    struct Group {
        size_t begin;
        size_t end;
        Rows rows;
        TruthExpr condition; ///< Some: decides each row
    };

    /// A run of the rows of one group, counted on either core.
    struct Piece {
        const Group *group;
        size_t begin;
        size_t end;
    };
    static constexpr size_t PieceRows = 65536;
    /// The groups' rows in pieces; with `wholeRows`, the groups whose every
    /// row is in are added to it instead.
    std::vector<Piece> piecesOf(int64_t *wholeRows) const;

    int64_t countDistinct(const ColumnarLog &log) const;

    std::vector<Group> m_groups;
    int m_countColumn = -1;    ///< COUNT(col) of the rows themselves; -1: COUNT(*)
    int m_distinctColumn = -1; ///< SELECT DISTINCT col; -1: no DISTINCT
    bool m_countNull = false;  ///< COUNT(*) over DISTINCT: the NULL group counts too
};
