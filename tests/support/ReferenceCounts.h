#pragma once
// Counts computed straight from generated rows with plain loops, to check the
// program's answers against something that does not share its SQL.

#include "LogGenerator.h"

#include <string>
#include <vector>

namespace reference {

/// Case-insensitive equality of a column value with a text; NULL equals nothing.
bool same(const genlog::Text &value, const std::string &text);

/// mode: 0 CW, 1 PHONE, 2 DATA, 3 ALL; ft8 narrows DATA to FT8.
bool modeMatches(const genlog::LogRow &row, int mode, bool ft8);
/// status: 0 WORKED, 1 CONFIRMED (R = Y), 2 NOT CONFIRMED (R = N), 3 AWARD (D = Y).
bool statusMatches(const genlog::LogRow &row, int status);
/// band "*" admits every row whose band is not NULL.
bool bandMatches(const genlog::LogRow &row, const std::string &band);

/// Contacts of count slot r on one band ("*": whole log).
long qsoCount(const std::vector<genlog::LogRow> &rows, const std::string &band, int r, bool ft8);

/// Distinct entities of award kind (0 DXC .. 5 SQR) over any of `bands` for
/// count slot r; NOT CONFIRMED slots are worked minus confirmed.
long entityCount(const std::vector<genlog::LogRow> &rows, int kind, const std::vector<std::string> &bands, int r, bool ft8);

} // namespace reference
