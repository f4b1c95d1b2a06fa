#include "stats/GridTexts.h"

#include "Version.h"
#include "logbook/count/CountDescription.h"
#include "logbook/count/CountSlot.h"

namespace GridTexts {
namespace {
const QString QsoPrefix = QStringLiteral("QSOs: ");
} // namespace

QString version() { return QStringLiteral("v" VARKEL_VERSION); }

QString credits() { return QStringLiteral("VarkelChecker - award statistics of your Varkel log - ") + version(); }

QString kindCaption(std::optional<AwardKind> kind) { return kind ? QString::fromLatin1(AwardKinds::name(*kind)) : QString(); }

const QStringList &blockTitles()
{
    static const QStringList titles = {"WORKED", "CONFIRMED", "NOT CONFIRMED", "AWARD"};
    return titles;
}

QString dataCaption(bool ft8) { return ft8 ? QStringLiteral("FT8") : QStringLiteral("DATA"); }

QStringList modeTitles(const QString &dataCaption)
{
    return {QStringLiteral("CW"), QStringLiteral("PHONE"), dataCaption, QString::fromLatin1(MixTitle)};
}

QString slotTitle(int r, bool ft8)
{
    return blockTitles()[int(CountSlotIndex::status(r))] + QLatin1Char(' ') + modeTitles(dataCaption(ft8))[int(CountSlotIndex::mode(r))];
}

QString legendTitle() { return QStringLiteral("INFO MODE USED (check your LOG):"); }

QStringList shownModeNames(ModeClass m)
{
    QStringList names;
    for (const std::string &n : modeNames(m))
        names << QString::fromStdString(n);
    if (m == ModeClass::Phone)
        names.move(2, 1); // the counts' SSB FM AM
    return names;
}

const std::vector<LegendEntry> &legend()
{
    static const std::vector<LegendEntry> entries = [] {
        const QStringList titles = modeTitles();
        const auto named = [&](ModeClass m) {
            return LegendEntry{titles[int(m)], QStringLiteral("= ") + shownModeNames(m).join(QLatin1Char(' '))};
        };
        return std::vector<LegendEntry>{named(ModeClass::Cw),
                                        named(ModeClass::Phone),
                                        {titles[int(ModeClass::Data)], QStringLiteral("= RTTY PKT PSK31 SSTV")},
                                        {titles[int(ModeClass::All)], QStringLiteral("= ALL MODE")}};
    }();
    return entries;
}

QString qsoCaption(const QString &count) { return QsoPrefix + count; }

QString qsoCount(const QString &caption)
{
    return caption.startsWith(QsoPrefix) ? caption.mid(QsoPrefix.size()).trimmed() : caption.trimmed();
}

} // namespace GridTexts
