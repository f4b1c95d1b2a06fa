#pragma once
#include "logbook/jet/LogDatabase.h"

#include <QString>

/// Decides whether an operator's statement may run: only a single query does.
/// The logbook is only ever read, so statements that change data or structure
/// are refused before anything runs.
///
/// Two steps: refusal() reads the text's shape (a query, one statement, no
/// SELECT ... INTO); what the statement really does is judged by the
/// snapshot's read-only rules while it is prepared (LogDatabase::check), and
/// message() words what they refused. Words inside text literals, [names],
/// #dates# and comments are never taken for keywords.
namespace QueryGuard {

/// The empty text when the statement has the shape of a single query, else the
/// message that names what was refused.
QString refusal(const QString &statement);

/// The message for what the snapshot's rules refused; empty for Kind::None.
QString message(const Refusal &refused);

/// The statement's leading keyword in upper case ("SELECT", "DELETE", ...),
/// after blanks, comments and opening parentheses.
QString leadingKeyword(const QString &statement);

} // namespace QueryGuard
