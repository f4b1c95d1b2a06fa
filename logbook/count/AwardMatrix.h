#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountSlot.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Every entity of an award kind by band, from the columnar copy: for each
/// entity the log holds, per band of a set, whether it is confirmed, worked
/// only, or not worked there in one mode class. Entities, bands, modes and QSL
/// flags are told apart exactly as the grid's counts tell them apart, so the
/// worked and confirmed cells of a band add up to the grid's WORKED and
/// CONFIRMED counts of that band and class.
namespace AwardMatrix {

struct Request {
    std::string entity;             ///< award column (DXC ... SQR)
    std::vector<std::string> bands; ///< band patterns by position; blank ones are skipped
    ModeClass mode = ModeClass::All;
    bool ft8 = false; ///< the DATA class is FT8 alone
};

enum class Cell : uint8_t { Empty = 0, Worked = 1, Confirmed = 2 };

struct Matrix {
    std::vector<int> positions;             ///< the band positions counted (the non-blank patterns)
    std::vector<std::string_view> entities; ///< one per row: the spelling the log has first, by text
    std::vector<Cell> cells;                ///< row-major, entities x positions

    Cell at(size_t row, size_t column) const { return cells[row * positions.size() + column]; }
    /// Entities worked (confirmed or not) / confirmed on a band: the grid's WORKED and CONFIRMED.
    long worked(size_t column) const;
    long confirmed(size_t column) const;
};

/// The matrix; nothing when the log lacks one of the columns it reads as text
/// (Banda, Mode, R and the award column). Every entity the log holds a usable
/// text of is a row, worked on the bands of the set or not. The texts are the
/// log's: they live as long as it does.
std::optional<Matrix> compute(const ColumnarLog &log, const Request &request);

} // namespace AwardMatrix
