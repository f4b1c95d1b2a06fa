#pragma once
// Opening a logbook inside the calling process, for tests, fuzzers and
// benchmarks only: a damaged file can crash the caller. The program reads
// every file in the reader process (MdbLoader.h).
#include "logbook/types/Result.h"

#include <QString>
#include <cstddef>
#include <cstdint>

class LogDatabase;

/// loadMdbTable with the file read inside this process.
Status loadMdbTableInProcess(const QString &mdbPath, const QString &tableName, LogDatabase &db);

/// A file image read inside this process and passed through the same table
/// stream the reader process sends, checks included (for fuzzing).
Status loadMdbImage(const void *data, std::size_t size, const QString &tableName, LogDatabase &db);

/// A table stream as the reader process would send it, checked and loaded
/// (for fuzzing the checks). `fileSize` sets the limits as for a file of that size.
Status loadTableStream(const void *data, std::size_t size, std::uint64_t fileSize, const QString &tableName, LogDatabase &db);
