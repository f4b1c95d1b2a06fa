#pragma once
// Deterministic synthetic logbooks: rows of the table LOG as the host logging
// program writes them, with the odd values real logs hold.

#include "tools/jet4/Jet4Writer.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace genlog {

using Text = std::optional<std::string>; ///< nullopt is NULL

struct LogRow {
    int32_t ID = 0;
    Text Callsign;
    double TDate = 0; ///< OLE automation date
    Text Banda, Mode, MANAGER, S, R, D, DIPTEXT;
    Text DXC, WPX, WAZ, ITU, WAC, SQR;
    Text NOTE; ///< memo
};

/// The award columns in award-kind order: DXC, WPX, WAZ, ITU, WAC, SQR.
const Text &awardValue(const LogRow &row, int kind);

/// The columns of LOG in file order.
std::vector<jet4::Column> logColumns();
std::vector<jet4::Value> toValues(const LogRow &row);

/// Calls `sink` with `count` rows made from `seed`; the same seed gives the same rows.
void generate(std::size_t count, uint32_t seed, const std::function<void(const LogRow &)> &sink);
std::vector<LogRow> generate(std::size_t count, uint32_t seed);

/// Writes rows as a logbook file; returns an empty string on success, else the reason.
std::string writeLogbook(const std::string &path, const std::vector<LogRow> &rows);
/// Generates and writes in one pass, without keeping the rows.
std::string writeGeneratedLogbook(const std::string &path, std::size_t count, uint32_t seed);

} // namespace genlog
