#pragma once
// Counts computed straight from generated rows with plain loops, to check the
// program's answers against something that shares neither its SQL nor its
// count engine: its own LIKE, case folding and DISTINCT.

#include "logbook/count/CountDescription.h"
#include "tools/genlog/LogGenerator.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace reference {

/// Case-insensitive equality of a column value with a text; NULL equals nothing.
bool same(const genlog::Text &value, const std::string &text);

/// Jet LIKE for well-formed patterns: * any text, ? one character, # one digit,
/// [abc], [a-z] and [!abc] one character of (not of) the set; letters without
/// regard to case. Nothing for a pattern with an unclosed [.
std::optional<bool> like(const std::string &pattern, const std::string &value);

/// A column of the row by its name (ASCII letters without regard to case).
const genlog::Text &column(const genlog::LogRow &row, const std::string &name);

/// Whether the row is one `description` counts: its band, mode and status tests, and
/// for entity counts a usable award value.
bool counts(const genlog::LogRow &row, const CountDescription &description);

/// A text as DISTINCT and = tell texts apart: case folded.
std::string folded(const std::string &text);

/// The count `description` stands for; nothing when its band pattern is malformed.
std::optional<long> count(const std::vector<genlog::LogRow> &rows, const CountDescription &description);

/// Contacts of count slot r on one band pattern ("*": whole log).
long qsoCount(const std::vector<genlog::LogRow> &rows, const std::string &band, int r, bool ft8);

/// Distinct entities of award kind (0 DXC .. 5 SQR) on one band pattern (a
/// cell, "*": the whole log) or over a list of bands (the MIX line) for count
/// slot r; NOT CONFIRMED slots are worked minus confirmed, as the grid has them.
long entityCount(const std::vector<genlog::LogRow> &rows, int kind, const std::vector<std::string> &bands, int r, bool ft8);

/// QSL chase of one band pattern and mode class: folded entity -> its contacts
/// there, newest first, for the entities worked there and never confirmed there.
std::map<std::string, std::vector<const genlog::LogRow *>> qslChase(const std::vector<genlog::LogRow> &rows, const std::string &column,
                                                                    const std::string &band, ModeClass mode, bool ft8);

/// An entity of the band-slot chase: confirmed anywhere in the class, and the bands it is worked on there.
struct SlotFacts {
    bool confirmed = false;
    std::set<std::string> workedOn;
    bool operator==(const SlotFacts &) const = default;
};
/// Band-slot chase of one band pattern and mode class: folded entity -> its
/// facts, for the entities worked in the class somewhere but never on the band.
std::map<std::string, SlotFacts> bandSlotChase(const std::vector<genlog::LogRow> &rows, const std::string &column, const std::string &band,
                                               ModeClass mode, bool ft8);

} // namespace reference
