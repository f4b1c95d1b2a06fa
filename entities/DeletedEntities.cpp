#include "entities/DeletedEntities.h"

// The deleted DXCC entities, where each fact comes from:
//
// - Which ADIF entity codes are deleted, and the name ADIF gives each (the
//   comment after each line): ADIF 3.1.6, the enumeration DXCC_Entity_Code,
//   whose column "Deleted" marks them
//   (https://adif.org.uk/316/ADIF_316.htm#DXCC_Entity_Code_Enumeration).
//   That enumeration gives no prefixes, dates or continents.
// - The usual prefix (the first the list gives), the name shown, the
//   continent, and the last date whose contacts count for the entity: the
//   ARRL DXCC List's part "Deleted Entities" and its notes, as compiled in
//   the open data set k0swe/dxcc-json (dxcc-2020-02.csv: the columns prefix,
//   name, continent and validEnd of its rows with deleted = Y). Both sources
//   hold the same 62 codes.
//
// Three entities the list gives no prefix (Abu Ail, Blenheim Reef, Geyser
// Reef) have none here: a log's text cannot name them. Where two deleted
// entities share a prefix (CR8, HK0, P2, PJ, VQ9), the prefix names the
// first of them in this table. The current entities are not listed here:
// they come from the country file alone.
const std::vector<DxccEntity> &deletedEntities()
{
    struct Row {
        const char *prefix, *name;
        int adif;
        const char *continent, *countsUntil;
    };
    static const Row Rows[] = {
        {"", "Abu Ail Islands", 2, "AS", "1991-03-30"},                               // ADIF: ABU AIL IS.
        {"VQ9", "Aldabra", 8, "AF", "1976-06-28"},                                    // ADIF: ALDABRA
        {"HK0", "Bajo Nuevo", 19, "NA", "1981-09-16"},                                // ADIF: BAJO NUEVO
        {"", "Blenheim Reef", 23, "AF", "1975-06-30"},                                // ADIF: BLENHEIM REEF
        {"ZC5", "British North Borneo", 25, "OC", "1963-09-15"},                      // ADIF: BRITISH NORTH BORNEO
        {"VQ6", "British Somaliland", 26, "AF", "1960-06-30"},                        // ADIF: BRITISH SOMALILAND
        {"KZ5", "Panama Canal Zone", 28, "NA", "1979-09-30"},                         // ADIF: CANAL ZONE
        {"PK6", "Celebes and the Molucca Islands", 30, "OC", "1963-04-30"},           // ADIF: CELEBE & MOLUCCA IS.
        {"FH", "Comoros", 39, "AF", "1975-07-05"},                                    // ADIF: COMOROS
        {"CR8", "Daman and Diu", 42, "AS", "1961-12-31"},                             // ADIF: DAMAO, DIU
        {"VQ9", "Desroches Island", 44, "AF", "1976-06-28"},                          // ADIF: DESROCHES
        {"VQ9", "Farquhar Group", 55, "AF", "1976-06-28"},                            // ADIF: FARQUHAR
        {"FQ8", "French Equatorial Africa", 57, "AF", "1960-08-16"},                  // ADIF: FRENCH EQUATORIAL AFRICA
        {"FI8", "French Indo-China", 58, "AS", "1950-12-20"},                         // ADIF: FRENCH INDO-CHINA
        {"FF", "French West Africa", 59, "AF", "1960-08-06"},                         // ADIF: FRENCH WEST AFRICA
        {"FN8", "French India", 67, "AS", "1954-10-31"},                              // ADIF: FRENCH INDIA
        {"8Z5", "Kuwait/Saudi Arabia Neutral Zone", 68, "AS", "1969-12-14"},          // ADIF: KUWAIT/SAUDI ARABIA NEUTRAL ZONE
        {"DA", "West Germany", 81, "EU", "1973-09-16"},                               // ADIF: GERMANY
        {"PJ", "Bonaire and Curaçao", 85, "SA", "2010-10-09"},                        // ADIF: BONAIRE, CURACAO
        {"", "Geyser Reef", 93, "AF", "1978-02-28"},                                  // ADIF: GEYSER REEF
        {"CR8", "Goa", 101, "AS", "1961-12-31"},                                      // ADIF: GOA
        {"ZD4", "British Togoland", 102, "AF", "1957-03-05"},                         // ADIF: GOLD COAST, TOGOLAND
        {"EA9", "Ifni", 113, "AF", "1969-05-13"},                                     // ADIF: IFNI
        {"I5", "Italian Somaliland", 115, "AF", "1960-06-30"},                        // ADIF: ITALIAN SOMALILAND
        {"PK1", "Java", 119, "OC", "1963-04-30"},                                     // ADIF: JAVA
        {"VS9K", "Kamaran Island", 127, "AS", "1982-03-10"},                          // ADIF: KAMARAN IS.
        {"UN1", "Karelo-Finnish Soviet Socialist Republic", 128, "EU", "1960-06-30"}, // ADIF: KARELO-FINNISH REPUBLIC
        {"KH5K", "Kingman Reef", 134, "OC", "2016-03-29"},                            // ADIF: KINGMAN REEF
        {"VS9H", "Khuriya Muriya Islands", 139, "AS", "1967-11-29"},                  // ADIF: KURIA MURIA I.
        {"R1/M", "Maly Vysotsky Island", 151, "EU", "2012-02-16"},                    // ADIF: MALYJ VYSOTSKIJ I.
        {"4W", "Yemen Arab Republic", 154, "AS", "1990-05-21"},                       // ADIF: YEMEN ARAB REPUBLIC
        {"VS2", "Malaya", 155, "AS", "1963-09-15"},                                   // ADIF: MALAYA
        {"C9", "Manchuria", 164, "AS", "1963-09-15"},                                 // ADIF: MANCHURIA
        {"1M", "Minerva Reefs", 178, "OC", "1972-07-15"},                             // ADIF: MINERVA REEF
        {"PK5", "Netherlands Borneo", 183, "OC", "1963-04-30"},                       // ADIF: NETHERLANDS BORNEO
        {"JZ0", "Netherlands New Guinea", 184, "OC", "1963-04-30"},                   // ADIF: NETHERLANDS NEW GUINEA
        {"VO", "Newfoundland, Labrador", 186, "NA", "1949-03-31"},                    // ADIF: NEWFOUNDLAND, LABRADOR
        {"KR6", "Ryukyu Islands", 193, "AS", "1972-05-14"},                           // ADIF: OKINAWA (RYUKYU IS.)
        {"7J1", "Okinotorishima", 194, "AS", "1980-11-30"},                           // ADIF: OKINO TORI-SHIMA
        {"ZC6", "Palestine", 196, "AS", "1968-06-30"},                                // ADIF: PALESTINE
        {"P2", "Papua Territory", 198, "OC", "1975-09-15"},                           // ADIF: PAPUA TERRITORY
        {"CR8", "Portuguese Timor", 200, "OC", "1976-09-14"},                         // ADIF: PORTUGUESE TIMOR
        {"9U5", "Ruanda-Urundi", 208, "AF", "1962-06-30"},                            // ADIF: RUANDA-URUNDI
        {"9S4", "Saar", 210, "EU", "1957-03-31"},                                     // ADIF: SAAR
        {"OK", "Czechoslovakia", 218, "EU", "1992-12-31"},                            // ADIF: CZECHOSLOVAKIA
        {"VS4", "Sarawak", 220, "OC", "1963-09-15"},                                  // ADIF: SARAWAK
        {"8Z4", "Saudi Arabia/Iraq Neutral Zone", 226, "AS", "1981-12-25"},           // ADIF: SAUDI ARABIA/IRAQ NEUTRAL ZONE
        {"HK0", "Serrana Bank & Roncador Cay", 228, "NA", "1981-09-16"},              // ADIF: SERRANA BANK & RONCADOR CAY
        {"DM", "East Germany", 229, "EU", "1990-10-02"},                              // ADIF: GERMAN DEMOCRATIC REPUBLIC
        {"AC3", "Sikkim", 231, "AS", "1975-04-30"},                                   // ADIF: SIKKIM
        {"VS9A", "People's Democratic Rep. of Yemen", 243, "AS", "1990-05-21"},       // ADIF: PEOPLE'S DEMOCRATIC REP. OF YEMEN
        {"ST0", "Southern Sudan", 244, "AF", "1994-12-31"},                           // ADIF: SOUTHERN SUDAN
        {"PJ", "St. Maarten, Saba, St. Eustatius", 255, "NA", "2010-10-09"},          // ADIF: ST. MAARTEN, SABA, ST. EUSTATIUS
        {"PK4", "Sumatra", 258, "OC", "1963-04-30"},                                  // ADIF: SUMATRA
        {"KS4", "Swan Is.", 261, "NA", "1972-08-31"},                                 // ADIF: SWAN IS.
        {"CN2", "Tangier", 264, "AF", "1960-06-30"},                                  // ADIF: TANGIER
        {"P2", "Territory of New Guinea", 267, "OC", "1975-09-15"},                   // ADIF: TERRITORY OF NEW GUINEA
        {"AC4", "Tibet", 268, "AS", "1974-05-30"},                                    // ADIF: TIBET
        {"I1", "Trieste", 271, "EU", "1957-03-31"},                                   // ADIF: TRIESTE
        {"VQ1", "Zanzibar", 307, "AF", "1974-05-31"},                                 // ADIF: ZANZIBAR
        {"ZS9", "Walvis Bay", 488, "AF", "1994-02-28"},                               // ADIF: WALVIS BAY
        {"ZS0", "Penguin Is.", 493, "AF", "1994-02-28"},                              // ADIF: PENGUIN IS.
    };
    static const std::vector<DxccEntity> Table = [] {
        std::vector<DxccEntity> out;
        for (const Row &r : Rows)
            out.push_back(DxccEntity{r.prefix, r.name, r.adif, r.continent, 0, 0, true, r.countsUntil});
        return out;
    }();
    return Table;
}
