#pragma once
#include "Result.h"
#include <QString>

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

/// The SQLite text for a Jet text, or why it cannot be translated.
Result<QString> toSqlite(const QString &jetText, const Options &options = {});

/// True when a Jet LIKE pattern holds no wildcard, so LIKE means plain equality.
bool isLiteralPattern(const QString &pattern);

} // namespace JetSql
