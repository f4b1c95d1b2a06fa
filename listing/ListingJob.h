#pragma once
#include "logbook/jet/LogDatabase.h"

#include <QObject>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

/// Reads the rows of a listing text on a thread of its own, so that the
/// window that waits for them keeps answering and can stop them. The outcome
/// is a value: nothing the read throws leaves its thread.
class ListingJob : public QObject {
    Q_OBJECT
public:
    ListingJob(std::shared_ptr<const LogDatabase> db, QString jetText, ReadLimits limits, QObject *parent = nullptr);
    /// Stops a read still running and waits for its thread.
    ~ListingJob() override;

    /// Starts the read; finished() follows once it ends, however it ends.
    void start();
    /// Stops the read (the statement is interrupted); it ends as Cancelled.
    void cancel();
    /// Waits up to `ms` milliseconds for the end; true when it has ended.
    bool wait(int ms);
    bool isFinished() const;
    /// Rows read so far.
    qsizetype rows() const { return m_control.rows; }
    /// The outcome, once finished.
    ReadResult take();

signals:
    /// Emitted from the reading thread once the outcome is there.
    void finished();

private:
    void work();

    std::shared_ptr<const LogDatabase> m_db;
    QString m_text;
    ReadLimits m_limits;
    ReadControl m_control;
    mutable std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_finished = false;
    ReadResult m_result;
    std::jthread m_thread;
};
