// --needed read back in text, csv and json, for every kind, FT8 off and on, a
// band set with a blank position: per band and mode class, the QSL chase's
// entities with their contacts newest first (callsign, band, mode, and the
// newest's manager and DIPTEXT) and the band-slot chase's entities with
// "confirmed elsewhere" or "worked elsewhere" and the bands they are worked
// on, each against plain loops over the generated rows.
#include "app/HeadlessReport.h"
#include "stats/GridTexts.h"
#include "tests/count/CountTestLog.h"
#include "tests/support/CsvFields.h"
#include "tests/support/ReferenceCounts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

const QStringList KindNames = {"DXC", "WPX", "WAZ", "ITU", "WAC", "SQR"};
/// Position 1 blank; "1*" a pattern.
const QString BandArgument = QStringLiteral("14.0,,7.0,2M,1*,10G");

/// Band header, mode class, folded entity.
using Key = std::tuple<QString, int, std::string>;

/// A QSL chase entity: its contacts newest first ("CALLSIGN BAND MODE") and the newest one's manager and DIPTEXT.
struct QslFacts {
    QStringList contacts;
    QString manager, diptext;
    bool operator==(const QslFacts &) const = default;
};

struct NeededLists {
    std::map<Key, QslFacts> qsl;
    std::map<Key, reference::SlotFacts> bandSlots;
};

QString text(const genlog::Text &t) { return QString::fromStdString(t.value_or(std::string())); }
QString contact(const QString &callsign, const QString &band, const QString &mode) { return callsign + ' ' + band + ' ' + mode; }

class HeadlessNeeded : public testing::TestWithParam<std::tuple<int, bool>> {
protected:
    static void SetUpTestSuite() { s_log = new counttest::OpenedLog(counttest::openGenerated(1500, 41, counttest::neverConfirmedRows())); }
    static void TearDownTestSuite()
    {
        delete s_log;
        s_log = nullptr;
    }

    static QString needed(const QString &kind, bool ft8, const char *format)
    {
        QStringList args{"--needed", kind, "--bands", BandArgument, "--format", format};
        if (ft8)
            args << "--ft8";
        const auto options = HeadlessReport::parseArguments(args << s_log->folder->path(QStringLiteral("testdt.mdb")));
        EXPECT_TRUE(options.ok());
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(HeadlessReport::run(*options, s_log->folder->folder(), o, e), 0) << err.toStdString();
        EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        o.flush();
        return out;
    }

    /// The plain loops' lists over every band of the set and every class.
    static NeededLists expected(const std::string &column, bool ft8)
    {
        NeededLists lists;
        for (const QString &band : BandArgument.split(QLatin1Char(','))) {
            if (band.isEmpty())
                continue;
            for (int m = 0; m < 4; ++m) {
                for (const auto &[entity, rows] : reference::qslChase(s_log->rows, column, band.toStdString(), ModeClass(m), ft8)) {
                    QslFacts &facts = lists.qsl[{band, m, entity}];
                    for (const genlog::LogRow *row : rows)
                        facts.contacts << contact(text(row->Callsign), text(row->Banda), text(row->Mode));
                    facts.manager = text(rows.front()->MANAGER);
                    facts.diptext = text(rows.front()->DIPTEXT);
                }
                for (const auto &[entity, facts] : reference::bandSlotChase(s_log->rows, column, band.toStdString(), ModeClass(m), ft8))
                    lists.bandSlots[{band, m, entity}] = facts;
            }
        }
        return lists;
    }

    static counttest::OpenedLog *s_log;
};

counttest::OpenedLog *HeadlessNeeded::s_log = nullptr;

/// The text (tab-separated, after its title line) or csv lists, fields found by their column titles.
NeededLists readTable(const QString &out, const QString &kind, bool ft8, bool csv)
{
    const QStringList classes = GridTexts::modeTitles(GridTexts::dataCaption(ft8));
    NeededLists lists;
    QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (!csv) {
        EXPECT_TRUE(lines.value(0).startsWith(QStringLiteral("VarkelChecker "))) << lines.value(0).toStdString();
        lines.removeFirst();
    }
    QStringList titles;
    for (const QString &line : lines) {
        const QStringList f = csv ? csvFields(line) : line.split(QLatin1Char('\t'));
        if (f[0] == QLatin1String("list")) {
            titles = f;
            continue;
        }
        EXPECT_EQ(f.size(), titles.size()) << line.toStdString();
        const auto at = [&](const char *title) {
            const qsizetype i = titles.indexOf(QLatin1String(title));
            EXPECT_GE(i, 0) << title;
            return f.value(i);
        };
        const Key key{at("BAND"), int(classes.indexOf(at("CLASS"))), reference::folded(f.value(titles.indexOf(kind)).toStdString())};
        if (f[0] == QLatin1String("QSL")) {
            QslFacts &facts = lists.qsl[key];
            facts.contacts << contact(at("CALLSIGN"), at("QSO_BAND"), at("QSO_MODE"));
            facts.manager = at("MANAGER");
            facts.diptext = at("DIPTEXT");
            QString newer = at("DATE").left(10);
            for (const QString &older : at("OLDER_QSOS").split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
                const QStringList c = older.split(QLatin1Char(' '));
                EXPECT_EQ(c.size(), 4) << older.toStdString();
                facts.contacts << contact(c.value(0), c.value(2), c.value(3));
                EXPECT_LE(c.value(1), newer) << "newest first: " << line.toStdString();
                newer = c.value(1);
            }
            EXPECT_EQ(at("QSOS").toLongLong(), facts.contacts.size()) << line.toStdString();
        } else {
            EXPECT_EQ(f[0], QLatin1String("SLOT")) << line.toStdString();
            const QString status = at("STATUS");
            EXPECT_TRUE(status == QLatin1String("confirmed elsewhere") || status == QLatin1String("worked elsewhere"))
                << line.toStdString();
            reference::SlotFacts &facts = lists.bandSlots[key];
            facts.confirmed = status == QLatin1String("confirmed elsewhere");
            for (const QString &b : at("WORKED_ON").split(QStringLiteral(", ")))
                facts.workedOn.insert(b == QLatin1String("(no band)") ? std::string() : b.toStdString());
        }
    }
    return lists;
}

NeededLists readJson(const QString &out, const QString &kind, bool ft8)
{
    const QStringList classes = GridTexts::modeTitles(GridTexts::dataCaption(ft8));
    const QJsonObject root = QJsonDocument::fromJson(out.toUtf8()).object();
    EXPECT_EQ(root.value("kind").toString(), kind);
    EXPECT_EQ(root.value("ft8").toBool(), ft8);
    NeededLists lists;
    const auto groups = [&](const char *list, const auto &each) {
        for (const QJsonValue g : root.value(list).toArray()) {
            const QJsonObject group = g.toObject();
            const QJsonArray entities = group.value("entities").toArray();
            EXPECT_EQ(group.value("count").toInt(), entities.size());
            for (const QJsonValue e : entities) {
                const QJsonObject entity = e.toObject();
                each(Key{group.value("band").toString(), int(classes.indexOf(group.value("class").toString())),
                         reference::folded(entity.value("entity").toString().toStdString())},
                     entity);
            }
        }
    };
    groups("qsl", [&](const Key &key, const QJsonObject &entity) {
        QslFacts &facts = lists.qsl[key];
        const QJsonArray contacts = entity.value("contacts").toArray();
        for (const QJsonValue v : contacts) {
            const QJsonObject c = v.toObject();
            facts.contacts << contact(c.value("callsign").toString(), c.value("band").toString(), c.value("mode").toString());
        }
        facts.manager = contacts.first().toObject().value("manager").toString();
        facts.diptext = contacts.first().toObject().value("diptext").toString();
    });
    groups("bandSlots", [&](const Key &key, const QJsonObject &entity) {
        reference::SlotFacts &facts = lists.bandSlots[key];
        facts.confirmed = entity.value("confirmed").toBool();
        for (const QJsonValue b : entity.value("workedOn").toArray())
            facts.workedOn.insert(b.toString().toStdString());
    });
    return lists;
}

} // namespace

TEST_P(HeadlessNeeded, EveryFormatHoldsThePlainLoopsLists)
{
    const auto [kind, ft8] = GetParam();
    const QString name = KindNames[kind];
    const NeededLists want = expected(awardColumns()[size_t(kind)], ft8);
    // Both lists have entries, and the band-slot chase both flags.
    ASSERT_FALSE(want.qsl.empty());
    int confirmed = 0;
    for (const auto &[key, facts] : want.bandSlots)
        confirmed += facts.confirmed;
    ASSERT_GT(confirmed, 0);
    ASSERT_LT(confirmed, int(want.bandSlots.size()));
    for (const char *format : {"text", "csv", "json"}) {
        const QString out = needed(name, ft8, format);
        const NeededLists got = QLatin1String(format) == QLatin1String("json")
                                    ? readJson(out, name, ft8)
                                    : readTable(out, name, ft8, QLatin1String(format) == QLatin1String("csv"));
        EXPECT_TRUE(got.qsl == want.qsl) << format << ": QSL chase differs";
        EXPECT_TRUE(got.bandSlots == want.bandSlots) << format << ": band-slot chase differs";
    }
}

INSTANTIATE_TEST_SUITE_P(KindsAndFt8, HeadlessNeeded, testing::Combine(testing::Range(0, 6), testing::Bool()), [](const auto &info) {
    return KindNames[std::get<0>(info.param)].toStdString() + (std::get<1>(info.param) ? "_ft8" : "_data");
});
