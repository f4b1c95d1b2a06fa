#pragma once
#include "logbook/types/Result.h"
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
class ColumnarLog;

class LogDatabase;

/// Copies the table `tableName` (matched without regard to case) of a Jet
/// database file into a new SQLite table of the same name in `db`. The file is
/// opened read-only. Text columns compare without regard to case; dates become
/// "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss" text.
///
/// The file is read by the reader process (varkel-reader, beside the program),
/// so a damaged file that crashes or hangs libmdb only makes this fail: a
/// reader that crashes, runs past its time (readerSeconds) or sends data that
/// does not check out gives a failure with the reason.
Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db);

/// How long the parts of a columnar open took, in seconds (for benchmarks).
struct ColumnarOpenTimes {
    double reading = 0;  ///< the readers side by side, until the last byte they sent was checked
    double decoding = 0; ///< their parts merged into the columnar copy
};

/// How the reader process is run; the defaults are the program's.
struct MdbReaderOptions {
    QString program;                    ///< empty: mdbReaderProgram()
    double seconds = -1;                ///< below 0: readerSeconds() of the file's size
    unsigned parts = 0;                 ///< readers run side by side (loadMdbTableColumnarFirst); 0: one per core, at most 2
    ColumnarOpenTimes *times = nullptr; ///< when set, gets the times of each columnar open
};
Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db, const MdbReaderOptions &options);

/// Reads the table as loadMdbTable does, but makes at once only the columnar
/// copy of its text columns (returned), the reader sending them as
/// dictionaries and ids. The SQLite table is filled by the reader once more
/// on a thread of `db` when it is first asked for (LogDatabase::setFill), and
/// then `afterFill` runs on it there; `db`'s queries wait for both. That fill
/// fails when the file no longer gives the rows of the columnar copy: as many
/// rows, and `unchanged` (when given) true. A table that
/// has one of the columns named in `textOnly` (without regard to case) as
/// anything but a text column is refused, the column named in the reason.
Result<std::shared_ptr<const ColumnarLog>> loadMdbTableColumnarFirst(const QString &mdbPath, const QString &tableName, LogDatabase &db,
                                                                     std::function<Status(sqlite3 *)> afterFill,
                                                                     const MdbReaderOptions &options = MdbReaderOptions{},
                                                                     const std::vector<std::string> &textOnly = {},
                                                                     std::function<bool()> unchanged = nullptr);

/// The reader executable: varkel-reader beside the running program.
QString mdbReaderProgram();
