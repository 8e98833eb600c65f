#pragma once

#include "search_types.h"

#include <QThread>

#include <deque>
#include <functional>
#include <mutex>

// The worker of one search run. The engine's sink hands every record to the
// main thread without waiting: records queue here, under a lock of our own,
// and resultsWaiting() asks (once per batch) that they be taken; the end
// of the run follows the last record through the same queue, so every
// record arrives before the end does.
class SearchThread : public QThread
{
    Q_OBJECT

public:
    // The run: true when it ended because it was cancelled.
    using Body = std::function<bool(SearchSink &)>;

    explicit SearchThread(Body body);

    // How much the run gives way to the window's thread: the nice value it
    // adds to the process's, up to the largest there is. Its own threads
    // carry it too.
    static constexpr int niceness = 5;
    static constexpr int maxNice = 19;
    ~SearchThread() override;

    struct Delivery {
        std::vector<ResultRecord> records;
        bool more = false;      // records are left for the next call
        bool finished = false;  // the run has ended and everything was taken
        bool cancelled = false; // it ended because it was cancelled
    };
    // Main thread: at most max records in the order found.
    Delivery takeDelivered(std::size_t max);
    // Whether the run has ended, records perhaps still waiting.
    bool hasEnded();

signals:
    // From the worker: records or the end wait to be taken. Not emitted
    // again until takeDelivered() has been called, but for the end.
    void resultsWaiting();

protected:
    void run() override;

private:
    class Sink;
    void deliver(ResultRecord record);
    void finish(bool cancelled);
    void askReceiver(); // with m_lock held

    Body m_body;

    std::mutex m_lock;
    std::deque<ResultRecord> m_records;
    bool m_asked = false;
    bool m_finished = false;
    bool m_cancelled = false;
};
