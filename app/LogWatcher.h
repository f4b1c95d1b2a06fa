#pragma once
#include "logbook/mdb/LogFingerprint.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

/// Follows a logbook file that another program keeps writing. The system's
/// file notifications on the file and on its folder (a file replaced by a
/// rename shows only there) and a look at the file's fingerprint every poll
/// interval (for network drives and systems whose notifications do not come)
/// tell that it changed; once it has kept the same fingerprint for the quiet
/// interval, `quiet` is emitted and the caller reads it. A read that failed
/// (the file changed under it) is tried again after the next quiet interval
/// when the caller says so with `retry`. While the file does not change the
/// watcher only looks at its fingerprint once a poll interval.
class LogWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultQuietMs = 1000;
    static constexpr int DefaultPollMs = 2000;

    explicit LogWatcher(QObject *parent = nullptr);

    /// The quiet interval and the fingerprint poll, in milliseconds.
    void setIntervals(int quietMs, int pollMs);
    int quietMs() const { return m_quiet.interval(); }

    /// Starts following the file at `path` as it is now; an empty path stops.
    void watch(const QString &path);
    void stop() { watch(QString()); }
    QString path() const { return m_path; }
    bool watching() const { return !m_path.isEmpty(); }

    /// The last read failed: `quiet` comes again after the next quiet interval.
    void retry();

signals:
    /// The file changed and has been quiet since for the quiet interval.
    void quiet();

private:
    /// Looks at the file: a new fingerprint starts the quiet interval again.
    void look();
    void quietEnded();
    void rewatch();

    QString m_path;
    std::optional<LogFingerprint> m_seen;
    QFileSystemWatcher m_notifications;
    QTimer m_quiet;
    QTimer m_poll;
};
