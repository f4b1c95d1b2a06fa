#pragma once
// The count grid's vocabulary and index arithmetic: status blocks, mode classes,
// count slots r = 4 x block + mode, and the label index of every cell.

enum class QslStatus { Worked = 0, Confirmed = 1, NotConfirmed = 2, Award = 3 };
enum class ModeClass { Cw = 0, Phone = 1, Data = 2, All = 3 };

namespace CountSlotIndex {

constexpr int Bands = 20; ///< band positions c = 0..19
constexpr int Slots = 16; ///< count slots r = 0..15
constexpr int Cells = Bands * Slots;
constexpr int FirstHeader = Cells; ///< band header c is Lblstat(320 + c)

constexpr int slot(QslStatus s, ModeClass m) { return 4 * int(s) + int(m); }
constexpr QslStatus status(int r) { return QslStatus(r / 4); }
constexpr ModeClass mode(int r) { return ModeClass(r % 4); }
constexpr int cell(int band, int r) { return band + Bands * r; }
constexpr int bandOfCell(int index) { return index % Bands; }
constexpr int slotOfCell(int index) { return index / Bands; }
constexpr int header(int band) { return FirstHeader + band; }
/// Slots whose entity figure is worked minus confirmed rather than a query.
constexpr bool isDifference(int r) { return status(r) == QslStatus::NotConfirmed; }

/// Every slot and cell maps back to what it was made of.
constexpr bool indexArithmeticHolds()
{
    for (int r = 0; r < Slots; ++r) {
        if (slot(status(r), mode(r)) != r)
            return false;
        for (int band = 0; band < Bands; ++band) {
            const int index = cell(band, r);
            if (index < 0 || index >= Cells || bandOfCell(index) != band || slotOfCell(index) != r)
                return false;
        }
    }
    return header(0) == Cells && header(Bands - 1) == Cells + Bands - 1;
}
static_assert(indexArithmeticHolds());
// The grid's labels as the window numbers them: CONFIRMED PHONE of the band in
// position 6 is Lblstat(106), the last band header Lblstat(339).
static_assert(slot(QslStatus::Confirmed, ModeClass::Phone) == 5 && cell(6, 5) == 106 && header(19) == 339);
static_assert(isDifference(slot(QslStatus::NotConfirmed, ModeClass::Data)) && !isDifference(slot(QslStatus::Award, ModeClass::Cw)));

} // namespace CountSlotIndex
