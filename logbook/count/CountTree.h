#pragma once
#include <optional>
#include <string>
#include <vector>

/// A count as the evaluator compiles it, the shape of
///   SELECT COUNT(* | col) FROM LOG [WHERE condition]
///   SELECT COUNT(* | col) FROM (SELECT DISTINCT col FROM LOG [WHERE condition])
/// with conditions made of  col LIKE 'text',  col = 'text',  col <> 'text',
/// AND, OR and NOT. Names and texts are UTF-8.
namespace CountTree {

struct Condition {
    enum class Kind { And, Or, Not, Equal, NotEqual, Like };
    Kind kind = Kind::And;
    std::vector<Condition> operands; ///< And, Or: two or more; Not: one
    std::string column;              ///< comparisons
    std::string literal;             ///< comparisons: the text or the LIKE pattern
};

struct Query {
    bool countRows = true; ///< COUNT(*); else COUNT(countColumn)
    std::string countColumn;
    bool distinct = false; ///< FROM (SELECT DISTINCT distinctColumn ...)
    std::string distinctColumn;
    std::optional<Condition> where;
};

} // namespace CountTree
