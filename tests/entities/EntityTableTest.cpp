// The DXCC entities: the matching of a log's DXC texts (primary prefix, case,
// whole callsigns, longest prefix, unknown texts), the table of deleted
// entities, the country file the system installs, and which cty.csv is read.
#include "entities/EntityTable.h"
#include "entities/CountryFile.h"
#include "entities/DeletedEntities.h"
#include "stats/EntityData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

const char *const CountryFile = "3B8,Mauritius,165,AF,39,53,-20.35,-57.50,-4.0,3B8;\n"
                                "VK,Australia,150,OC,30,55,-23.70,-132.33,-10.0,AX VH VI VJ VK VL VM VN VZ =VK9XX;\n"
                                "VK9X,Christmas Island,35,OC,29,54,-10.48,-105.63,-7.0,AX9X VI9X VK9X(29)[54] VZ9X;\r\n"
                                "I,Italy,248,EU,15,28,42.82,-12.58,-1.0,I;\n"
                                "*IT9,Sicily,248,EU,15,28,37.50,-14.00,-1.0,IT9 IB9;\n"
                                "OK,Czech Republic,503,EU,15,28,50.00,-16.00,-1.0,OK OL;\n"
                                "not a line of the file\n"
                                "XX,No code,abc,EU,1,1,0,0,0,XX;\n";

std::string nameOf(const EntityTable &t, const char *text)
{
    const DxccEntity *e = t.lookup(text);
    return e ? e->name : std::string("-");
}

/// The system's country file, or empty when the system has none.
QString systemCountryFile()
{
    for (const std::string &folder : countryFileFolders()) {
        const QString path = QDir(QString::fromStdString(folder)).filePath(QStringLiteral("cty.csv"));
        if (QFile::exists(path))
            return path;
    }
    return {};
}

void write(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

TEST(EntityMatching, PrimaryPrefixThenWholeCallThenLongestPrefix)
{
    size_t skipped = 0;
    const EntityTable t = EntityTable::fromCountryFile(CountryFile, &skipped);
    EXPECT_EQ(skipped, 2u);
    EXPECT_EQ(t.currentCount(), 5u); // the WAE area is no DXCC entity
    EXPECT_EQ(nameOf(t, "3B8"), "Mauritius");
    EXPECT_EQ(nameOf(t, " vk9x "), "Christmas Island"); // primary prefix, case and blanks aside
    EXPECT_EQ(nameOf(t, "VK9XA"), "Christmas Island");  // longest prefix of the list, overrides stripped
    EXPECT_EQ(nameOf(t, "VK9XX"), "Australia");         // a whole callsign the file lists
    EXPECT_EQ(nameOf(t, "vk2"), "Australia");           // longest prefix
    EXPECT_EQ(nameOf(t, "IT9"), "Italy");               // the WAE area's prefix falls to its DXCC entity
    EXPECT_EQ(nameOf(t, "OK"), "Czech Republic");       // a current primary prefix before a deleted one
    EXPECT_EQ(nameOf(t, "dm"), "East Germany");         // deleted, by its primary prefix
    EXPECT_TRUE(t.lookup("DM")->deleted);
    EXPECT_EQ(t.lookup("DM")->adif, 229);
    EXPECT_EQ(t.lookup("DM")->countsUntil, "1990-10-02");
    EXPECT_EQ(nameOf(t, "9s4"), "Saar");
    // Texts that match nothing have no entity (the caller keeps them as they are).
    for (const char *unknown : {"XYZ", "", "  ", "??", "Q", "XX"})
        EXPECT_EQ(t.lookup(unknown), nullptr) << unknown;
    EXPECT_FALSE(t.lookup("3B8")->deleted);
    EXPECT_EQ(t.lookup("3b8")->adif, 165);
    EXPECT_EQ(t.lookup("3B8")->continent, "AF");
    EXPECT_EQ(t.lookup("3B8")->cqZone, 39);
    EXPECT_EQ(t.lookup("3B8")->ituZone, 53);
}

TEST(EntityMatching, WithoutACountryFileOnlyDeletedEntitiesAreKnown)
{
    const EntityTable t;
    EXPECT_EQ(t.currentCount(), 0u);
    EXPECT_EQ(t.entities().size(), deletedEntities().size());
    EXPECT_EQ(nameOf(t, "Y2"), "-"); // the deleted entities carry no prefix lists
    EXPECT_EQ(nameOf(t, "kz5"), "Panama Canal Zone");
    EXPECT_EQ(t.lookup("3B8"), nullptr);
    EXPECT_EQ(EntityData::name(t.lookup("ok")), QStringLiteral("Czechoslovakia (deleted)"));
    EXPECT_EQ(EntityData::name(nullptr), QString());
}

TEST(DeletedEntities, TableIsWhole)
{
    const std::vector<DxccEntity> &d = deletedEntities();
    EXPECT_EQ(d.size(), 62u);
    std::set<int> codes;
    int previous = 0;
    for (const DxccEntity &e : d) {
        EXPECT_TRUE(e.deleted);
        EXPECT_FALSE(e.name.empty());
        EXPECT_GT(e.adif, previous) << "in order of ADIF code: " << e.name;
        previous = e.adif;
        codes.insert(e.adif);
        EXPECT_EQ(std::set<std::string>({"AF", "AS", "EU", "NA", "OC", "SA"}).count(e.continent), 1u) << e.name;
        // An ISO date between the first deletions and today.
        ASSERT_EQ(e.countsUntil.size(), 10u) << e.name;
        EXPECT_TRUE(e.countsUntil >= "1945-01-01" && e.countsUntil <= "2030-12-31") << e.name;
        EXPECT_EQ(e.countsUntil[4], '-');
        EXPECT_EQ(e.countsUntil[7], '-');
    }
    EXPECT_EQ(codes.size(), d.size());
}

TEST(CountryFile, SystemFileReadsWholeAndAgreesWithTheDeletedTable)
{
    const QString path = systemCountryFile();
    if (path.isEmpty())
        GTEST_SKIP() << "no country file installed on this system";
    QString source;
    const EntityTable t = EntityData::read({QFileInfo(path).absolutePath()}, &source);
    EXPECT_EQ(source, path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    size_t skipped = 99;
    const EntityTable again = EntityTable::fromCountryFile(std::string_view(text.constData(), size_t(text.size())), &skipped);
    EXPECT_EQ(skipped, 0u);
    EXPECT_EQ(again.currentCount(), t.currentCount());
    // The DXCC list has some 340 current entities.
    EXPECT_GT(t.currentCount(), 330u);
    EXPECT_LT(t.currentCount(), 360u);
    std::set<int> current;
    for (size_t i = 0; i < t.currentCount(); ++i) {
        const DxccEntity &e = t.entities()[i];
        EXPECT_FALSE(e.deleted);
        EXPECT_GT(e.adif, 0) << e.prefix;
        EXPECT_FALSE(e.continent.empty()) << e.prefix;
        current.insert(e.adif);
        EXPECT_EQ(t.lookup(e.prefix), &e) << "primary prefix names its entity: " << e.prefix;
    }
    EXPECT_EQ(current.size(), t.currentCount()) << "one line per entity";
    for (const DxccEntity &e : deletedEntities())
        EXPECT_EQ(current.count(e.adif), 0u) << "deleted entity among the current ones: " << e.name;
    // A few texts a log holds, through the prefix lists.
    EXPECT_EQ(t.lookup("3B8")->adif, 165);
    EXPECT_EQ(t.lookup("dl")->adif, 230);
    EXPECT_EQ(t.lookup("DJ")->adif, 230);
    EXPECT_EQ(t.lookup("IT9")->adif, 248);
    EXPECT_EQ(t.lookup("VK9X")->adif, 35);
    EXPECT_EQ(t.lookup("ZS8")->adif, 201);
    EXPECT_EQ(t.lookup("W")->adif, 291);
}

TEST(CountryFile, FileBesideTheProgramTakesPrecedence)
{
    QTemporaryDir beside, system;
    ASSERT_TRUE(beside.isValid() && system.isValid());
    write(system.filePath("cty.csv"), "3B8,Mauritius,165,AF,39,53,-20.35,-57.50,-4.0,3B8;\n");
    QString source;
    EXPECT_EQ(EntityData::read({beside.path(), system.path()}, &source).currentCount(), 1u);
    EXPECT_EQ(source, system.filePath("cty.csv")); // nothing beside the program: the system's

    write(beside.filePath("cty.csv"), "3B8,Mauritius (newer),165,AF,39,53,-20.35,-57.50,-4.0,3B8;\n"
                                      "3B9,Rodriguez Island,207,AF,39,53,-19.70,-63.42,-4.0,3B9;\n");
    const EntityTable newer = EntityData::read({beside.path(), system.path()}, &source);
    EXPECT_EQ(source, beside.filePath("cty.csv"));
    EXPECT_EQ(newer.currentCount(), 2u);
    EXPECT_EQ(newer.lookup("3B8")->name, "Mauritius (newer)");

    // One that is empty or not a country file is passed over.
    write(beside.filePath("cty.csv"), "<html>not found</html>\n");
    EXPECT_EQ(EntityData::read({beside.path(), system.path()}, &source).currentCount(), 1u);
    EXPECT_EQ(source, system.filePath("cty.csv"));

    // None at all: the deleted entities alone.
    QFile::remove(system.filePath("cty.csv"));
    const EntityTable none = EntityData::read({beside.path(), system.path()}, &source);
    EXPECT_TRUE(source.isEmpty());
    EXPECT_EQ(none.currentCount(), 0u);
    EXPECT_EQ(none.entities().size(), deletedEntities().size());
}
