// The names of DXCC entities where the program lists DXC entities: the NEEDED
// lists (their tables, and --needed in text, csv and json read back) and the
// tool tips of the NOT CONFIRMED cells; the other kinds stay without names.
// Names are checked against the country file the program read, read here
// line by line, and against the deleted entities' names.
#include "app/HeadlessReport.h"
#include "logbook/LogbookEngine.h"
#include "stats/EntityData.h"
#include "stats/NeededLists.h"
#include "tests/support/CountryReference.h"
#include "tests/support/CsvFields.h"
#include "tests/support/TempLogbook.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <gtest/gtest.h>
#include <set>

namespace {

/// The band "6m" holds only the extra texts below.
const QStringList Headers = {"1.8", "3.5", "7.0", "14.0", "21.0", "28.0", "6m", "", "", "", "", "", "", "", "", "", "", "", "", ""};

/// Texts a log holds besides the generated ones (which never spell them so):
/// primary prefixes in other cases, a prefix that is none, a deleted entity,
/// a text of no entity.
const QStringList Extra = {"3d2", "vk9x", "Zs8", "ua0", "dm", "QQ9"};

class EntityNames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new TempLogbook;
        std::vector<genlog::LogRow> rows = genlog::generate(900, 23);
        for (const QString &text : Extra) {
            // Worked without a confirmation on 6m, confirmed on 21.0: in both lists.
            rows.push_back(makeRow("6m", "CW", "N", "N", text.toStdString()));
            rows.push_back(makeRow("21.0", "SSB", "Y", "N", text.toStdString()));
        }
        rows.push_back(makeRow("6m", "CW", "N", "N", "??"));
        rows.push_back(makeRow("6m", "CW", "N", "N", genlog::Text()));
        path = new QString(folder->write(rows));
    }
    static void TearDownTestSuite()
    {
        delete path;
        delete folder;
    }

    void SetUp() override
    {
        if (EntityData::source().isEmpty())
            GTEST_SKIP() << "no country file cty.csv beside the program or in the system's folder";
    }

    /// The name a DXC text should show: the country file's, or a deleted entity's.
    static QString expected(const QString &text)
    {
        static const CountryReference file(EntityData::source());
        if (text.trimmed().toUpper() == QLatin1String("DM"))
            return QStringLiteral("East Germany (deleted)");
        return file.name(text);
    }

    /// The output of --needed KIND in a format.
    static QString needed(const char *kind, const char *format)
    {
        QStringList args = {"--needed", kind, "--bands", Headers.mid(0, 7).join(QLatin1Char(',')), "--format", format, *path};
        const auto options = HeadlessReport::parseArguments(args);
        EXPECT_TRUE(options.ok());
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(HeadlessReport::run(*options, folder->folder(), o, e), 0) << err.toStdString();
        o.flush();
        return out;
    }

    static TempLogbook *folder;
    static QString *path;
};
TempLogbook *EntityNames::folder = nullptr;
QString *EntityNames::path = nullptr;

} // namespace

TEST_F(EntityNames, ReferenceNamesTheTextsOfTheLog)
{
    // The reference itself, on texts whose names the country file has had for years.
    EXPECT_EQ(expected("3b8"), "Mauritius");
    EXPECT_EQ(expected("VK9X"), "Christmas Island");
    EXPECT_EQ(expected("HB"), "Switzerland");
    EXPECT_EQ(expected("ua0"), "Asiatic Russia");
    EXPECT_EQ(expected("QQ9"), "");
}

TEST_F(EntityNames, NeededTablesOfDxcHaveANameColumn)
{
    LogbookEngine engine;
    const auto log = engine.open(*path);
    ASSERT_TRUE(log.ok());
    const Result<Needed::Report> dxc = Needed::report(**log, AwardKind::Dxc, Headers, false);
    ASSERT_TRUE(dxc.ok());
    const QStringList qslFields = {"BAND", "CLASS",    "DXC",      "NAME",    "QSOS",    "CALLSIGN",
                                   "DATE", "QSO_BAND", "QSO_MODE", "MANAGER", "DIPTEXT", "OLDER_QSOS"};
    EXPECT_EQ(dxc->tables.qsl.fields, qslFields);
    EXPECT_EQ(dxc->tables.bandSlots.fields, QStringList({"BAND", "CLASS", "DXC", "NAME", "STATUS", "WORKED_ON"}));
    std::set<QString> seen;
    for (const QueryTable *t : {&dxc->tables.qsl, &dxc->tables.bandSlots}) {
        ASSERT_GT(t->rowCount(), 0);
        for (qsizetype r = 0; r < t->rowCount(); ++r) {
            EXPECT_EQ(t->at(r, 3), expected(t->at(r, 2))) << t->at(r, 2).toStdString();
            seen.insert(t->at(r, 2));
        }
    }
    for (const QString &text : Extra)
        EXPECT_EQ(seen.count(text), 1u) << "listed as the log spells it: " << text.toStdString();
    const Result<Needed::Report> wpx = Needed::report(**log, AwardKind::Wpx, Headers, false);
    ASSERT_TRUE(wpx.ok());
    EXPECT_EQ(wpx->tables.qsl.fields.indexOf("NAME"), -1);
    EXPECT_EQ(wpx->tables.bandSlots.fields, QStringList({"BAND", "CLASS", "WPX", "STATUS", "WORKED_ON"}));
    EXPECT_EQ(dxc->tables.qsl.rowCount(), qsizetype(dxc->chase.qsl.size()));
}

TEST_F(EntityNames, NotConfirmedToolTipsNameDxcEntities)
{
    LogbookEngine engine;
    const auto log = engine.open(*path);
    ASSERT_TRUE(log.ok());
    for (const AwardKind kind : {AwardKind::Dxc, AwardKind::Wpx}) {
        const Result<Chase::Lists> lists = Needed::lists(**log, kind, Headers, false);
        ASSERT_TRUE(lists.ok());
        int tips = 0;
        for (int p = 0; p < 7; ++p) {
            for (const ModeClass m : {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All}) {
                QStringList items;
                for (const Chase::QslEntry &e : lists->qsl) {
                    if (e.position != p || e.mode != m)
                        continue;
                    const QString text = QString::fromUtf8(e.entity.data(), qsizetype(e.entity.size()));
                    const QString name = kind == AwardKind::Dxc ? expected(text) : QString();
                    items << (name.isEmpty() ? text : text + QLatin1Char(' ') + name);
                }
                const QString tip = Needed::hint(*lists, kind, p, m);
                if (items.isEmpty()) {
                    EXPECT_TRUE(tip.isEmpty());
                    continue;
                }
                ++tips;
                const QString more = items.size() > 10 ? QStringLiteral(", ...") : QString();
                EXPECT_EQ(tip, QStringLiteral("%1 not confirmed: %2%3").arg(items.size()).arg(items.mid(0, 10).join(", "), more));
            }
        }
        EXPECT_GT(tips, 5);
    }
    const Result<Chase::Lists> lists = Needed::lists(**log, AwardKind::Dxc, Headers, false);
    ASSERT_TRUE(lists.ok());
    const QString tip = Needed::hint(*lists, AwardKind::Dxc, 6, ModeClass::Cw);
    EXPECT_TRUE(tip.startsWith(QStringLiteral("6 not confirmed: "))) << tip.toStdString();
    for (const char *item : {"dm East Germany (deleted)", "QQ9", "3d2 Fiji", "ua0 Asiatic Russia", "vk9x Christmas Island"})
        EXPECT_TRUE(tip.contains(QLatin1String(item))) << tip.toStdString();
}

TEST_F(EntityNames, NeededJsonNamesDxcEntitiesOnly)
{
    const QJsonObject dxc = QJsonDocument::fromJson(needed("DXC", "json").toUtf8()).object();
    std::set<QString> named, unnamed;
    int entities = 0;
    for (const char *list : {"qsl", "bandSlots"}) {
        for (const QJsonValue group : dxc.value(list).toArray()) {
            for (const QJsonValue v : group.toObject().value("entities").toArray()) {
                const QJsonObject e = v.toObject();
                ++entities;
                const QString text = e.value("entity").toString();
                ASSERT_TRUE(e.contains("name")) << text.toStdString();
                const QString name = expected(text);
                if (name.isEmpty()) {
                    EXPECT_TRUE(e.value("name").isNull()) << text.toStdString();
                    unnamed.insert(text);
                } else {
                    EXPECT_EQ(e.value("name").toString(), name);
                    named.insert(text);
                }
            }
        }
    }
    EXPECT_GT(entities, 100);
    EXPECT_EQ(unnamed, std::set<QString>({"QQ9"}));
    EXPECT_EQ(named.count("dm"), 1u);
    EXPECT_EQ(named.count("ua0"), 1u);

    const QJsonObject wpx = QJsonDocument::fromJson(needed("WPX", "json").toUtf8()).object();
    int wpxEntities = 0;
    for (const char *list : {"qsl", "bandSlots"}) {
        for (const QJsonValue group : wpx.value(list).toArray()) {
            for (const QJsonValue v : group.toObject().value("entities").toArray()) {
                ++wpxEntities;
                EXPECT_FALSE(v.toObject().contains("name"));
            }
        }
    }
    EXPECT_GT(wpxEntities, 100);
}

TEST_F(EntityNames, NeededTextAndCsvHaveTheNameColumn)
{
    for (const char *format : {"text", "csv"}) {
        const bool csv = QLatin1String(format) == QLatin1String("csv");
        QStringList lines = needed("DXC", format).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!csv)
            lines.removeFirst(); // the title line
        int rows = 0, headers = 0;
        for (const QString &line : lines) {
            const QStringList f = csv ? csvFields(line) : line.split(QLatin1Char('\t'));
            ASSERT_GE(f.size(), 5) << line.toStdString();
            if (f[0] == QLatin1String("list")) {
                ++headers;
                EXPECT_EQ(f.mid(1, 4), QStringList({"BAND", "CLASS", "DXC", "NAME"}));
                continue;
            }
            ASSERT_TRUE(f[0] == QLatin1String("QSL") || f[0] == QLatin1String("SLOT")) << line.toStdString();
            EXPECT_EQ(f[4], expected(f[3])) << format << ": " << line.toStdString();
            EXPECT_EQ(f.size(), f[0] == QLatin1String("QSL") ? 13 : 7) << line.toStdString();
            ++rows;
        }
        EXPECT_EQ(headers, 2);
        EXPECT_GT(rows, 100);
        // The other kinds list no names.
        const QString wpx = needed("WPX", format);
        EXPECT_FALSE(wpx.contains(csv ? QStringLiteral(",NAME,") : QStringLiteral("\tNAME\t")));
    }
}
