#pragma once
#include <QString>

/// Decides whether an operator's statement may run: only a single query does.
/// The logbook is only ever read, so statements that change data or structure
/// are refused before anything runs.
namespace QueryGuard {

/// The empty text when the statement is a single query, else the message that
/// names what was refused.
QString refusal(const QString &statement);

/// The statement's leading keyword in upper case ("SELECT", "DELETE", ...).
QString leadingKeyword(const QString &statement);

} // namespace QueryGuard
