#pragma once
#include "logbook/types/Result.h"
#include <QString>
#include <vector>

/// Translation of the Jet SQL texts the program and its operators write into the
/// dialect of the SQLite snapshot. The snapshot supplies what the translation
/// relies on (see JetFunctions.h): a case-insensitive collation on every text
/// column, Jet's LIKE, and the First/Last aggregates.
namespace JetSql {

struct Options {
    /// First/Last take the row order of the table as a second argument; only
    /// possible when the rows come straight from one table.
    bool firstLastByRowid = true;
};

/// One piece of a Jet text as the translation reads it.
struct Token {
    enum class Kind { Space, Comment, String, Ident, Bracket, Date, Number, Punct };
    Kind kind;
    QString text; ///< String: the value; Bracket: the name; Date: inside the #s; else as written
};

/// The pieces of a Jet text: blanks, comments (-- to the end of the line,
/// /* */), text literals in ' or ", [names], #dates#, numbers, words and
/// operators; or why the text cannot be read (a literal left open).
Result<std::vector<Token>> tokenize(const QString &jetText);

/// The SQLite text for a Jet text, or why it cannot be translated.
Result<QString> toSqlite(const QString &jetText, const Options &options = {});

} // namespace JetSql
