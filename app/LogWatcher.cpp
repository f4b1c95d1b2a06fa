#include "app/LogWatcher.h"

#include <QFileInfo>

LogWatcher::LogWatcher(QObject *parent) : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(DefaultQuietMs);
    m_poll.setInterval(DefaultPollMs);
    connect(&m_quiet, &QTimer::timeout, this, &LogWatcher::quietEnded);
    connect(&m_poll, &QTimer::timeout, this, &LogWatcher::look);
    connect(&m_notifications, &QFileSystemWatcher::fileChanged, this, &LogWatcher::look);
    connect(&m_notifications, &QFileSystemWatcher::directoryChanged, this, &LogWatcher::look);
}

void LogWatcher::setIntervals(int quietMs, int pollMs)
{
    m_quiet.setInterval(quietMs);
    m_poll.setInterval(pollMs);
}

void LogWatcher::watch(const QString &path)
{
    m_quiet.stop();
    m_poll.stop();
    if (!m_notifications.files().isEmpty())
        m_notifications.removePaths(m_notifications.files());
    if (!m_notifications.directories().isEmpty())
        m_notifications.removePaths(m_notifications.directories());
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    m_seen.reset();
    if (m_path.isEmpty())
        return;
    m_seen = LogFingerprint::of(m_path);
    rewatch();
    m_poll.start();
}

void LogWatcher::rewatch()
{
    // A file replaced by a rename, or deleted and written anew, is another
    // file: the notifications follow the name again.
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
    rewatch();
    const std::optional<LogFingerprint> now = LogFingerprint::of(m_path);
    if (now == m_seen)
        return;
    m_seen = now;
    m_quiet.start();
}

void LogWatcher::quietEnded()
{
    const std::optional<LogFingerprint> now = LogFingerprint::of(m_path);
    if (now != m_seen || !now) {
        // Still being written, or not there for the moment (deleted before it
        // is written again): the interval starts again.
        m_seen = now;
        m_quiet.start();
        return;
    }
    emit quiet();
}

void LogWatcher::retry()
{
    if (!m_path.isEmpty())
        m_quiet.start();
}
