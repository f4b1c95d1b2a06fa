#include "listing/ListingJob.h"

#include <chrono>
#include <exception>

ListingJob::ListingJob(std::shared_ptr<const LogDatabase> db, QString jetText, ReadLimits limits, QObject *parent)
    : QObject(parent), m_db(std::move(db)), m_text(std::move(jetText)), m_limits(limits)
{
}

ListingJob::~ListingJob()
{
    if (m_thread.joinable()) {
        cancel();
        m_thread.join();
    }
}

void ListingJob::start()
{
    if (!m_thread.joinable() && !isFinished())
        m_thread = std::jthread([this] { work(); });
}

void ListingJob::work()
{
    ReadResult result;
    try {
        result = m_db->read(m_text, m_limits, &m_control);
    } catch (const std::exception &e) {
        result = ReadResult();
        result.error = QString::fromLocal8Bit(e.what());
    } catch (...) {
        result = ReadResult();
        result.error = QStringLiteral("the query stopped on an unexpected failure");
    }
    {
        std::lock_guard lock(m_mutex);
        m_result = std::move(result);
        m_finished = true;
    }
    m_ended.notify_all();
    emit finished();
}

void ListingJob::cancel() { m_db->cancel(m_control); }

bool ListingJob::wait(int ms)
{
    std::unique_lock lock(m_mutex);
    return m_ended.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_finished; });
}

bool ListingJob::isFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

ReadResult ListingJob::take()
{
    std::lock_guard lock(m_mutex);
    return std::move(m_result);
}
