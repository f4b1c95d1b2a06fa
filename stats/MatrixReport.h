#pragma once
#include "entities/EntityTable.h"
#include "logbook/LogSnapshot.h"
#include "logbook/count/AwardKind.h"
#include "logbook/count/AwardMatrix.h"
#include "logbook/types/Result.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

/// The award matrix as the window, the export, the print and the report show
/// it: a row per entity of the log with its cells by band, the totals of each
/// row and band, and for DXC the entities' names and the DXCC figures.
namespace MatrixReport {

struct Row {
    QString entity;    ///< as the log spells it first
    QString name;      ///< DXC: the entity's name, "(deleted)" after a deleted one's; empty when unknown
    QString continent; ///< DXC: the entity's continent
    bool deleted = false;
    std::vector<AwardMatrix::Cell> cells; ///< one per band column
    int worked = 0;                       ///< bands worked (confirmed or not)
    int confirmed = 0;                    ///< bands confirmed
};

/// DXCC by the award's rules. Entities are counted as the grid's FULL line
/// counts them (each text of the log once); of those, the ones whose entity
/// is current, deleted, or that match no entity.
struct Dxcc {
    long worked = 0, confirmed = 0;
    long workedCurrent = 0, confirmedCurrent = 0;
    long workedDeleted = 0, confirmedDeleted = 0;
    long workedUnknown = 0, confirmedUnknown = 0;
    /// DXCC Challenge: confirmed band slots of current entities (each entity
    /// once per band) on the Challenge bands, every mode.
    long challenge = 0;
};

struct Report {
    QString kind;
    ModeClass mode = ModeClass::All;
    bool ft8 = false;
    QStringList bands;          ///< the band label of each column
    std::vector<int> positions; ///< the band position (0..19) of each column
    std::vector<long> columnWorked, columnConfirmed;
    std::vector<Row> rows;
    std::optional<Dxcc> dxcc; ///< DXC only
};

/// What a matrix is of: a logbook as it was read, an award kind, the band
/// set and the FT8 option; the mode class is chosen apart.
struct Basis {
    std::shared_ptr<const LogSnapshot> log;
    AwardKind kind = AwardKind::Dxc;
    QStringList headers;
    bool ft8 = false;
};

/// The matrix of `basis` in one mode class, with the program's entities.
Result<Report> report(const Basis &basis, ModeClass mode);

/// The band labels of the DXCC Challenge: 1.8 to 50 MHz without 5 MHz.
const QStringList &challengeBands();

/// The matrix of award column `kind` over `headers` in one mode class.
Result<Report> report(const LogSnapshot &log, const QString &kind, const QStringList &headers, ModeClass mode, bool ft8,
                      const EntityTable &entities);

/// "C", "W" or "".
QString cellText(AwardMatrix::Cell cell);
/// What the letter stands for: "confirmed", "worked, not confirmed" or "not worked".
QString cellState(AwardMatrix::Cell cell);

/// The mode class titled `title` (CW, PHONE, DATA, MIX; FT8 for DATA), without regard to case.
std::optional<ModeClass> modeNamed(const QString &title);

/// The DXCC figures as the window's title line shows them.
QString dxccFigures(const Dxcc &d);

/// Whether a row has a band still to work or to confirm ("needed only").
bool needed(const Row &row);

} // namespace MatrixReport
