#pragma once
#include "LogDatabase.h"
#include "LogFingerprint.h"
#include "MdbLoader.h"
#include "Result.h"

#include <QString>
#include <memory>

/// Opens logbooks. A logbook is read once into an in-memory snapshot, which
/// is handed out again while the file keeps its fingerprint (LogFingerprint):
/// a file changed since, in place or replaced, is read again. A file that
/// changes while it is read gives no snapshot, so no report mixes two of its
/// versions.
class LogbookEngine {
public:
    LogbookEngine() = default;
    /// Runs the reader process as `reader` tells instead of the program's way.
    explicit LogbookEngine(MdbReaderOptions reader) : m_reader(std::move(reader)) {}

    /// The snapshot of the table LOG of the logbook file at `path`.
    Result<std::shared_ptr<const LogDatabase>> open(const QString &path);

    /// Forgets the snapshot, so the next open reads the file again.
    void clear();

private:
    MdbReaderOptions m_reader;
    QString m_path;
    LogFingerprint m_fingerprint;
    QByteArray m_contentHash; ///< for a file changed just before it was read
    std::shared_ptr<const LogDatabase> m_snapshot;
};
