#pragma once
// What the tests do differently between systems (TestPlatformPosix.cpp,
// TestPlatformWin.cpp): file times, and stand-ins for the reader process.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace testplatform {

/// A file's modification time in nanoseconds since 1970 (in steps of 100 ns on Windows).
std::int64_t modifiedNs(const QString &path);
/// Sets it; false when it cannot be set.
bool setModifiedNs(const QString &path, std::int64_t ns);

/// A stand-in for varkel-reader in `folder`, named `name`. On POSIX systems a
/// shell script that runs `script`; on Windows a copy of the stand-in
/// program test_standin_reader.exe that does what `standIn` says (see
/// tests/logbook/StandInReader.cpp: a mode and its values). Returns the
/// program's path.
QString fakeReader(const QString &folder, const QString &name, const QByteArray &script, const QStringList &standIn);

} // namespace testplatform
