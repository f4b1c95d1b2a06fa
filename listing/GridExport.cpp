#include "listing/GridExport.h"

#include "stats/GridTexts.h"
#include "stats/StaleCounts.h"

using namespace CountSlotIndex;
using Line = StatsMatrix::Line;

namespace {

SheetCell plain(const QString &text)
{
    SheetCell cell;
    cell.text = text;
    return cell;
}

SheetCell shown(const QString &text, bool stale)
{
    SheetCell cell = plain(text);
    cell.coloured = stale;
    cell.colour = StaleColour;
    return cell;
}

SheetCell count(const QString &caption, bool stale)
{
    SheetCell cell = shown(caption, stale);
    (void)caption.toLongLong(&cell.number); // "-" stays text
    return cell;
}

} // namespace

std::vector<std::vector<SheetCell>> statsGridSheet(const StatsMatrix &matrix, const QString &logDisplayName, const QString &dataCaption,
                                                   const std::function<bool(Line line, int index)> &stale, bool qsoTotalStale)
{
    std::vector<std::vector<SheetCell>> rows;
    rows.push_back({plain(QStringLiteral("VarkelChecker")), plain(QStringLiteral("LogBook: ") + logDisplayName),
                    plain(QStringLiteral("Award: ") + matrix.modo()), shown(matrix.countQso(), qsoTotalStale)});
    std::vector<SheetCell> blocks{plain(QString())};
    std::vector<SheetCell> modes{plain(QStringLiteral("BAND"))};
    const QStringList &blockTitles = GridTexts::blockTitles();
    const QStringList modeTitles = GridTexts::modeTitles(dataCaption);
    for (int s = 0; s < 4; ++s) {
        for (int m = 0; m < 4; ++m) {
            blocks.push_back(plain(m == 0 ? blockTitles[s] : QString()));
            modes.push_back(plain(modeTitles[m]));
        }
    }
    rows.push_back(std::move(blocks));
    rows.push_back(std::move(modes));
    bool anyStale = qsoTotalStale;
    const auto line = [&](const QString &title, Line of, const std::function<int(int r)> &index) {
        std::vector<SheetCell> cells{plain(title)};
        for (int r = 0; r < Slots; ++r) {
            const bool old = stale(of, index(r));
            anyStale = anyStale || old;
            cells.push_back(count(matrix.caption(of, index(r)), old));
        }
        rows.push_back(std::move(cells));
    };
    for (int c = 0; c < Bands; ++c)
        line(matrix.header(c), Line::Lblstat, [c](int r) { return cell(c, r); });
    for (const auto &[title, total] : StatsMatrix::totalLines())
        line(QString::fromLatin1(title), total, [](int r) { return r; });
    if (anyStale)
        rows.push_back({shown(StaleNote, true)});
    return rows;
}
