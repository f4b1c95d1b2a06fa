#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountTree.h"

#include <optional>
#include <vector>

/// A condition on one column decided for each of its dictionary ids (true or
/// not), as the counts decide it; nothing when it cannot be decided there.
std::optional<std::vector<bool>> decidedIds(const CountTree::Condition &condition, const ColumnarLog &log, int column);

/// The dictionary ids of a column, one per row, as plain numbers.
std::vector<uint32_t> rowIds(const ColumnarLog &log, int column);
