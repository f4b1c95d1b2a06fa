#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The count texts the evaluator answers, parsed:
///   SELECT COUNT(* | col) AS name FROM LOG [WHERE condition]
///   SELECT COUNT(* | col) AS name FROM (SELECT DISTINCT col FROM LOG [WHERE condition])
/// with conditions made of  col LIKE 'text',  col = 'text',  col <> 'text',
/// AND, OR, NOT and parentheses. Names are as written (brackets removed);
/// texts are UTF-8.
namespace CountText {

struct Condition {
    enum class Kind { And, Or, Not, Equal, NotEqual, Like };
    Kind kind = Kind::And;
    std::vector<Condition> operands; ///< And, Or: two or more; Not: one
    std::string column;              ///< comparisons
    std::string literal;             ///< comparisons: the text or the LIKE pattern
};

struct Query {
    std::string field;          ///< the name after AS
    bool countRows = true;      ///< COUNT(*); else COUNT(countColumn)
    std::string countColumn;
    bool distinct = false;      ///< FROM (SELECT DISTINCT distinctColumn ...)
    std::string distinctColumn;
    std::optional<Condition> where;
};

/// The query of a Jet text in UTF-8, or nothing when the text is not one of the
/// forms above exactly as SQLite would read its translation.
std::optional<Query> parse(std::string_view text);

} // namespace CountText
