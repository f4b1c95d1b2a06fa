#pragma once
#include <QString>
#include <QStringList>
#include <vector>

/// The fixed texts of the count grid that the main window, the single-band
/// window, the headless report and the grid export all show.
namespace GridTexts {

/// "v3.1": the program's version as the captions show it.
QString version();

/// WORKED, CONFIRMED, NOT CONFIRMED, AWARD.
const QStringList &blockTitles();
/// "DATA", or "FT8" while the DATA class counts FT8 alone.
QString dataCaption(bool ft8);
/// CW, PHONE, the DATA caption, MIX.
QStringList modeTitles(const QString &dataCaption = QStringLiteral("DATA"));
/// Block and mode of count slot r, as "CONFIRMED PHONE".
QString slotTitle(int r, bool ft8);

/// The mode legend: "INFO MODE USED (check your LOG):", then each mode title with its meaning ("= SSB AM FM").
QString legendTitle();
struct LegendEntry {
    QString mode;
    QString meaning;
};
const std::vector<LegendEntry> &legend();

/// The QSO total as the grid shows it ("QSOs: 3000"), and back.
QString qsoCaption(const QString &count);
QString qsoCount(const QString &caption);

} // namespace GridTexts
