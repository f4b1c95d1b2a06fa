// The rules of the ADIF export, field by field, the bytes of a file, how it is
// written, and the export as the menu entries run it. That every contact and
// field of real listings and chases reads back equal to the log is checked by
// the independent parser (Adif.ReadBack).
#include "listing/AdifExport.h"
#include "Version.h"
#include "entities/EntityTable.h"
#include "listing/GridRecordset.h"
#include "listing/ListingExport.h"
#include "tests/support/FakePrompter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Fields = std::vector<Adif::Field>;

const EntityTable &testEntities()
{
    static const EntityTable table = EntityTable::fromCountryFile("I,Italy,248,EU,15,28,0,0,0,I IK IZ;\n"
                                                                  "OE,\xC3\x96sterreich,206,EU,15,28,0,0,0,OE;\n"
                                                                  "K,United States,291,NA,5,8,0,0,0,K W N;\n");
    return table;
}

AdifContact plain()
{
    AdifContact c;
    c.callsign = "IK2ABC";
    c.tdate = "2024-03-09 14:05:07";
    c.band = "14.0";
    c.mode = "CW";
    c.sent = "Y";
    c.received = "N";
    c.wpx = "IK2";
    c.waz = "15";
    c.itu = "28";
    c.wac = "EU";
    c.sqr = "JN45";
    c.dxc = "I";
    return c;
}

/// The value of field `name`, "(none)" when the record lacks it.
QString value(const Fields &fields, const QString &name)
{
    for (const Adif::Field &f : fields) {
        if (f.name == name)
            return f.value;
    }
    return QStringLiteral("(none)");
}

Fields of(const AdifContact &c) { return Adif::fields(c, testEntities()); }

/// The fields of plain() with one column changed.
Fields with(QString AdifContact::*column, const QString &text)
{
    AdifContact c = plain();
    c.*column = text;
    return of(c);
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(AdifFields, APlainContactGivesEveryFieldInOrder)
{
    AdifContact c = plain();
    c.manager = "IK2XYZ";
    c.diptext = "IOTA EU-001";
    const Fields expected = {
        {"CALL", "IK2ABC"},     {"QSO_DATE", "20240309"},
        {"TIME_ON", "140507"},  {"BAND", "20m"},
        {"MODE", "CW"},         {"QSL_SENT", "Y"},
        {"QSL_RCVD", "N"},      {"QSL_VIA", "IK2XYZ"},
        {"PFX", "IK2"},         {"CQZ", "15"},
        {"ITUZ", "28"},         {"CONT", "EU"},
        {"GRIDSQUARE", "JN45"}, {"DXCC", "248"},
        {"COUNTRY", "Italy"},   {"APP_VARKELCHECKER_DIPTEXT", "IOTA EU-001"},
    };
    EXPECT_EQ(of(c), expected);
    // NULL and empty values give no field at all.
    EXPECT_EQ(of(AdifContact{}), Fields{});
}

TEST(AdifFields, BandLabelsOfTheTableAndADIFsOwnNames)
{
    const std::pair<const char *, const char *> table[] = {
        {"0.134", "2190m"}, {"1.8", "160m"},  {"3.5", "80m"},   {"5.3", "60m"},   {"7.0", "40m"}, {"10.1", "30m"},   {"14.0", "20m"},
        {"18.1", "17m"},    {"21.0", "15m"},  {"24.9", "12m"},  {"28.0", "10m"},  {"50", "6m"},   {"70", "4m"},      {"144", "2m"},
        {"430", "70cm"},    {"1200", "23cm"}, {"2400", "13cm"}, {"5600", "6cm"},  {"10G", "3cm"}, {"24G", "1.25cm"}, {"10g", "3cm"},
        {" 7.0 ", "40m"},   {"2M", "2m"},     {"40m", "40m"},   {"70CM", "70cm"},
    };
    for (const auto &[label, band] : table) {
        const Fields f = with(&AdifContact::band, label);
        EXPECT_EQ(value(f, "BAND"), band) << label;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_BANDA"), "(none)") << label;
    }
    // A label outside the table is no BAND, and is kept.
    for (const char *label : {"7", "220", "14", "14.070", "20 m"}) {
        const Fields f = with(&AdifContact::band, label);
        EXPECT_EQ(value(f, "BAND"), "(none)") << label;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_BANDA"), label) << label;
    }
}

TEST(AdifFields, ModesBySubmodeAndMode)
{
    const struct {
        const char *log, *mode, *submode;
    } cases[] = {
        {"FT4", "MFSK", "FT4"},
        {"PSK31", "PSK", "PSK31"},
        {"USB", "SSB", "USB"},
        {"lsb", "SSB", "LSB"},
        {"SSB", "SSB", "(none)"},
        {"ft8", "FT8", "(none)"},
        {"Fm", "FM", "(none)"},
        {"JT65B", "JT65", "JT65B"},
        {"JS8", "MFSK", "JS8"},
        {"Q65", "MFSK", "Q65"},
        {"RTTY", "RTTY", "(none)"},
        {"SSTV", "SSTV", "(none)"},
        {"olivia 8/250", "OLIVIA", "OLIVIA 8/250"},
        {"C4FM", "DIGITALVOICE", "C4FM"},
        {"VARA HF", "DYNAMIC", "VARA HF"},
    };
    for (const auto &m : cases) {
        const Fields f = with(&AdifContact::mode, m.log);
        EXPECT_EQ(value(f, "MODE"), m.mode) << m.log;
        EXPECT_EQ(value(f, "SUBMODE"), m.submode) << m.log;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_MODE"), "(none)") << m.log;
    }
    for (const char *log : {"DIGI", "PHONE", "BPSK", "FT8/FT4"}) {
        const Fields f = with(&AdifContact::mode, log);
        EXPECT_EQ(value(f, "MODE"), "(none)") << log;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_MODE"), log) << log;
    }
}

TEST(AdifFields, QslFlagsTakeOnlyTheValuesOfTheirEnumerations)
{
    // QSL_SENT: Y N R Q I; QSL_RCVD: Y N R I (Q and the import-only V are no received status).
    const struct {
        const char *flag, *sent, *received;
    } cases[] = {
        {"Y", "Y", "Y"},      {"y", "Y", "Y"}, {"N", "N", "N"},           {"R", "R", "R"},
        {"Q", "Q", "(none)"}, {"i", "I", "I"}, {"V", "(none)", "(none)"}, {"X", "(none)", "(none)"},
    };
    for (const auto &q : cases) {
        AdifContact c = plain();
        c.sent = q.flag;
        c.received = q.flag;
        const Fields f = of(c);
        EXPECT_EQ(value(f, "QSL_SENT"), q.sent) << q.flag;
        EXPECT_EQ(value(f, "QSL_RCVD"), q.received) << q.flag;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_S"), QString(q.sent) == "(none)" ? q.flag : "(none)") << q.flag;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_R"), QString(q.received) == "(none)" ? q.flag : "(none)") << q.flag;
    }
}

TEST(AdifFields, AwardValuesOutsideTheirFieldsAreKept)
{
    AdifContact c = plain();
    c.wpx = "??";
    c.waz = "41";
    c.itu = "0";
    c.wac = "XX";
    c.sqr = "ZZ99";
    c.dxc = "??";
    const Fields f = of(c);
    for (const char *name : {"PFX", "CQZ", "ITUZ", "CONT", "GRIDSQUARE", "DXCC", "COUNTRY"})
        EXPECT_EQ(value(f, name), "(none)") << name;
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_WPX"), "??");
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_WAZ"), "41");
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_ITU"), "0");
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_WAC"), "XX");
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_SQR"), "ZZ99");
    EXPECT_EQ(value(f, "APP_VARKELCHECKER_DXC"), "??");
    // Edges that fit: zones 1, 40 and 90 (leading zeros dropped), a continent in
    // small letters, locators of 2, 6 and 8 characters, a DXC text by prefix.
    c.waz = "01";
    c.itu = "90";
    c.wac = "an";
    c.sqr = "jn";
    c.dxc = " ik2 ";
    Fields g = of(c);
    EXPECT_EQ(value(g, "CQZ"), "1");
    EXPECT_EQ(value(g, "ITUZ"), "90");
    EXPECT_EQ(value(g, "CONT"), "AN");
    EXPECT_EQ(value(g, "GRIDSQUARE"), "jn");
    EXPECT_EQ(value(g, "DXCC"), "248");
    c.waz = "40";
    c.sqr = "FN31pr27";
    c.dxc = "W";
    g = of(c);
    EXPECT_EQ(value(g, "CQZ"), "40");
    EXPECT_EQ(value(g, "GRIDSQUARE"), "FN31pr27");
    EXPECT_EQ(value(g, "COUNTRY"), "United States");
    c.sqr = "FN31p";
    c.waz = "4O";
    g = of(c);
    EXPECT_EQ(value(g, "APP_VARKELCHECKER_SQR"), "FN31p");
    EXPECT_EQ(value(g, "APP_VARKELCHECKER_WAZ"), "4O");
}

TEST(AdifFields, DatesADIFCannotTakeAreKept)
{
    AdifContact c = plain();
    c.tdate = "2001-01-01"; // midnight: the log keeps the date alone
    EXPECT_EQ(value(of(c), "QSO_DATE"), "20010101");
    EXPECT_EQ(value(of(c), "TIME_ON"), "000000");
    c.tdate = "1930-01-01 00:00:01";
    EXPECT_EQ(value(of(c), "QSO_DATE"), "19300101");
    for (const char *bad :
         {"1929-12-31 23:59:59", "2024-02-30 10:00:00", "2024-03-09 24:00:00", "09/03/2024 10:00:00", "2024-03-09T10:00:00"}) {
        c.tdate = bad;
        const Fields f = of(c);
        EXPECT_EQ(value(f, "QSO_DATE"), "(none)") << bad;
        EXPECT_EQ(value(f, "TIME_ON"), "(none)") << bad;
        EXPECT_EQ(value(f, "APP_VARKELCHECKER_TDATE"), bad) << bad;
    }
}

TEST(AdifDocument, HeaderThenRecordsWithLengthsInBytes)
{
    AdifContact c = plain();
    c.callsign = "\xC3\x96H2\xC3\x85"
                 "B"; // ÖH2ÅB: 7 bytes, 5 characters
    c.dxc = "OE";
    c.diptext = "Citt\xC3\xA0 <EOR> \xE6\x9D\xB1"; // Città <EOR> 東
    const QByteArray doc = Adif::document({c, AdifContact{}}, testEntities(), QDateTime(QDate(2026, 12, 8), QTime(1, 2, 3), Qt::UTC));
    const QByteArray header = "ADIF export of VarkelChecker: 2 contacts\n<ADIF_VER:5>3.1.6\n<PROGRAMID:13>VarkelChecker\n<PROGRAMVERSION:" +
                              QByteArray::number(qsizetype(strlen(VARKEL_VERSION))) +
                              ">" VARKEL_VERSION "\n"
                              "<CREATED_TIMESTAMP:15>20261208 010203\n<EOH>\n";
    ASSERT_TRUE(doc.startsWith(header)) << doc.left(200).toStdString();
    const QByteArray records = doc.mid(header.size());
    EXPECT_TRUE(records.startsWith("<CALL:7>\xC3\x96H2\xC3\x85"
                                   "B <QSO_DATE:8>20240309 <TIME_ON:6>140507 <BAND:3>20m"));
    EXPECT_TRUE(records.contains("<COUNTRY:11>\xC3\x96sterreich <APP_VARKELCHECKER_DIPTEXT:16>Citt\xC3\xA0 <EOR> \xE6\x9D\xB1 <EOR>\n"));
    // The empty contact is an empty record: one record per contact.
    EXPECT_TRUE(records.endsWith("<EOR>\n<EOR>\n"));
}

TEST(AdifWrite, WrittenBesideAndPutInPlaceOnlyWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("chase.adi");
    const QDateTime created(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC);
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_TRUE(Adif::write(path, {plain()}, testEntities(), created).ok());
    EXPECT_EQ(contents(path), Adif::document({plain()}, testEntities(), created));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"chase.adi"});
    // A folder that does not exist: a failure that says where, and nothing written.
    const Status failed = Adif::write(dir.filePath("missing/chase.adi"), {plain()}, testEntities(), created);
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.error().contains("missing/chase.adi")) << failed.error().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{"chase.adi"});
}

TEST(AdifListing, ColumnsAreTakenByTheirLogNamesInTheShownOrder)
{
    QueryTable table;
    table.fields = {"ID", "mode", "CALLSIGN", "tdate", "Banda", "NOTE"};
    table.cells = {"2", "FT4", "DL1ABC", "2020-05-06 07:08:09", "7.0", "x", "1", QString(), "I1ABC", "2021-01-01", "1.8", "y"};
    GridRecordset rows;
    rows.setTable(table, false);
    rows.sort(0, Qt::AscendingOrder);
    const auto contacts = Adif::contactsOfListing(rows);
    ASSERT_TRUE(contacts.ok());
    ASSERT_EQ(contacts->size(), 2u);
    EXPECT_EQ((*contacts)[0].callsign, "I1ABC");
    EXPECT_TRUE((*contacts)[0].mode.isNull());
    EXPECT_EQ((*contacts)[1].mode, "FT4");
    EXPECT_EQ((*contacts)[1].band, "7.0");
    EXPECT_TRUE((*contacts)[1].manager.isNull());
    // An entity listing names its columns otherwise: it lists no contacts.
    table.fields = {"DXC", "First_CALL", "BAND_", "MODE_", "First_DATE", "MANAGER"};
    rows.setTable(table, true);
    EXPECT_FALSE(Adif::contactsOfListing(rows).ok());
}

TEST(AdifListing, TheMenuEntryAsksForTheFileAndSaysWhatItWrote)
{
    QTemporaryDir dir;
    QueryTable table;
    table.fields = {"Callsign", "TDate", "Banda", "Mode"};
    table.cells = {"I1ABC", "2020-05-06 07:08:09", "14.0", "SSB", "DL1ABC", "2020-05-07 07:08:09", "7.0", "CW"};
    GridRecordset rows;
    rows.setTable(table, false);
    const LoadedLog state{"TESTDT", {}};
    FakePrompter prompter;
    const QString target = dir.filePath("out.adi");
    prompter.saveFileAnswers.enqueue(target);
    exportListingAdif(prompter, state, std::nullopt, rows, dir.path(), QDate(2024, 3, 9));
    const auto saves = prompter.of(FakePrompter::Kind::SaveFile);
    ASSERT_EQ(saves.size(), 1);
    EXPECT_EQ(saves[0].title, "VARKELchecker - Export");
    EXPECT_EQ(saves[0].filter, "ADIF file (*.adi)");
    EXPECT_EQ(saves[0].folder, QDir(dir.path()).filePath("TEST_QSO_2024-03-09.adi"));
    EXPECT_EQ(prompter.messageTexts(), QStringList{"2 contacts written to " + target});
    EXPECT_EQ(prompter.messages()[0].flags, MsgFlags::Information);
    EXPECT_EQ(contents(target).count("<EOR>"), 2);
    EXPECT_TRUE(prompter.of(FakePrompter::Kind::OpenDocument).isEmpty());

    // Cancelled: nothing written, nothing said.
    prompter.clear();
    QFile::remove(target);
    exportListingAdif(prompter, state, AwardKind::Qso, rows, dir.path(), QDate(2024, 3, 9));
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_FALSE(QFile::exists(target));

    // A failed write says why.
    prompter.clear();
    prompter.saveFileAnswers.enqueue(dir.filePath("missing/out.adi"));
    exportListingAdif(prompter, state, std::nullopt, rows, dir.path(), QDate(2024, 3, 9));
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].flags, MsgFlags::Exclamation);
    EXPECT_TRUE(prompter.messages()[0].text.contains("missing/out.adi"));

    // No contacts, or entities instead of contacts: a word, and no file dialog.
    prompter.clear();
    GridRecordset none;
    none.setTable(QueryTable{{"Callsign", "TDate"}, {}}, false);
    exportListingAdif(prompter, state, std::nullopt, none, dir.path(), QDate(2024, 3, 9));
    EXPECT_EQ(prompter.messageTexts(), QStringList{"There are no contacts to export."});
    prompter.clear();
    GridRecordset entities;
    entities.setTable(QueryTable{{"DXC", "First_CALL"}, {"I", "I1ABC"}}, true);
    exportListingAdif(prompter, state, AwardKind::Dxc, entities, dir.path(), QDate(2024, 3, 9));
    EXPECT_EQ(prompter.messageTexts(), QStringList{"EXPORT ADIF writes contacts: this listing shows entities, not contacts."});
    EXPECT_TRUE(prompter.of(FakePrompter::Kind::SaveFile).isEmpty());
}
