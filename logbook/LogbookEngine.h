#pragma once
#include "LogDatabase.h"
#include "Result.h"

#include <QDateTime>
#include <QString>
#include <memory>

/// Opens logbooks. A logbook is read once into an in-memory snapshot, which
/// is handed out again while the file keeps its size and modification time.
class LogbookEngine {
public:
    /// The snapshot of the table LOG of the logbook file at `path`.
    Result<std::shared_ptr<const LogDatabase>> open(const QString &path);

    /// Forgets the snapshot, so the next open reads the file again.
    void clear();

private:
    QString m_path;
    qint64 m_size = -1;
    QDateTime m_modified;
    std::shared_ptr<const LogDatabase> m_snapshot;
};
