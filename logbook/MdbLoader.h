#pragma once
#include "Result.h"
#include <QString>

class LogDatabase;

/// Copies the table `tableName` (matched without regard to case) of a Jet
/// database file into a new SQLite table of the same name in `db`. The file is
/// opened read-only. Text columns compare without regard to case; dates become
/// "yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss" text.
Status loadMdbTable(const QString &mdbPath, const QString &tableName, LogDatabase &db);
