#pragma once
#include "logbook/types/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

class ColumnarLog;
class EntityTable;
class GridRecordset;

/// One contact as the log holds it: the texts of the LOG columns an ADIF
/// record is made of, a null text where the value is NULL or the source has
/// no such column.
struct AdifContact {
    QString callsign, tdate, band, mode, manager, sent, received, wpx, waz, itu, wac, sqr, dxc, diptext;
};

/// Contacts written as an ADIF file (ADIF 3.1, ADI form, .adi): a header
/// with ADIF_VER, PROGRAMID, PROGRAMVERSION and CREATED_TIMESTAMP, then one
/// record per contact. Each value is written as UTF-8 with its length in
/// bytes. A value ADIF cannot take in its field (a band label outside the
/// band table, a mode outside ADIF's modes, a QSL flag outside its
/// enumeration, a zone out of range, "??") is kept in the application field
/// APP_VARKELCHECKER_<column> instead.
namespace Adif {

/// The ADIF version the files declare.
QString version();

/// A field of a record: its name and its value.
struct Field {
    QString name;
    QString value;
    bool operator==(const Field &) const = default;
};

/// The fields of a contact's record in the order they are written; empty
/// values are left out. `entities` names the DXCC entity of the DXC text.
std::vector<Field> fields(const AdifContact &contact, const EntityTable &entities);

/// The whole file: the header (created at `createdUtc`) and the records.
QByteArray document(const std::vector<AdifContact> &contacts, const EntityTable &entities, const QDateTime &createdUtc);

/// Writes these contacts as the ADIF file `path`, as every export is written
/// (beside it first, in its place only when complete), with the program's
/// DXCC entities and the time now. This is what every ADIF export calls.
Status write(const QString &path, const std::vector<AdifContact> &contacts);
/// The same with the entities and the creation time given.
Status write(const QString &path, const std::vector<AdifContact> &contacts, const EntityTable &entities, const QDateTime &createdUtc);

/// The contacts of the columnar copy's rows (its row numbers), in the order given.
std::vector<AdifContact> contactsOfRows(const ColumnarLog &log, const std::vector<size_t> &rows);

/// The contacts of a listing in the order it shows them, its columns taken
/// by the LOG column names (Callsign, TDate, Banda, Mode, MANAGER, S, R,
/// WPX, WAZ, ITU, WAC, SQR, DXC, DIPTEXT; case does not matter). Fails when
/// the listing lacks Callsign or TDate: it does not list contacts.
Result<std::vector<AdifContact>> contactsOfListing(const GridRecordset &rows);

} // namespace Adif
