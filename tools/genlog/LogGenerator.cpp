#include "tools/genlog/LogGenerator.h"

#include <array>
#include <random>

namespace genlog {
namespace {

struct Entity {
    const char *dxc;
    const char *prefix; ///< call prefix
    const char *waz;
    const char *itu;
    const char *wac;
    const char *square; ///< first two letters of the locator field
};

const std::array<Entity, 40> Entities = {{
    {"I", "I", "15", "28", "EU", "JN"},     {"DL", "DL", "14", "28", "EU", "JO"},  {"F", "F", "14", "27", "EU", "JN"},
    {"G", "G", "14", "27", "EU", "IO"},     {"EA", "EA", "14", "37", "EU", "IN"},  {"W", "W", "5", "8", "NA", "FN"},
    {"JA", "JA", "25", "45", "AS", "PM"},   {"VK", "VK", "30", "59", "OC", "QF"},  {"ZS", "ZS", "38", "57", "AF", "KF"},
    {"PY", "PY", "11", "15", "SA", "GG"},   {"LU", "LU", "13", "14", "SA", "GF"},  {"UA", "UA", "16", "29", "EU", "KO"},
    {"UA9", "UA9", "17", "30", "AS", "MO"}, {"OH", "OH", "15", "18", "EU", "KP"},  {"SM", "SM", "14", "18", "EU", "JO"},
    {"LA", "LA", "14", "18", "EU", "JP"},   {"OZ", "OZ", "14", "18", "EU", "JO"},  {"ON", "ON", "14", "27", "EU", "JO"},
    {"PA", "PA", "14", "27", "EU", "JO"},   {"HB", "HB9", "14", "28", "EU", "JN"}, {"OE", "OE", "15", "28", "EU", "JN"},
    {"OK", "OK", "15", "28", "EU", "JO"},   {"SP", "SP", "15", "28", "EU", "KO"},  {"HA", "HA", "15", "28", "EU", "JN"},
    {"YO", "YO", "20", "28", "EU", "KN"},   {"LZ", "LZ", "20", "28", "EU", "KN"},  {"SV", "SV", "20", "28", "EU", "KM"},
    {"9A", "9A", "15", "28", "EU", "JN"},   {"S5", "S5", "15", "28", "EU", "JN"},  {"CT", "CT", "14", "37", "EU", "IM"},
    {"EI", "EI", "14", "27", "EU", "IO"},   {"GM", "GM", "14", "27", "EU", "IO"},  {"4X", "4X", "20", "39", "AS", "KM"},
    {"A7", "A7", "21", "39", "AS", "LL"},   {"VU", "VU", "22", "41", "AS", "MK"},  {"BY", "BY", "24", "44", "AS", "OM"},
    {"ZL", "ZL", "32", "60", "OC", "RF"},   {"VE", "VE", "5", "9", "NA", "FN"},    {"CE", "CE", "12", "14", "SA", "FF"},
    {"3B8", "3B8", "39", "53", "AF", "LG"},
}};

/// Band labels with weights: every preset label, a few a real log holds
/// besides, and the empty band of a contact logged without one.
const std::array<std::pair<const char *, int>, 25> Bands = {{
    {"0.134", 1}, {"1.8", 3},   {"3.5", 8}, {"5.3", 1}, {"7.0", 12}, {"10.1", 5}, {"14.0", 20}, {"18.1", 5}, {"21.0", 12},
    {"24.9", 4},  {"28.0", 10}, {"50", 5},  {"70", 1},  {"144", 4},  {"220", 1},  {"430", 2},   {"1200", 1}, {"2400", 1},
    {"5600", 1},  {"10G", 1},   {"24G", 1}, {"7", 2},   {"2m", 1},   {"40M", 1},  {"", 1},
}};

const std::array<std::pair<const char *, int>, 15> Modes = {{
    {"CW", 25},
    {"SSB", 25},
    {"FM", 5},
    {"AM", 2},
    {"FT8", 20},
    {"RTTY", 6},
    {"PSK31", 4},
    {"SSTV", 2},
    {"cw", 2},
    {"ssb", 2},
    {"ft8", 2},
    {"Fm", 1},
    {"JT65", 2},
    {"FT4", 3},
    {"", 1},
}};

class Dice {
public:
    explicit Dice(uint32_t seed) : m_rng(seed) {}
    int below(int n) { return int(m_rng() % uint32_t(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template<size_t N>
    const char *weighted(const std::array<std::pair<const char *, int>, N> &table)
    {
        int total = 0;
        for (const auto &e : table)
            total += e.second;
        int pick = below(total);
        for (const auto &e : table) {
            if (pick < e.second)
                return e.first;
            pick -= e.second;
        }
        return table.back().first;
    }

private:
    std::mt19937 m_rng;
};

Text flag(Dice &dice, int yesPercent)
{
    const int r = dice.below(100);
    if (r < yesPercent)
        return dice.chance(3) ? "y" : "Y";
    if (r < yesPercent + (100 - yesPercent) * 7 / 10)
        return "N";
    if (r < 97)
        return "";
    return std::nullopt;
}

/// An award value as logs hold it: mostly real, sometimes unknown ("??"), empty or missing.
Text award(Dice &dice, const std::string &value)
{
    const int r = dice.below(1000);
    if (r < 20)
        return "??";
    if (r < 35)
        return "";
    if (r < 45)
        return std::nullopt;
    return value;
}

std::string letters(Dice &dice, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += char('A' + dice.below(26));
    return s;
}

struct Station {
    std::string call;
    int entity;
    std::string square;
};

} // namespace

const Text &awardValue(const LogRow &row, int kind)
{
    switch (kind) {
    case 0:
        return row.DXC;
    case 1:
        return row.WPX;
    case 2:
        return row.WAZ;
    case 3:
        return row.ITU;
    case 4:
        return row.WAC;
    default:
        return row.SQR;
    }
}

std::vector<jet4::Column> logColumns()
{
    using jet4::ColumnType;
    return {
        {"ID", ColumnType::Long},          {"Callsign", ColumnType::Text, 20}, {"TDate", ColumnType::DateTime},
        {"Banda", ColumnType::Text, 10},   {"Mode", ColumnType::Text, 10},     {"MANAGER", ColumnType::Text, 20},
        {"S", ColumnType::Text, 1},        {"R", ColumnType::Text, 1},         {"D", ColumnType::Text, 1},
        {"DIPTEXT", ColumnType::Text, 50}, {"DXC", ColumnType::Text, 10},      {"WPX", ColumnType::Text, 10},
        {"WAZ", ColumnType::Text, 5},      {"ITU", ColumnType::Text, 5},       {"WAC", ColumnType::Text, 5},
        {"SQR", ColumnType::Text, 6},      {"NOTE", ColumnType::Memo},
    };
}

std::vector<jet4::Value> toValues(const LogRow &row)
{
    auto text = [](const Text &t) -> jet4::Value {
        if (!t)
            return std::nullopt;
        return jet4::Value(std::in_place, *t);
    };
    return {
        jet4::Value(std::in_place, row.ID),
        text(row.Callsign),
        jet4::Value(std::in_place, row.TDate),
        text(row.Banda),
        text(row.Mode),
        text(row.MANAGER),
        text(row.S),
        text(row.R),
        text(row.D),
        text(row.DIPTEXT),
        text(row.DXC),
        text(row.WPX),
        text(row.WAZ),
        text(row.ITU),
        text(row.WAC),
        text(row.SQR),
        text(row.NOTE),
    };
}

void generate(std::size_t count, uint32_t seed, const std::function<void(const LogRow &)> &sink)
{
    Dice dice(seed);
    // A pool of stations worked again and again, so entities recur across bands.
    const size_t poolSize = count < 50 ? 20 : count / 6 + 20;
    std::vector<Station> pool;
    pool.reserve(poolSize);
    for (size_t i = 0; i < poolSize; ++i) {
        const int e = dice.below(int(Entities.size()));
        Station st;
        st.call = std::string(Entities[size_t(e)].prefix) + char('0' + dice.below(10)) + letters(dice, 1 + dice.below(3));
        if (dice.chance(3))
            st.call += "/P";
        st.entity = e;
        st.square = std::string(Entities[size_t(e)].square) + char('0' + dice.below(10)) + char('0' + dice.below(10));
        pool.push_back(std::move(st));
    }
    static const char *const Notes[] = {"", "Città del Vaticano", "Москва", "Ñandú 73", "QSL via büro", "東京"};
    for (size_t i = 0; i < count; ++i) {
        const Station &st = pool[size_t(dice.below(int(pool.size())))];
        const Entity &en = Entities[size_t(st.entity)];
        LogRow row;
        row.ID = int32_t(i + 1);
        row.Callsign = st.call;
        row.TDate = jet4::oleDate(1995 + dice.below(32), 1 + dice.below(12), 1 + dice.below(28), dice.below(24), dice.below(60), 0);
        row.Banda = dice.chance(1) ? Text() : Text(dice.weighted(Bands));
        row.Mode = dice.chance(1) ? Text() : Text(dice.weighted(Modes));
        row.MANAGER = dice.chance(10)
                          ? Text(std::string(Entities[size_t(dice.below(int(Entities.size())))].prefix) + "1" + letters(dice, 3))
                          : Text("");
        row.S = flag(dice, 60);
        row.R = flag(dice, 45);
        row.D = flag(dice, 20);
        row.DIPTEXT = dice.chance(15) ? Text(dice.chance(50) ? "DXCC" : "IOTA EU-001 Città") : Text("");
        row.DXC = award(dice, en.dxc);
        std::string wpx = st.call.substr(0, st.call.find_first_of("0123456789") + 1);
        row.WPX = award(dice, wpx);
        row.WAZ = award(dice, en.waz);
        row.ITU = award(dice, en.itu);
        row.WAC = award(dice, en.wac);
        row.SQR = award(dice, st.square);
        row.NOTE = dice.chance(2) ? Text() : Text(Notes[dice.below(6)]);
        sink(row);
    }
}

std::vector<LogRow> generate(std::size_t count, uint32_t seed)
{
    std::vector<LogRow> rows;
    rows.reserve(count);
    generate(count, seed, [&rows](const LogRow &r) { rows.push_back(r); });
    return rows;
}

std::string writeLogbook(const std::string &path, const std::vector<LogRow> &rows)
{
    jet4::Jet4Writer writer("LOG", logColumns());
    for (const LogRow &r : rows)
        writer.addRow(toValues(r));
    return writer.save(path);
}

std::string writeGeneratedLogbook(const std::string &path, std::size_t count, uint32_t seed)
{
    jet4::Jet4Writer writer("LOG", logColumns());
    generate(count, seed, [&writer](const LogRow &r) { writer.addRow(toValues(r)); });
    return writer.save(path);
}

} // namespace genlog
