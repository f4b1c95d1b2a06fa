#pragma once
#include "logbook/LogSnapshot.h"
#include "logbook/count/CountDescription.h"
#include "logbook/types/Result.h"

#include <QString>

/// One count of the grid: what it counts, and the same count as the Jet text
/// SQLite answers (every count text names its single field "Quanti").
struct CountRequest {
    CountDescription description;
    QString text;
};

/// The count as text, "0" when nothing was counted: from the columnar copy,
/// or from SQLite on the text when the copy cannot answer it.
Result<QString> CountQuery(const LogSnapshot &log, const CountRequest &count);
