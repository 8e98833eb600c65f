#pragma once

#include "header_batch.h"
#include "header_matcher.h"
#include "header_read_ahead.h"
#include "header_reader.h"
#include "search_types.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Headers decided on several threads, their records delivered in the order
// the headers were added, as if one thread had decided them in turn.
//
// The search's own thread adds each header, open, as the walk reaches it;
// worker threads read and decide the headers in that order, and the
// search's thread decides the oldest waiting ones itself when the workers
// fall behind. Only the search's thread talks to the sink: it delivers a
// record once every header added before it has been delivered, and asks
// whether to stop after each record and while it waits, at least every
// pollInterval. Once it has seen a cancel, nothing more is delivered and the
// workers leave their headers between two pieces.
//
// Each header waiting in the queue holds a descriptor: at most `capacity`
// at once, fewer once the process has run short of them (release()).
//
// Where the process has descriptors to spare, the threads that decide the
// headers also open them, relative to their folder (addInFolder()), so that
// the search's thread only walks: the headers queued from one folder share
// one descriptor of it, closed once the last of them is delivered. Those
// headers are also read ahead from a cold disk (HeaderReadAhead), as they
// are queued, and while the disk is warm the workers take them sixteen at
// a time and read them through one system call (HeaderBatch).
class HeaderPipeline
{
public:
    static constexpr std::size_t capacity = 128;
    // Waiting headers that wake a sleeping worker: waking one costs more
    // than deciding a header, so it is woken for several.
    static constexpr std::size_t wakeAt = 8;
    // Waiting headers beyond which the search's thread decides one itself.
    static constexpr std::size_t helpAt = 16;
    static constexpr auto pollInterval = std::chrono::milliseconds(10);

    // workers: threads besides the search's own.
    HeaderPipeline(const SearchRequest &request, std::size_t workers,
                   HeaderReadAhead::Mode readAhead = HeaderReadAhead::Mode::WhenCold);
    ~HeaderPipeline(); // ends it
    HeaderPipeline(const HeaderPipeline &) = delete;
    HeaderPipeline &operator=(const HeaderPipeline &) = delete;

    // Queues a header opened by HeaderReader::open, which the pipeline
    // closes. Delivers what is ready. True once the run is cancelled.
    bool add(int file, const char *name, const std::string &path, SearchSink &sink);
    // Queues a header that the deciding thread opens in folder; one that
    // is a regular file may be read ahead.
    bool addInFolder(std::shared_ptr<const SharedFolder> folder, const char *name, const std::string &path,
                     bool regular, SearchSink &sink);
    // Whether headers are opened where they are decided: decided at the
    // start, from the descriptors the process has to spare, unless forced.
    bool opensWhereDecided() const { return m_opensWhereDecided; }
    // Whether the process had this many descriptors to spare at the start
    // beyond those the pipeline may take.
    bool sparesDescriptors(std::size_t more) const { return m_descriptorsBeyond >= more; }
    // Descriptors a run must have to spare for that: every queued header
    // may come from a folder of its own, and so may every one read ahead.
    static constexpr std::size_t descriptorsToOpenWhereDecided = 2 * capacity + 64 + HeaderReadAhead::descriptorsHeld;
    // Delivers the records at the front of the queue that are decided.
    void deliverReady(SearchSink &sink);
    // Decides and delivers everything queued. True once the run is cancelled.
    bool settle(SearchSink &sink);
    // The process is out of descriptors: settles the queue and from now on
    // holds fewer headers open. True when that closed any.
    bool release(SearchSink &sink);
    // The search's thread has seen a cancel: nothing more is delivered.
    void cancel();
    bool cancelled() const { return m_cancelled; }
    // Stops the workers once their headers are left or decided, and closes
    // the headers still queued.
    void end();

    // Totals over every thread, once the pipeline has ended.
    MatchCounters counters() const;
    std::uint64_t headersRead() const;
    std::uint64_t bytesRead() const;
    std::uint64_t headersReadAhead() const { return m_readAhead.headersReadAhead(); }

private:
    struct Decider {
        HeaderMatcher matcher;
        HeaderReader reader;
        std::unique_ptr<HeaderBatch> batch; // a worker's, made on its thread; the search's thread has none
        explicit Decider(const SearchRequest &request);
    };
    struct Job {
        int file = -1; // or opened where it is decided, in folder
        // Held, and let go, by the search's thread alone, once the job is
        // delivered: a count that the deciding threads changed too would
        // pass between the cores with every header.
        std::shared_ptr<const SharedFolder> folder;
        int folderDescriptor = -1;
        std::string name;
        std::string path;
        HeaderReader::Verdict verdict = HeaderReader::Verdict::Unreadable;
        bool regular = false; // as its folder lists it
        bool probe = false; // its reader tells the read-ahead how long it waited
        std::atomic<bool> done{false};
    };

    Job &slot(std::uint64_t index) { return m_jobs[index % capacity]; }
    bool queue(int file, std::shared_ptr<const SharedFolder> folder, const char *name, const std::string &path,
               bool regular, SearchSink &sink);
    HeaderReader::Verdict decideJob(Job &job, HeaderReader &reader, const HeaderReader::StopQuestion &stop);
    bool claim(std::uint64_t &index);
    void work(Decider &decider);
    bool decideNext(Decider &decider, const HeaderReader::StopQuestion &stop);
    bool decideBatch(Decider &decider, const HeaderReader::StopQuestion &stop);
    void finishJob(Job &job, HeaderReader::Verdict verdict);
    void closeJob(Job &job);
    bool decideOldest(SearchSink &sink);
    void waitForFront(SearchSink &sink);
    void wakeWorkers(bool all);
    void stopWorkers();

    std::vector<Job> m_jobs;
    HeaderReadAhead m_readAhead;
    std::unique_ptr<Decider> m_own;
    std::vector<std::unique_ptr<Decider>> m_deciders;
    std::vector<std::thread> m_threads;

    // The search's thread alone.
    std::uint64_t m_head = 0; // the oldest job not delivered
    std::size_t m_limit = capacity;
    std::size_t m_helpAt = helpAt;
    bool m_cancelled = false;
    bool m_opensWhereDecided = false;
    std::size_t m_descriptorsBeyond = 0;

    // Jobs are added and taken without a lock; the lock and the two
    // conditions are for sleeping only.
    std::atomic<std::uint64_t> m_tail{0};  // the next job to add; written by the search's thread
    std::atomic<std::uint64_t> m_taken{0}; // the next job to decide
    std::atomic<int> m_sleeping{0};        // workers waiting on m_work
    std::atomic<bool> m_wakePending{false}; // one of them is being woken
    std::atomic<bool> m_waiting{false};    // the search's thread waits on m_front
    std::atomic<bool> m_stop{false};       // the workers end; read between the pieces of a large header
    std::mutex m_lock;
    std::condition_variable m_work;  // a job to take, or the end
    std::condition_variable m_front; // a job decided while the search's thread waits
};
