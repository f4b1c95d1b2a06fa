#pragma once
#include "listing/XlsxExport.h"
#include "logbook/count/AwardKind.h"
#include "stats/NeededLists.h"

#include <QString>
#include <vector>

/// The NEEDED lists as they are exported and printed: both of them whole, in
/// their order (by band, mode class and entity), whatever the window's tabs show.
namespace NeededSheets {

struct List {
    QString name;  ///< of its sheet: "QSL chase", "Band-slot chase"
    QString title; ///< its title line: "What do I still need? DXC [VARKEL] - QSL chase (12)"
    const QueryTable *table = nullptr;
};

/// The QSL chase, then the band-slot chase of every mode class; `logName` is
/// the logbook's display name.
std::vector<List> lists(const Needed::Tables &tables, AwardKind kind, const QString &logName);

/// The lists as the sheets of one workbook, each with its title line, the
/// column titles in bold (both rows stay in view), then its rows as text.
std::vector<Sheet> sheets(const std::vector<List> &lists);

} // namespace NeededSheets
