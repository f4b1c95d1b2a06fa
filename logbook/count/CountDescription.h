#pragma once
#include "logbook/count/CountSlot.h"
#include "logbook/count/CountTree.h"

#include <optional>
#include <string>
#include <vector>

/// What one count of the grid counts, as data: contacts, or the distinct
/// entities of an award column, on one band pattern or a list of bands, in a
/// mode class and a status block. The Jet text of the same count is rendered
/// from it for SQLite (CountSql); the evaluator compiles it as it stands.
struct CountDescription {
    enum class Bands {
        Every,   ///< no band, mode or status test: the whole log
        Pattern, ///< Banda LIKE the one pattern of `bands` ("*": any band but none)
        List,    ///< Banda = one of `bands`
    };

    std::string entity; ///< award column whose distinct values are counted; empty: contacts
    Bands bandTest = Bands::Every;
    std::vector<std::string> bands;
    ModeClass mode = ModeClass::All;
    QslStatus status = QslStatus::Worked;
    bool ft8 = false; ///< the DATA class is FT8 alone

    friend bool operator==(const CountDescription &, const CountDescription &) = default;

    /// A key that tells descriptions apart, for caches.
    std::string key() const;
};

/// The award columns whose entities the grid counts, in the order of the award buttons.
const std::vector<std::string> &awardColumns();

/// The mode names of the CW and PHONE classes; DATA is every other mode (or FT8
/// alone), ALL every mode.
const std::vector<std::string> &modeNames(ModeClass m);

/// The count as the evaluator's query tree.
CountTree::Query toQuery(const CountDescription &description);

/// The parts of that tree: the test of a mode class, of a status block (none
/// for WORKED), and of a usable award value (neither '??' nor '').
CountTree::Condition modeCondition(ModeClass m, bool ft8);
std::optional<CountTree::Condition> statusCondition(QslStatus s);
CountTree::Condition usableEntity(const std::string &column);
