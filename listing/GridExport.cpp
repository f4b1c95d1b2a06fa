#include "GridExport.h"

#include "GridTexts.h"

using namespace CountSlotIndex;

std::vector<QStringList> statsGridRows(const StatsMatrix &matrix, const QString &logDisplayName, const QString &dataCaption)
{
    std::vector<QStringList> rows;
    rows.push_back({QStringLiteral("VarkelChecker"), QStringLiteral("LogBook: ") + logDisplayName,
                    QStringLiteral("Award: ") + matrix.modo(), matrix.countQso()});
    QStringList blocks{QString()};
    QStringList modes{QStringLiteral("BAND")};
    const QStringList &blockTitles = GridTexts::blockTitles();
    const QStringList modeTitles = GridTexts::modeTitles(dataCaption);
    for (int s = 0; s < 4; ++s) {
        for (int m = 0; m < 4; ++m) {
            blocks << (m == 0 ? blockTitles[s] : QString());
            modes << modeTitles[m];
        }
    }
    rows.push_back(blocks);
    rows.push_back(modes);
    for (int c = 0; c < Bands; ++c) {
        QStringList row{matrix.header(c)};
        for (int r = 0; r < Slots; ++r)
            row << matrix.cell(c, r);
        rows.push_back(row);
    }
    const std::pair<const char *, StatsMatrix::Line> lines[] = {
        {"MIX", StatsMatrix::Line::Mix}, {"TOT", StatsMatrix::Line::Tot}, {"FULL", StatsMatrix::Line::Full}};
    for (const auto &[title, line] : lines) {
        QStringList row{QString::fromLatin1(title)};
        for (int r = 0; r < Slots; ++r)
            row << matrix.caption(line, r);
        rows.push_back(row);
    }
    return rows;
}
