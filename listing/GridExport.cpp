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
    for (int c = 0; c < Bands; ++c)
        rows.push_back(QStringList{matrix.header(c)} + matrix.bandCaptions(c));
    for (const auto &[title, line] : StatsMatrix::totalLines())
        rows.push_back(QStringList{QString::fromLatin1(title)} + matrix.lineCaptions(line));
    return rows;
}
