#pragma once
#include "logbook/count/AwardKind.h"
#include "logbook/count/CountSlot.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

/// The fixed texts of the count grid that the main window, the single-band
/// window, the headless report and the grid export all show.
namespace GridTexts {

/// "v3.1": the program's version as the captions show it.
QString version();
/// The credits at the head of the window captions, ending in the version.
QString credits();
/// What the title line of either statistics window starts with.
inline constexpr const char *TitlePrefix = "Varkel  - ";

/// The caption of a count not computed.
inline constexpr const char *NotComputed = "-";
/// The lines under the bands; MIX is also the title of the ALL mode class.
inline constexpr const char *MixTitle = "MIX";
inline constexpr const char *TotTitle = "TOT";
inline constexpr const char *FullTitle = "FULL";

/// The award kind as the grid shows it (LblModo): "DXC" ... "QSO", empty for none.
QString kindCaption(std::optional<AwardKind> kind);

/// WORKED, CONFIRMED, NOT CONFIRMED, AWARD.
const QStringList &blockTitles();
/// "DATA", or "FT8" while the DATA class counts FT8 alone.
QString dataCaption(bool ft8);
/// CW, PHONE, the DATA caption, MIX.
QStringList modeTitles(const QString &dataCaption = QStringLiteral("DATA"));
/// Block and mode of count slot r, as "CONFIRMED PHONE".
QString slotTitle(int r, bool ft8);

/// The modes of the CW and PHONE classes as the legend and the contact
/// listings name them: PHONE's "SSB", "AM", "FM".
QStringList shownModeNames(ModeClass m);

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
