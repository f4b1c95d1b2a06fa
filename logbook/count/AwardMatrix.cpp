#include "logbook/count/AwardMatrix.h"

#include "logbook/count/ColumnDecisions.h"
#include "logbook/count/CountDescription.h"
#include "logbook/jet/JetText.h"

#include <algorithm>

namespace AwardMatrix {

long Matrix::worked(size_t column) const
{
    long n = 0;
    for (size_t row = 0; row < entities.size(); ++row)
        n += at(row, column) != Cell::Empty;
    return n;
}

long Matrix::confirmed(size_t column) const
{
    long n = 0;
    for (size_t row = 0; row < entities.size(); ++row)
        n += at(row, column) == Cell::Confirmed;
    return n;
}

std::optional<Matrix> compute(const ColumnarLog &log, const Request &request)
{
    const int band = log.findColumn("Banda"), mode = log.findColumn("Mode"), r = log.findColumn("R"),
              entity = log.findColumn(request.entity);
    for (const int c : {band, mode, r, entity}) {
        if (c < 0 || !log.column(size_t(c)).text)
            return std::nullopt;
    }
    const ColumnarLog::FoldedIds &folded = log.folded(size_t(entity));
    const TextDictionary &spellings = log.column(size_t(entity)).dictionary();
    const auto usable = decidedIds(usableEntity(request.entity), log, entity);
    const auto inClass = decidedIds(modeCondition(request.mode, request.ft8), log, mode);
    const auto confirmedFlag = decidedIds(*statusCondition(QslStatus::Confirmed), log, r);
    if (!usable || !inClass || !confirmedFlag)
        return std::nullopt;

    Matrix m;
    // Per band id, the columns whose pattern it matches.
    const TextDictionary &bands = log.column(size_t(band)).dictionary();
    std::vector<std::vector<uint32_t>> columnsOf(bands.size());
    for (size_t p = 0; p < request.bands.size(); ++p) {
        const std::string &pattern = request.bands[p];
        if (pattern.find_first_not_of(' ') == std::string::npos)
            continue;
        const auto matches = decidedIds(CountTree::Condition{CountTree::Condition::Kind::Like, {}, "Banda", pattern}, log, band);
        if (!matches)
            return std::nullopt;
        for (uint32_t id = 0; id < bands.size(); ++id) {
            if ((*matches)[id])
                columnsOf[id].push_back(uint32_t(m.positions.size()));
        }
        m.positions.push_back(int(p));
    }

    // The rows: every folded entity with a usable spelling, by its first spelling.
    std::vector<std::string_view> spelling(folded.count);
    std::vector<uint8_t> present(folded.count, 0);
    for (uint32_t id = spellings.size(); id-- > 1;) {
        spelling[folded.of[id]] = spellings.text(id);
        present[folded.of[id]] |= uint8_t((*usable)[id]);
    }
    std::vector<uint32_t> order;
    for (uint32_t e = 1; e < folded.count; ++e) {
        if (present[e])
            order.push_back(e);
    }
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return JetText::compare(spelling[a], spelling[b]) < 0; });
    std::vector<uint32_t> rowOf(folded.count, 0);
    for (size_t i = 0; i < order.size(); ++i) {
        rowOf[order[i]] = uint32_t(i);
        m.entities.push_back(spelling[order[i]]);
    }

    const size_t width = m.positions.size();
    m.cells.assign(order.size() * width, Cell::Empty);
    if (width == 0)
        return m;
    const std::vector<uint32_t> bandIds = rowIds(log, band), modeIds = rowIds(log, mode), rIds = rowIds(log, r),
                                entityIds = rowIds(log, entity);
    for (size_t row = 0; row < log.rowCount(); ++row) {
        const std::vector<uint32_t> &columns = columnsOf[bandIds[row]];
        if (columns.empty() || !(*inClass)[modeIds[row]] || !(*usable)[entityIds[row]])
            continue;
        Cell *line = &m.cells[size_t(rowOf[folded.of[entityIds[row]]]) * width];
        const Cell c = (*confirmedFlag)[rIds[row]] ? Cell::Confirmed : Cell::Worked;
        for (const uint32_t col : columns)
            line[col] = std::max(line[col], c);
    }
    return m;
}

} // namespace AwardMatrix
