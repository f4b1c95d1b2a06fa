#pragma once
// What an ADIF export of generated rows must hold, worked out from the rows
// alone with tables of its own: which rows a QSL chase takes, and the ADIF
// fields each row stands for.

#include "tools/genlog/LogGenerator.h"

#include <QJsonObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace adifref {

/// A DXCC entity of the test's country file.
struct Entity {
    std::string prefix; ///< primary prefix, also the one prefix of its list
    std::string name;
    int code;
};

/// The entities of the generator's DXC texts, a few names beyond ASCII.
const std::vector<Entity> &entities();

/// entities() as a country file (cty.csv).
std::string countryFile();

/// The entity a DXC text (blanks around removed) stands for, if any.
using Resolver = std::function<std::optional<Entity>(const std::string &dxcText)>;

/// The entity of a DXC text by the country file of entities() and the
/// deleted entities: a primary prefix without regard to ASCII case, else the
/// longest prefix of a current entity the text starts with.
Resolver testEntities();

/// The fields (name -> value) the row's record must have.
QJsonObject expectedRecord(const genlog::LogRow &row, const Resolver &dxcc);

/// IDs of the rows a QSL chase of award column `column` over band headers
/// `bands` (blank ones empty) takes: on each band and in each mode class,
/// every contact of an entity worked there and not confirmed there.
std::set<int32_t> qslChaseIds(const std::vector<genlog::LogRow> &rows, const std::string &column, const std::vector<std::string> &bands,
                              bool ft8);

/// Rows with odd values: non-ASCII texts, blanks around, labels and modes
/// outside ADIF, flags outside its enumerations, an old date, zones out of range.
std::vector<genlog::LogRow> oddRows();

/// Writes the expected records of `rows` (in that order) as NAME.expected.json
/// into `folder`, beside the ADIF file NAME.adi the export wrote.
bool writeExpected(const QString &folder, const QString &name, const std::vector<const genlog::LogRow *> &rows, const Resolver &dxcc);

} // namespace adifref
