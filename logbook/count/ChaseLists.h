#pragma once
#include "logbook/count/ColumnarLog.h"
#include "logbook/count/CountSlot.h"

#include <optional>
#include <string>
#include <vector>

/// What an operator still needs, from the columnar copy: the entities behind
/// each NOT CONFIRMED count of the grid with the contacts that could confirm
/// them (QSL chase), and per band the entities worked elsewhere but never on
/// that band (band-slot chase). Entities, bands, modes and QSL flags are told
/// apart exactly as the counts tell them apart, so each QSL chase list of a
/// band and mode class has as many entities as its NOT CONFIRMED cell.
namespace Chase {

struct Request {
    std::string entity;             ///< award column (DXC ... SQR)
    std::vector<std::string> bands; ///< the band headers by position; blank ones come as empty texts and are skipped
    bool ft8 = false;               ///< the DATA class is FT8 alone
};

/// An entity worked but not confirmed on one band, in one mode class.
struct QslEntry {
    int position = 0; ///< band header position
    ModeClass mode = ModeClass::All;
    std::string_view entity;  ///< as the log spells it first (a text of the log)
    std::vector<size_t> rows; ///< its contacts there (ColumnarLog rows), newest first
};

/// An entity worked in a mode class somewhere in the log but never on one band of the set.
struct SlotEntry {
    int position = 0;
    ModeClass mode = ModeClass::All;
    std::string_view entity;
    bool confirmed = false;                 ///< confirmed somewhere in that class
    std::vector<std::string_view> workedOn; ///< the bands where it is worked in that class (texts of the log)
};

struct Lists {
    std::vector<QslEntry> qsl;        ///< by position, mode class, entity
    std::vector<SlotEntry> bandSlots; ///< by position, mode class, entity
};

/// Both lists; nothing when the log lacks one of the columns they read as text
/// (Banda, Mode, R and the award column). The texts they hold are the log's:
/// they live as long as it does.
std::optional<Lists> lists(const ColumnarLog &log, const Request &request);

/// The contact columns a QSL chase shows for a row, "" where the log has no such column or NULL.
struct Contact {
    std::string_view callsign, date, band, mode, manager, diptext;
};
/// Reads contacts of a log; the columns are looked up once.
class ContactReader {
public:
    explicit ContactReader(const ColumnarLog &log);
    Contact operator()(size_t row) const;

private:
    std::string_view text(int column, size_t row) const;
    const ColumnarLog &m_log;
    int m_columns[6];
};

} // namespace Chase
