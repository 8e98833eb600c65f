#include "search_thread.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

class SearchThread::Sink : public SearchSink
{
public:
    explicit Sink(SearchThread &thread) : m_thread(thread) {}
    void arrayAddObject(ResultRecord record) override { m_thread.deliver(std::move(record)); }
    bool isCancelled() override { return m_thread.isInterruptionRequested(); }

private:
    SearchThread &m_thread;
};

SearchThread::SearchThread(Body body)
    : m_body(std::move(body))
{
}

// Destroyed once the worker has returned. Its last step took the lock, so
// taking it here orders all the worker did before the members go, also for
// a sanitizer that cannot see inside QThread::wait.
SearchThread::~SearchThread()
{
    const std::lock_guard guard(m_lock);
}

// No exception leaves the worker: the engine treats what it cannot handle
// as unreadable, and anything else that escapes ends the run where it is,
// shown like any other end.
void SearchThread::run()
{
    // The window's thread needs a core only now and then, but at once when
    // it does: the run, and the threads it starts, which inherit this,
    // give way to it, whatever niceness the process was started with.
    const auto self = static_cast<id_t>(gettid());
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, self);
    if (errno == 0)
        setpriority(PRIO_PROCESS, self, std::min(nice + niceness, maxNice));
    Sink sink(*this);
    bool cancelled;
    try {
        cancelled = m_body(sink);
    } catch (...) {
        cancelled = isInterruptionRequested();
    }
    finish(cancelled);
}

void SearchThread::deliver(ResultRecord record)
{
    const std::lock_guard guard(m_lock);
    m_records.push_back(std::move(record));
    askReceiver();
}

void SearchThread::finish(bool cancelled)
{
    const std::lock_guard guard(m_lock);
    m_finished = true;
    m_cancelled = cancelled;
    // Also to a receiver that holds back while records stream: the end
    // should show at once.
    m_asked = true;
    emit resultsWaiting();
}

bool SearchThread::hasEnded()
{
    const std::lock_guard guard(m_lock);
    return m_finished;
}

void SearchThread::askReceiver()
{
    if (!m_asked) {
        m_asked = true;
        emit resultsWaiting();
    }
}

SearchThread::Delivery SearchThread::takeDelivered(std::size_t max)
{
    const std::lock_guard guard(m_lock);
    Delivery delivery;
    const std::size_t count = std::min(max, m_records.size());
    delivery.records.assign(std::make_move_iterator(m_records.begin()),
                            std::make_move_iterator(m_records.begin() + static_cast<std::ptrdiff_t>(count)));
    m_records.erase(m_records.begin(), m_records.begin() + static_cast<std::ptrdiff_t>(count));
    delivery.more = !m_records.empty();
    delivery.finished = m_finished && m_records.empty();
    delivery.cancelled = m_cancelled;
    // With more left the receiver asks again itself; otherwise the worker
    // asks at its next record or at its end.
    m_asked = delivery.more;
    return delivery;
}
