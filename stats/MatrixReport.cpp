#include "stats/MatrixReport.h"

#include "bands/BandSet.h"
#include "logbook/count/CountDescription.h"
#include "stats/EntityData.h"
#include "stats/GridTexts.h"

#include <set>

namespace MatrixReport {
namespace {

using AwardMatrix::Cell;

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

std::optional<AwardMatrix::Matrix> matrixOf(const LogSnapshot &log, const QString &kind, const QStringList &bands, ModeClass mode, bool ft8)
{
    const AwardMatrix::Request request{kind.toStdString(), BandSet(bands).patterns(), mode, ft8};
    return AwardMatrix::compute(log.columnar(), request);
}

Dxcc dxccOf(const AwardMatrix::Matrix &full, const AwardMatrix::Matrix &challenge, const EntityTable &entities)
{
    Dxcc d;
    for (size_t row = 0; row < full.entities.size(); ++row) {
        const Cell c = full.at(row, 0);
        if (c == Cell::Empty)
            continue;
        const DxccEntity *e = entities.lookup(full.entities[row]);
        const bool confirmed = c == Cell::Confirmed;
        ++d.worked;
        d.confirmed += confirmed;
        long &w = !e ? d.workedUnknown : e->deleted ? d.workedDeleted : d.workedCurrent;
        long &k = !e ? d.confirmedUnknown : e->deleted ? d.confirmedDeleted : d.confirmedCurrent;
        ++w;
        k += confirmed;
    }
    std::set<std::pair<const DxccEntity *, size_t>> taken;
    for (size_t row = 0; row < challenge.entities.size(); ++row) {
        const DxccEntity *e = entities.lookup(challenge.entities[row]);
        if (!e || e->deleted)
            continue;
        for (size_t col = 0; col < challenge.positions.size(); ++col) {
            if (challenge.at(row, col) == Cell::Confirmed)
                taken.emplace(e, col);
        }
    }
    d.challenge = long(taken.size());
    return d;
}

/// A cell's letter in the matrix, and what it stands for.
struct CellName {
    const char *letter;
    const char *state;
};

CellName cellName(Cell cell)
{
    switch (cell) {
    case Cell::Confirmed:
        return {"C", "confirmed"};
    case Cell::Worked:
        return {"W", "worked, not confirmed"};
    case Cell::Empty:
        break;
    }
    return {"", "not worked"};
}

} // namespace

const QStringList &challengeBands()
{
    static const QStringList Bands = {"1.8", "3.5", "7.0", "10.1", "14.0", "18.1", "21.0", "24.9", "28.0", "50"};
    return Bands;
}

Result<Report> report(const LogSnapshot &log, const QString &kind, const QStringList &headers, ModeClass mode, bool ft8,
                      const EntityTable &entities)
{
    const std::vector<std::string> &columns = awardColumns();
    if (std::find(columns.begin(), columns.end(), kind.toStdString()) == columns.end())
        return Result<Report>::failure(QStringLiteral("no award kind: %1").arg(kind));
    const auto m = matrixOf(log, kind, headers, mode, ft8);
    if (!m)
        return Result<Report>::failure(QStringLiteral("the logbook lacks a text column the matrix reads (Banda, Mode, R or %1)").arg(kind));
    Report r;
    r.kind = kind;
    r.mode = mode;
    r.ft8 = ft8;
    for (size_t col = 0; col < m->positions.size(); ++col) {
        r.bands << headers.value(m->positions[col]);
        r.positions.push_back(m->positions[col]);
        r.columnWorked.push_back(m->worked(col));
        r.columnConfirmed.push_back(m->confirmed(col));
    }
    const bool dxc = kind == QLatin1String("DXC");
    r.rows.reserve(m->entities.size());
    for (size_t row = 0; row < m->entities.size(); ++row) {
        Row out;
        out.entity = q(m->entities[row]);
        if (dxc) {
            const DxccEntity *e = entities.lookup(m->entities[row]);
            out.name = EntityData::name(e);
            out.continent = e ? QString::fromStdString(e->continent) : QString();
            out.deleted = e && e->deleted;
        }
        out.cells.assign(m->cells.begin() + qsizetype(row * m->positions.size()),
                         m->cells.begin() + qsizetype((row + 1) * m->positions.size()));
        for (const Cell c : out.cells) {
            out.worked += c != Cell::Empty;
            out.confirmed += c == Cell::Confirmed;
        }
        r.rows.push_back(std::move(out));
    }
    if (dxc) {
        const auto full = matrixOf(log, kind, {QStringLiteral("*")}, mode, ft8);
        const auto challenge = matrixOf(log, kind, challengeBands(), ModeClass::All, false);
        if (full && challenge)
            r.dxcc = dxccOf(*full, *challenge, entities);
    }
    return r;
}

Result<Report> report(const Basis &basis, ModeClass mode)
{
    if (!basis.log)
        return Result<Report>::failure(QStringLiteral("no logbook"));
    return report(*basis.log, QString::fromLatin1(AwardKinds::name(basis.kind)), basis.headers, mode, basis.ft8, EntityData::table());
}

QString cellText(AwardMatrix::Cell cell) { return QString::fromLatin1(cellName(cell).letter); }

QString cellState(AwardMatrix::Cell cell) { return QString::fromLatin1(cellName(cell).state); }

std::optional<ModeClass> modeNamed(const QString &title)
{
    const QString t = title.trimmed().toUpper();
    for (const bool ft8 : {false, true}) {
        if (const qsizetype m = GridTexts::modeTitles(GridTexts::dataCaption(ft8)).indexOf(t); m >= 0)
            return ModeClass(m);
    }
    return std::nullopt;
}

QString dxccFigures(const Dxcc &d)
{
    QString text = QStringLiteral("DXCC worked %1 (current %2, deleted %3) / confirmed %4 (current %5, deleted %6)")
                       .arg(d.worked)
                       .arg(d.workedCurrent)
                       .arg(d.workedDeleted)
                       .arg(d.confirmed)
                       .arg(d.confirmedCurrent)
                       .arg(d.confirmedDeleted);
    if (d.workedUnknown > 0)
        text += QStringLiteral(", no entity %1 / %2").arg(d.workedUnknown).arg(d.confirmedUnknown);
    return text + QStringLiteral(" - DXCC Challenge %1").arg(d.challenge);
}

bool needed(const Row &row)
{
    return std::any_of(row.cells.begin(), row.cells.end(), [](Cell c) { return c != Cell::Confirmed; });
}

} // namespace MatrixReport
