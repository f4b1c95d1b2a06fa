#include "DrillDown.h"

#include "CountSlot.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace CountSlotIndex;

namespace {

/// Every listing text the grid can ask for, one line each: the kind (or "none"
/// before the first run), the label clicked, the FT8 option, the outcome and
/// the text. The band set has blank positions, a quote and a wildcard.
QStringList everyListing()
{
    QStringList h(Bands);
    h[0] = QStringLiteral("14.0");
    h[2] = QStringLiteral("21.0");
    h[3] = QStringLiteral("   ");
    h[4] = QStringLiteral("O'BAND");
    h[6] = QStringLiteral("28*");
    const int shownBands[] = {0, 1, 4, 6};
    std::vector<std::optional<AwardKind>> kinds = {std::nullopt};
    for (const AwardKinds::Entry &entry : AwardKinds::Table)
        kinds.emplace_back(entry.kind);

    QStringList lines;
    const auto add = [&](const std::optional<AwardKind> &kind, const QString &label, bool ft8, const DrillDown::Request &q) {
        const char *outcome = q.outcome == DrillDown::Outcome::Listing              ? "LIST"
                              : q.outcome == DrillDown::Outcome::NotConfirmedNotice ? "NOTICE"
                                                                                    : "NOTHING";
        lines << QStringLiteral("%1|%2|%3|%4|%5")
                     .arg(kind ? QString::fromLatin1(AwardKinds::name(*kind)) : QStringLiteral("none"), label,
                          ft8 ? QStringLiteral("FT8") : QStringLiteral("DATA"), QLatin1String(outcome), q.sql);
    };
    for (const std::optional<AwardKind> &kind : kinds) {
        for (const bool ft8 : {false, true}) {
            for (const int band : shownBands) {
                for (int r = 0; r < Slots; ++r)
                    add(kind, QStringLiteral("cell %1").arg(cell(band, r)), ft8, DrillDown::cell(cell(band, r), kind, h, ft8));
            }
            for (int r = 0; r < Slots; ++r) {
                add(kind, QStringLiteral("MIX %1").arg(r), ft8, DrillDown::mix(r, kind, h, ft8));
                add(kind, QStringLiteral("FULL %1").arg(r), ft8, DrillDown::full(r, kind, ft8));
            }
            add(kind, QStringLiteral("MIX no band"), ft8, DrillDown::mix(0, kind, QStringList(Bands), ft8));
        }
    }
    return lines;
}

} // namespace

// The listing texts were audited one by one: they stay as they are, character
// for character. VARKEL_WRITE_LISTINGS=FILE writes them anew.
TEST(DrillDownTexts, EveryListingTextAsAudited)
{
    const QStringList lines = everyListing();
    if (const QByteArray target = qgetenv("VARKEL_WRITE_LISTINGS"); !target.isEmpty()) {
        QFile out(QString::fromLocal8Bit(target));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        return;
    }
    QFile expected(QStringLiteral(":/DrillDownTexts.txt"));
    ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
    const QStringList audited = QString::fromUtf8(expected.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), audited.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].toStdString(), audited[i].toStdString());
}
