#pragma once
#include "LogDatabase.h"
#include "LogFingerprint.h"
#include "Result.h"

#include <QString>
#include <memory>

/// Opens logbooks. A logbook is read once into an in-memory snapshot, which
/// is handed out again while the file keeps its fingerprint (LogFingerprint):
/// a file changed since, in place or replaced, is read again.
class LogbookEngine {
public:
    /// The snapshot of the table LOG of the logbook file at `path`.
    Result<std::shared_ptr<const LogDatabase>> open(const QString &path);

    /// Forgets the snapshot, so the next open reads the file again.
    void clear();

private:
    QString m_path;
    LogFingerprint m_fingerprint;
    QByteArray m_contentHash; ///< for a file changed just before it was read
    std::shared_ptr<const LogDatabase> m_snapshot;
};
