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

} // namespace CountSlotIndex
