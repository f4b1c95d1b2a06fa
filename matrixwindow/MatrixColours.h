#pragma once
#include "logbook/count/AwardMatrix.h"

#include <cstdint>

/// The colours of the award matrix, 0xRRGGBB, for the window, its print and
/// its spreadsheet alike. Each state also has its letter (C, W, nothing), so
/// the matrix reads without colour too.
namespace MatrixColours {

inline constexpr uint32_t Confirmed = 0x8FD19E; ///< C: green
inline constexpr uint32_t Worked = 0xFFD966;    ///< W: amber
inline constexpr uint32_t Empty = 0xF8D7DA;     ///< not worked: pale red
inline constexpr uint32_t Totals = 0xDDEBF7;    ///< the WORKED and CONFIRMED totals: pale blue

/// The colour of a cell's state.
constexpr uint32_t of(AwardMatrix::Cell cell)
{
    switch (cell) {
    case AwardMatrix::Cell::Confirmed:
        return Confirmed;
    case AwardMatrix::Cell::Worked:
        return Worked;
    case AwardMatrix::Cell::Empty:
        break;
    }
    return Empty;
}

} // namespace MatrixColours
