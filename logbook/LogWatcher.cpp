#include "LogWatcher.h"

#include <QFileInfo>

LogWatcher::LogWatcher(Timing timing, QObject *parent) : QObject(parent), m_timing(timing)
{
    m_poll.setInterval(int(m_timing.poll.count()));
    m_quiet.setInterval(int(m_timing.quiet.count()));
    m_quiet.setSingleShot(true);
    connect(&m_poll, &QTimer::timeout, this, &LogWatcher::look);
    connect(&m_quiet, &QTimer::timeout, this, &LogWatcher::quietEnded);
    connect(&m_notifications, &QFileSystemWatcher::fileChanged, this, &LogWatcher::look);
    connect(&m_notifications, &QFileSystemWatcher::directoryChanged, this, &LogWatcher::look);
}

void LogWatcher::watch(const QString &path)
{
    stop();
    m_path = QFileInfo(path).absoluteFilePath();
    m_seen = LogFingerprint::of(m_path);
    watchPaths();
    m_poll.start();
}

void LogWatcher::stop()
{
    m_poll.stop();
    m_quiet.stop();
    if (!m_notifications.files().isEmpty())
        m_notifications.removePaths(m_notifications.files());
    if (!m_notifications.directories().isEmpty())
        m_notifications.removePaths(m_notifications.directories());
    m_path.clear();
    m_seen.reset();
    m_pending = false;
    m_failingSince.invalidate();
    m_told = false;
}

void LogWatcher::watchPaths()
{
    // A file replaced by a rename is a new file: its watch is made again.
    if (!m_notifications.files().contains(m_path) && QFileInfo::exists(m_path))
        m_notifications.addPath(m_path);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_notifications.directories().contains(folder))
        m_notifications.addPath(folder);
}

void LogWatcher::look()
{
    if (m_path.isEmpty())
        return;
    watchPaths();
    const std::optional<LogFingerprint> now = LogFingerprint::of(m_path);
    if (now == m_seen)
        return;
    m_seen = now;
    m_pending = true;
    m_quiet.start();
}

void LogWatcher::quietEnded()
{
    if (m_path.isEmpty() || !m_pending)
        return;
    watchPaths();
    const std::optional<LogFingerprint> now = LogFingerprint::of(m_path);
    if (now != m_seen) {
        m_seen = now;
        m_quiet.start();
        return;
    }
    emit settled();
}

void LogWatcher::readDone()
{
    m_pending = false;
    m_failingSince.invalidate();
    m_told = false;
}

void LogWatcher::readFailed(const QString &reason)
{
    if (m_path.isEmpty())
        return;
    m_pending = true;
    if (!m_failingSince.isValid())
        m_failingSince.start();
    if (!m_told && m_failingSince.elapsed() >= m_timing.patience.count()) {
        m_told = true;
        emit stillFailing(reason);
    }
    m_quiet.start();
}
