#pragma once
#include "LogFingerprint.h"

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <optional>

/// Follows a logbook file that another program keeps writing. The file and its
/// folder are watched for notifications (pages written in place, a file
/// replaced by a rename or written anew), and the file's fingerprint is
/// compared at a steady pace as well, for network drives and systems whose
/// notifications do not arrive. Once the file has changed and then stayed as
/// it is for the quiet time, settled() asks for it to be read; the reader says
/// how that went (readDone, readFailed). A failed read (the file changed under
/// it, or could not be read) is tried again after the next quiet time, and
/// after the patience time of failures stillFailing() says so, once, while the
/// tries go on. While the file does not change, nothing but the fingerprint
/// of its first page is looked at, once per poll interval.
class LogWatcher : public QObject {
    Q_OBJECT
public:
    struct Timing {
        std::chrono::milliseconds quiet{1000};     ///< the file unchanged this long before a read
        std::chrono::milliseconds poll{2000};      ///< fingerprint compared this often
        std::chrono::milliseconds patience{30000}; ///< failures this long before stillFailing()
    };

    explicit LogWatcher(QObject *parent = nullptr) : LogWatcher(Timing{}, parent) {}
    explicit LogWatcher(Timing timing, QObject *parent = nullptr);

    /// Follows the file at `path` from its state now on.
    void watch(const QString &path);
    /// Follows nothing any more.
    void stop();
    bool isWatching() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    const Timing &timing() const { return m_timing; }

    /// The read asked for by settled() gave a whole version of the file.
    void readDone();
    /// The read asked for by settled() failed for `reason`: try again later.
    void readFailed(const QString &reason);

signals:
    /// The file changed and has been quiet since: read it now.
    void settled();
    /// Reads have failed for the patience time; they go on.
    void stillFailing(const QString &reason);

private:
    void look();
    void quietEnded();
    void watchPaths();

    Timing m_timing;
    QString m_path;
    QFileSystemWatcher m_notifications;
    QTimer m_poll;
    QTimer m_quiet;
    std::optional<LogFingerprint> m_seen; ///< the file as last looked at (nothing: could not be read)
    bool m_pending = false;               ///< changed since the last whole read
    QElapsedTimer m_failingSince;
    bool m_told = false;
};
