#pragma once
#include "logbook/LogSnapshot.h"
#include "logbook/count/AwardKind.h"
#include "logbook/count/ChaseLists.h"
#include "logbook/jet/QueryTable.h"
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>
#include <memory>

/// "What do I still need?": the chase lists of an award kind over the band
/// set, as tables the window shows, exports and prints, and the report prints.
namespace Needed {

struct Tables {
    /// QSL chase: one row per entity worked but not confirmed on a band in a
    /// mode class (as many rows as the NOT CONFIRMED cell), with its newest
    /// contact and the older ones.
    QueryTable qsl;
    /// Band-slot chase: one row per entity worked in a mode class elsewhere
    /// but never on a band, with the bands where it is worked.
    QueryTable bandSlots;
};

/// The chase lists of award kind `kind` over `headers` from the snapshot's
/// columnar copy; fails for a kind that counts no entities or a log that lacks
/// one of the columns they read.
Result<Chase::Lists> lists(const LogSnapshot &log, AwardKind kind, const QStringList &headers, bool ft8);

/// The lists as tables.
Tables tables(const LogSnapshot &log, const Chase::Lists &lists, AwardKind kind, const QStringList &headers, bool ft8);

/// Everything the NEEDED window and report show.
struct Report {
    AwardKind kind;
    QStringList headers; ///< the band set counted
    bool ft8 = false;
    Chase::Lists chase;
    Tables tables;
    /// The logbook the lists were made of, which holds the texts they view;
    /// set by whoever hands the report on (the NEEDED window reads the QSL
    /// chase's contacts from it, then lets it go).
    std::shared_ptr<const LogSnapshot> log;
};
Result<Report> report(const LogSnapshot &log, AwardKind kind, const QStringList &headers, bool ft8);

/// The column of both tables that holds the entity; for DXC a column of
/// names (EntityData::NameField) follows it.
inline constexpr int EntityColumn = 2;

/// Every contact that could confirm a needed entity (the QSL chase's
/// contacts, as columnar rows): entry by entry, newest first, each once.
std::vector<size_t> qslContacts(const Chase::Lists &lists);

/// The tool tip of a NOT CONFIRMED cell: "3 not confirmed: 3B8, VK9X, ZS8"
/// (ten entities at most), for DXC with their names ("3B8 Mauritius");
/// empty when none.
QString hint(const Chase::Lists &lists, AwardKind kind, int position, ModeClass mode);

/// Per band of the set, the number of band-slot entries in a mode class: "14.0: 12  21.0: 7".
QString slotCounts(const Chase::Lists &lists, const QStringList &headers, ModeClass mode);

} // namespace Needed
