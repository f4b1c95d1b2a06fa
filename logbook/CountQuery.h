#pragma once
#include "LogDatabase.h"
#include "Result.h"

#include <QString>

/// Runs one count text (every count text names its single field "Quanti") and
/// gives the count as text, "0" when nothing was counted.
Result<QString> CountQuery(const LogDatabase &db, const QString &text);
