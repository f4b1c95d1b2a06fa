#include "tests/adif/AdifReference.h"

#include "Version.h"
#include "entities/DeletedEntities.h"
#include "tests/support/ReferenceCounts.h"
#include "tests/support/TempLogbook.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace adifref {
namespace {

QString q(const std::string &s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

/// Blanks around removed, as ADIF values are written; NULL is empty.
std::string bare(const genlog::Text &t)
{
    if (!t)
        return {};
    const size_t b = t->find_first_not_of(" \t");
    return b == std::string::npos ? std::string() : t->substr(b, t->find_last_not_of(" \t") - b + 1);
}

std::string upper(std::string s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return s;
}

const std::map<std::string, std::string> Bands = {
    {"0.134", "2190m"},
    {"1.8", "160m"},
    {"3.5", "80m"},
    {"5.3", "60m"},
    {"7.0", "40m"},
    {"10.1", "30m"},
    {"14.0", "20m"},
    {"18.1", "17m"},
    {"21.0", "15m"},
    {"24.9", "12m"},
    {"28.0", "10m"},
    {"50", "6m"},
    {"70", "4m"},
    {"144", "2m"},
    {"430", "70cm"},
    {"1200", "23cm"},
    {"2400", "13cm"},
    {"5600", "6cm"},
    {"10G", "3cm"},
    {"24G", "1.25cm"},
    // ADIF's own names, as a log may hold them
    {"2M", "2m"},
    {"40M", "40m"},
};

/// The mode texts the test rows hold that ADIF knows: mode, submode.
const std::map<std::string, std::pair<std::string, std::string>> Modes = {
    {"CW", {"CW", ""}},
    {"SSB", {"SSB", ""}},
    {"FM", {"FM", ""}},
    {"AM", {"AM", ""}},
    {"FT8", {"FT8", ""}},
    {"RTTY", {"RTTY", ""}},
    {"SSTV", {"SSTV", ""}},
    {"JT65", {"JT65", ""}},
    {"PSK31", {"PSK", "PSK31"}},
    {"FT4", {"MFSK", "FT4"}},
    {"USB", {"SSB", "USB"}},
    {"LSB", {"SSB", "LSB"}},
    {"JS8", {"MFSK", "JS8"}},
    {"JT9E FAST", {"JT9", "JT9E FAST"}},
    {"C4FM", {"DIGITALVOICE", "C4FM"}},
};

bool inRange(const std::string &s, int low, int high)
{
    if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::stoi(s);
    return n >= low && n <= high;
}

} // namespace

const std::vector<Entity> &entities()
{
    static const std::vector<Entity> list = {
        {"I", "Italy", 248},           {"DL", "Fed. Rep. of Germany", 230},
        {"F", "France", 227},          {"G", "England", 223},
        {"EA", "España", 281},         {"W", "United States", 291},
        {"JA", "日本", 339},           {"VK", "Australia", 150},
        {"ZS", "South Africa", 462},   {"PY", "Brazil", 108},
        {"LU", "Argentina", 100},      {"UA", "European Russia", 54},
        {"UA9", "Asiatic Russia", 15}, {"OH", "Finland", 224},
        {"SM", "Sweden", 284},         {"LA", "Norway", 266},
        {"OZ", "Denmark", 221},        {"ON", "Belgium", 209},
        {"PA", "Netherlands", 263},    {"HB", "Switzerland", 287},
        {"OE", "Österreich", 206},     {"OK", "Czech Republic", 503},
        {"SP", "Poland", 269},         {"HA", "Hungary", 239},
        {"YO", "Romania", 275},        {"LZ", "Bulgaria", 212},
        {"SV", "Greece", 236},         {"9A", "Croatia", 497},
        {"S5", "Slovenia", 499},       {"CT", "Portugal", 272},
        {"EI", "Ireland", 245},        {"GM", "Scotland", 279},
        {"4X", "Israel", 336},         {"A7", "Qatar", 376},
        {"VU", "India", 324},          {"BY", "China", 318},
        {"ZL", "New Zealand", 170},    {"VE", "Canada", 1},
        {"CE", "Chile", 112},          {"3B8", "Mauritius", 165},
    };
    return list;
}

std::string countryFile()
{
    std::string csv;
    for (const Entity &e : entities())
        csv += e.prefix + "," + e.name + "," + std::to_string(e.code) + ",EU,14,28,0.0,0.0,0.0," + e.prefix + ";\n";
    return csv;
}

Resolver testEntities()
{
    std::map<std::string, Entity> primary;
    for (const Entity &e : entities())
        primary.emplace(e.prefix, e);
    for (const DxccEntity &d : deletedEntities()) {
        if (!d.prefix.empty())
            primary.emplace(upper(d.prefix), Entity{d.prefix, d.name, d.adif});
    }
    return [primary](const std::string &text) -> std::optional<Entity> {
        const std::string key = upper(text);
        if (const auto e = primary.find(key); e != primary.end())
            return e->second;
        for (size_t n = key.size(); n > 0; --n) {
            for (const Entity &e : entities()) {
                if (e.prefix == key.substr(0, n))
                    return e;
            }
        }
        return std::nullopt;
    };
}

QJsonObject expectedRecord(const genlog::LogRow &row, const Resolver &dxcc)
{
    QJsonObject r;
    const auto put = [&r](const char *name, const std::string &value) {
        if (!value.empty())
            r[QString::fromLatin1(name)] = q(value);
    };
    const auto kept = [&put](const char *column, const std::string &value) {
        put((std::string("APP_VARKELCHECKER_") + column).c_str(), value);
    };
    put("CALL", bare(row.Callsign));
    // An OLE date: days since 1899-12-30, the time as the day's fraction.
    const QDateTime when = QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC).addSecs(qint64(std::llround(row.TDate * 86400.0)));
    if (when.date().year() >= 1930) {
        put("QSO_DATE", when.toString("yyyyMMdd").toStdString());
        put("TIME_ON", when.toString("HHmmss").toStdString());
    } else {
        kept("TDATE", when.toString(when.time() == QTime(0, 0) ? "yyyy-MM-dd" : "yyyy-MM-dd HH:mm:ss").toStdString());
    }
    const std::string band = bare(row.Banda);
    if (const auto b = Bands.find(upper(band)); b != Bands.end())
        put("BAND", b->second);
    else
        kept("BANDA", band);
    const std::string mode = bare(row.Mode);
    if (const auto m = Modes.find(upper(mode)); m != Modes.end()) {
        put("MODE", m->second.first);
        put("SUBMODE", m->second.second);
    } else {
        kept("MODE", mode);
    }
    const std::string s = upper(bare(row.S)), rcvd = upper(bare(row.R));
    if (s == "Y" || s == "N" || s == "R" || s == "Q" || s == "I")
        put("QSL_SENT", s);
    else
        kept("S", bare(row.S));
    if (rcvd == "Y" || rcvd == "N" || rcvd == "R" || rcvd == "I")
        put("QSL_RCVD", rcvd);
    else
        kept("R", bare(row.R));
    put("QSL_VIA", bare(row.MANAGER));
    const std::string wpx = bare(row.WPX);
    if (wpx != "??")
        put("PFX", wpx);
    else
        kept("WPX", wpx);
    const std::string waz = bare(row.WAZ), itu = bare(row.ITU);
    if (inRange(waz, 1, 40))
        put("CQZ", std::to_string(std::stoi(waz)));
    else
        kept("WAZ", waz);
    if (inRange(itu, 1, 90))
        put("ITUZ", std::to_string(std::stoi(itu)));
    else
        kept("ITU", itu);
    const std::string wac = upper(bare(row.WAC));
    if (wac == "NA" || wac == "SA" || wac == "EU" || wac == "AF" || wac == "OC" || wac == "AS" || wac == "AN")
        put("CONT", wac);
    else
        kept("WAC", bare(row.WAC));
    const std::string sqr = bare(row.SQR);
    static const QRegularExpression grid("^[A-R]{2}([0-9]{2}([A-X]{2}([0-9]{2})?)?)?$", QRegularExpression::CaseInsensitiveOption);
    if (grid.match(q(sqr)).hasMatch())
        put("GRIDSQUARE", sqr);
    else
        kept("SQR", sqr);
    const std::string dxc = bare(row.DXC);
    const std::optional<Entity> entity = dxc.empty() ? std::nullopt : dxcc(dxc);
    if (entity) {
        put("DXCC", std::to_string(entity->code));
        put("COUNTRY", entity->name);
    } else {
        kept("DXC", bare(row.DXC));
    }
    put("APP_VARKELCHECKER_DIPTEXT", bare(row.DIPTEXT));
    return r;
}

std::set<int32_t> qslChaseIds(const std::vector<genlog::LogRow> &rows, const std::string &column, const std::vector<std::string> &bands,
                              bool ft8)
{
    std::set<int32_t> ids;
    for (const std::string &band : bands) {
        if (band.empty())
            continue;
        for (const ModeClass m : {ModeClass::Cw, ModeClass::Phone, ModeClass::Data, ModeClass::All}) {
            const CountDescription worked{column, CountDescription::Bands::Pattern, {band}, m, QslStatus::Worked, ft8};
            CountDescription confirmed = worked;
            confirmed.status = QslStatus::Confirmed;
            std::set<std::string> confirmedThere;
            for (const genlog::LogRow &row : rows) {
                if (reference::counts(row, confirmed))
                    confirmedThere.insert(reference::folded(*reference::column(row, column)));
            }
            for (const genlog::LogRow &row : rows) {
                if (reference::counts(row, worked) && !confirmedThere.count(reference::folded(*reference::column(row, column))))
                    ids.insert(row.ID);
            }
        }
    }
    return ids;
}

std::vector<genlog::LogRow> oddRows()
{
    std::vector<genlog::LogRow> rows;
    const auto add = [&rows](const char *call, genlog::Text band, genlog::Text mode) -> genlog::LogRow & {
        rows.push_back(makeRow(std::move(band), std::move(mode), "N"));
        rows.back().Callsign = call;
        rows.back().TDate = jet4::oleDate(2024, 6, 30, 23, 59, 58);
        return rows.back();
    };
    add("\xC3\x96H2\xC3\x85"
        "B", // ÖH2ÅB: two-byte letters in the callsign
        "14.0", "USB")
        .DIPTEXT = "Citt\xC3\xA0 del Vaticano \xE6\x9D\xB1\xE4\xBA\xAC"; // Città del Vaticano 東京
    add(" I1ABC ", "10g", "lsb").MANAGER = "\xC3\x91"
                                           "AND\xC3\x9A"; // ÑANDÚ, blanks around the callsign
    {
        genlog::LogRow &r = add("DL1XYZ", "7", "DIGI");
        r.S = "R";
        r.R = "Q"; // no QSL_RCVD value: kept
        r.WAZ = "41";
        r.ITU = "0";
        r.WAC = "XX";
        r.SQR = "ZZ99";
        r.DXC = "dl";
        r.WPX = "??";
    }
    {
        genlog::LogRow &r = add("W1AW", "220", "ft4");
        r.S = "q";
        r.R = "i";
        r.WAZ = "05";
        r.SQR = "fn31pr";
        r.DXC = " W ";
        r.TDate = jet4::oleDate(1920, 5, 1, 10, 0, 0); // ADIF takes no date before 1930
    }
    {
        genlog::LogRow &r = add("JA1ABC", "2400", "PSK31");
        r.TDate = jet4::oleDate(2001, 1, 1, 0, 0, 0); // midnight: the log keeps the date alone
        r.DXC = "ZZ9";
        r.WAC = "as";
        r.S = "X";
        r.R = std::nullopt;
    }
    add("VK9XX", "24G", "JS8").DXC = "VK9X";
    add("OE3ABC", "40M", "jt9e fast").DIPTEXT = "M\xC3\xBC"
                                                "nchen <b> & <EOR>"; // München, with ADIF's own marks
    add("S51A", std::nullopt, "c4fm");
    add("EA3XYZ", "0.134", std::nullopt).MANAGER = "EA3\xE2\x82\xAC"; // €: three bytes
    return rows;
}

bool writeExpected(const QString &folder, const QString &name, const std::vector<const genlog::LogRow *> &rows, const Resolver &dxcc)
{
    QJsonArray records;
    for (const genlog::LogRow *row : rows)
        records.append(expectedRecord(*row, dxcc));
    QFile f(QDir(folder).filePath(name + ".expected.json"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QJsonObject header{{"ADIF_VER", "3.1.6"}, {"PROGRAMID", "VarkelChecker"}, {"PROGRAMVERSION", VARKEL_VERSION}};
    return f.write(QJsonDocument(QJsonObject{{"header", header}, {"records", records}}).toJson(QJsonDocument::Compact)) > 0;
}

} // namespace adifref
