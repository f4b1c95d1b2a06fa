#pragma once
#include "logbook/mdb/ColumnarStream.h"
#include "logbook/types/Result.h"

#include <memory>
#include <vector>

class ColumnarLog;

/// The columnar copy of a table that came in parts, in the order of the
/// table's pages: each dictionary merged in the order the rows first give its
/// texts (as one reader of the whole table would have made it), each part's
/// ids mapped onto it. The parts are used up. Fails when they do not check
/// out: other columns in one of them, or a text twice in one dictionary.
Result<std::shared_ptr<const ColumnarLog>> columnarLogOf(std::vector<mdbreader::ColumnarTable> &parts);

/// Whether two tables have the same columns, names and kinds alike.
bool sameColumns(const std::vector<mdbreader::Column> &a, const std::vector<mdbreader::Column> &b);
