#pragma once
#include "entities/EntityTable.h"
#include "logbook/jet/QueryTable.h"

#include <QString>

/// The program's DXCC entities: the country file cty.csv found first beside
/// the program (a newer one an operator puts there), else in the system's
/// folder of the country files; without either, the deleted entities alone.
namespace EntityData {

/// The table, read the first time it is asked for.
const EntityTable &table();

/// The file the table was read from; empty when none was found.
QString source();

/// Reads the table from the cty.csv of `folders` in order: the first that
/// holds at least one entity; for tests and for table().
EntityTable read(const QStringList &folders, QString *source);

/// How an entity is named where entities are shown: "Mauritius", "East
/// Germany (deleted)"; empty for none.
QString name(const DxccEntity *entity);

/// The name of a log's DXC text; empty when it matches no entity.
QString nameOf(const QString &dxcText);

/// A DXC text as the lists of entities name it: "3B8 Mauritius", "DM East
/// Germany (deleted)"; the text alone when it matches no entity.
QString withName(const QString &dxcText);
/// An entity's text with the name found for it already (name()); the text
/// alone for an empty name.
QString withName(const QString &text, const QString &name);

/// The caption of the column of names a listing of DXC texts gains.
inline const QString NameField = QStringLiteral("NAME");

/// Inserts a column NameField after column `entityColumn` of `table`, with the
/// name of each row's DXC text (empty for none).
void insertNames(QueryTable &table, int entityColumn);

} // namespace EntityData
