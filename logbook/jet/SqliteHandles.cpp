#include "logbook/jet/SqliteHandles.h"

#include <sqlite3.h>

void SqliteRelease::operator()(sqlite3 *db) const { sqlite3_close(db); }

void SqliteRelease::operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
