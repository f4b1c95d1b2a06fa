#pragma once
#include "logbook/LogSnapshot.h"
#include "logbook/MdbLoader.h"
#include "logbook/mdb/LogFingerprint.h"
#include "logbook/types/Result.h"

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
    Result<std::shared_ptr<const LogSnapshot>> open(const QString &path);

    /// Forgets the snapshot, so the next open reads the file again.
    void clear();

    /// While a hold is taken, open() of the file read last hands out its
    /// snapshot without looking at the file again, so that every computation
    /// of one run counts the same version of a logbook that is being written.
    /// Holds nest; each hold() is ended by one release().
    void hold() { ++m_holds; }
    void release()
    {
        if (m_holds > 0)
            --m_holds;
    }

    /// Starts filling the SQLite copy of the snapshot held, in the background,
    /// so that a listing later need not wait for it.
    void prefetch() const
    {
        if (m_snapshot)
            m_snapshot->prefetch();
    }

private:
    MdbReaderOptions m_reader;
    QString m_path;
    LogFingerprint m_fingerprint;
    QByteArray m_contentHash; ///< for a file changed just before it was read
    std::shared_ptr<const LogSnapshot> m_snapshot;
    int m_holds = 0;
};
