#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The award kinds of the award buttons, in their order: six award columns
/// whose distinct entities are counted, then QSO, which counts contacts.
enum class AwardKind { Dxc, Wpx, Waz, Itu, Wac, Sqr, Qso };

namespace AwardKinds {

/// One award kind: its name (the button's caption, the text the grid shows
/// and, for the entity kinds, the LOG column counted) and its button's tool tip.
struct Entry {
    AwardKind kind;
    const char *name;
    const char *tip;
    bool entities; ///< counts distinct values of the column `name`
};

inline constexpr std::array<Entry, 7> Table = {{
    {AwardKind::Dxc, "DXC", "Check all WW DXCC in your LOG!", true},
    {AwardKind::Wpx, "WPX", "Check all WPX PREFIX in your LOG!", true},
    {AwardKind::Waz, "WAZ", "Check all WAZ ZONE in your LOG!", true},
    {AwardKind::Itu, "ITU", "Check all ITU ZONE in your LOG!", true},
    {AwardKind::Wac, "WAC", "Check all WAC CONTINENT in your LOG!", true},
    {AwardKind::Sqr, "SQR", "Check all LOCATOR (SQUARE) in your LOG!", true},
    {AwardKind::Qso, "QSO", "Check all QSO in your LOG!", false},
}};
inline constexpr int Count = int(Table.size());

constexpr const Entry &entry(AwardKind kind) { return Table[size_t(kind)]; }
/// "DXC" ... "QSO"; for an entity kind also its LOG column.
constexpr const char *name(AwardKind kind) { return entry(kind).name; }
constexpr bool countsEntities(AwardKind kind) { return entry(kind).entities; }
/// The kind of award button `index` (0..6).
constexpr AwardKind atButton(int index) { return Table[size_t(index)].kind; }

/// The kind named `text` exactly ("DXC" ... "QSO"); none for any other text.
std::optional<AwardKind> named(std::string_view text);

/// The entity kinds, in the order of the award buttons.
const std::vector<AwardKind> &entityKinds();

static_assert(Table[size_t(AwardKind::Qso)].kind == AwardKind::Qso && !countsEntities(AwardKind::Qso));
static_assert(
    [] {
        for (size_t i = 0; i < Table.size(); ++i)
            if (Table[i].kind != AwardKind(i))
                return false;
        return true;
    }(),
    "the table stands in the order of the enum");

} // namespace AwardKinds
