#pragma once
#include "ColumnarLog.h"
#include "Result.h"

#include <memory>

class LogDatabase;

/// The columnar copy of the snapshot's table LOG (read with SELECT * FROM LOG).
/// A column counts as text when SQLite compares it as the snapshot's text
/// columns (declared TEXT with the collation JETCI) and holds only text or NULL.
Result<std::shared_ptr<const ColumnarLog>> loadColumnarLog(const LogDatabase &db);
