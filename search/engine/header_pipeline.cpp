#include "header_pipeline.h"

#include "tree_walk.h"

#include <algorithm>
#include <dirent.h>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {

// How many more descriptors the process may open, roughly: its limit less
// those it holds.
std::size_t descriptorsToSpare()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return limit.rlim_cur == RLIM_INFINITY ? SIZE_MAX : 0;
    DIR *held = opendir("/proc/self/fd");
    if (!held)
        return 0;
    std::size_t open = 0;
    while (readdir(held))
        ++open;
    closedir(held);
    return open >= limit.rlim_cur ? 0 : static_cast<std::size_t>(limit.rlim_cur) - open;
}

} // namespace

HeaderPipeline::Decider::Decider(const SearchRequest &request)
    : matcher(request.searchString, request.ignoreComments, request.caseSensitive)
    , reader(matcher)
{
}

HeaderPipeline::HeaderPipeline(const SearchRequest &request, std::size_t workers, HeaderReadAhead::Mode readAhead)
    : m_jobs(capacity)
    , m_readAhead(readAhead)
    , m_own(std::make_unique<Decider>(request))
{
    // Before the workers start, which read it. Each of them holds one
    // more descriptor, its batch's ring.
    const std::size_t spare = descriptorsToSpare();
    const std::size_t needed = descriptorsToOpenWhereDecided + workers;
    m_opensWhereDecided = spare >= needed;
    m_descriptorsBeyond = m_opensWhereDecided ? spare - needed : 0;
    for (std::size_t i = 0; i < workers; ++i) {
        m_deciders.push_back(std::make_unique<Decider>(request));
        try {
            m_threads.emplace_back(&HeaderPipeline::work, this, std::ref(*m_deciders.back()));
        } catch (const std::system_error &) {
            // With fewer workers, or none, the search's thread decides the rest.
            m_deciders.pop_back();
            break;
        }
    }
    if (m_threads.empty())
        m_helpAt = 1;
}

HeaderPipeline::~HeaderPipeline()
{
    end();
}

void HeaderPipeline::end()
{
    stopWorkers();
    for (std::thread &thread : m_threads)
        thread.join();
    m_threads.clear();
    for (std::uint64_t index = m_head; index < m_tail; ++index)
        closeJob(slot(index));
    m_taken.store(m_tail);
    m_head = m_tail;
}

bool HeaderPipeline::add(int file, const char *name, const std::string &path, SearchSink &sink)
{
    return queue(file, nullptr, name, path, false, sink);
}

bool HeaderPipeline::addInFolder(std::shared_ptr<const SharedFolder> folder, const char *name,
                                 const std::string &path, bool regular, SearchSink &sink)
{
    return queue(-1, std::move(folder), name, path, regular, sink);
}

bool HeaderPipeline::queue(int file, std::shared_ptr<const SharedFolder> folder, const char *name,
                           const std::string &path, bool regular, SearchSink &sink)
{
    const auto closeFile = [file] {
        if (file >= 0)
            close(file);
    };
    while (!m_cancelled && m_tail.load(std::memory_order_relaxed) - m_head >= m_limit) {
        if (!decideOldest(sink))
            waitForFront(sink);
        deliverReady(sink);
    }
    if (m_cancelled) {
        closeFile();
        return true;
    }
    const std::uint64_t tail = m_tail.load(std::memory_order_relaxed);
    Job &job = slot(tail);
    try {
        job.name = name;
        job.path = path;
    } catch (...) {
        closeFile();
        throw;
    }
    job.file = file;
    job.regular = regular;
    job.probe = regular && m_readAhead.available() && !m_readAhead.readAhead(folder, name);
    job.folderDescriptor = folder ? folder->descriptor : -1;
    job.folder = std::move(folder);
    job.done.store(false, std::memory_order_relaxed);
    m_tail.store(tail + 1);
    const std::uint64_t waiting = tail + 1 - m_taken.load();
    if (waiting >= wakeAt && m_sleeping.load() > 0 && !m_wakePending.load())
        wakeWorkers(false);
    deliverReady(sink);
    if (waiting >= m_helpAt) {
        decideOldest(sink);
        deliverReady(sink);
    }
    return m_cancelled;
}

void HeaderPipeline::deliverReady(SearchSink &sink)
{
    const std::uint64_t tail = m_tail.load(std::memory_order_relaxed);
    while (!m_cancelled && m_head < tail) {
        Job &job = slot(m_head);
        if (!job.done.load(std::memory_order_acquire))
            return;
        ++m_head;
        job.folder.reset();
        // As after the entry in hand on one thread, the sink is asked
        // after each record, so a cancel stops the records right there.
        if (job.verdict == HeaderReader::Verdict::Match) {
            sink.arrayAddObject({job.name, job.path});
            if (sink.isCancelled())
                cancel();
        }
    }
}

bool HeaderPipeline::settle(SearchSink &sink)
{
    for (;;) {
        deliverReady(sink);
        if (m_cancelled || m_head == m_tail.load(std::memory_order_relaxed))
            return m_cancelled;
        if (!decideOldest(sink))
            waitForFront(sink);
    }
}

bool HeaderPipeline::release(SearchSink &sink)
{
    const std::uint64_t held = m_tail.load(std::memory_order_relaxed) - m_head;
    settle(sink);
    m_limit = std::max<std::size_t>(1, held / 2);
    return held > 0;
}

void HeaderPipeline::cancel()
{
    m_cancelled = true;
    stopWorkers();
}

// The slot is filled before m_tail is raised past it, and m_taken never
// passes m_tail: a job claimed here is complete.
bool HeaderPipeline::claim(std::uint64_t &index)
{
    index = m_taken.load(std::memory_order_relaxed);
    while (index < m_tail.load(std::memory_order_acquire)) {
        if (m_taken.compare_exchange_weak(index, index + 1, std::memory_order_acq_rel, std::memory_order_relaxed))
            return true;
    }
    return false;
}

void HeaderPipeline::work(Decider &decider)
{
    const HeaderReader::StopQuestion stop = [this] { return m_stop.load(std::memory_order_relaxed); };
    if (m_opensWhereDecided) {
        try {
            decider.batch = std::make_unique<HeaderBatch>();
        } catch (const std::bad_alloc &) {
        }
    }
    while (!m_stop.load(std::memory_order_relaxed)) {
        // From a cold disk the read-ahead's probes must wait as they would.
        const bool batch = decider.batch && decider.batch->available() && !m_readAhead.wanted();
        if (batch ? decideBatch(decider, stop) : decideNext(decider, stop))
            continue;
        std::unique_lock lock(m_lock);
        m_sleeping.fetch_add(1);
        // Sequentially consistent with the search's thread, which raises
        // m_tail and then counts the sleepers: one of them sees the other.
        while (!m_stop.load() && m_taken.load() >= m_tail.load()) {
            m_work.wait(lock);
            // Woken, whether or not a job is left for it: the next wake
            // must reach a worker again.
            m_wakePending.store(false);
        }
        m_sleeping.fetch_sub(1);
    }
}

bool HeaderPipeline::decideNext(Decider &decider, const HeaderReader::StopQuestion &stop)
{
    std::uint64_t index;
    if (!claim(index))
        return false;
    finishJob(slot(index), decideJob(slot(index), decider.reader, stop));
    return true;
}

// Takes up to a batch of jobs: the regular files that it is to open are
// read as one batch, the others decided as they come.
bool HeaderPipeline::decideBatch(Decider &decider, const HeaderReader::StopQuestion &stop)
{
    std::array<std::uint64_t, HeaderBatch::size> taken;
    std::array<HeaderBatch::Request, HeaderBatch::size> requests;
    unsigned count = 0;
    bool any = false;
    std::uint64_t index;
    while (count < HeaderBatch::size && claim(index)) {
        any = true;
        Job &job = slot(index);
        if (job.file >= 0 || !job.regular) {
            finishJob(job, decideJob(job, decider.reader, stop));
            continue;
        }
        taken[count] = index;
        requests[count] = {job.folderDescriptor, job.name.c_str()};
        ++count;
    }
    decider.batch->read(std::span(requests.data(), count));
    for (unsigned i = 0; i < count; ++i) {
        Job &job = slot(taken[i]);
        const std::optional<std::string_view> contents = decider.batch->contents(i);
        if (contents) {
            finishJob(job, decider.reader.decideContents(*contents));
            continue;
        }
        // A header not in memory is a probe that waited, whatever its own
        // read finds: the batch's read already started the disk on it.
        if (job.probe && decider.batch->uncached(i)) {
            m_readAhead.reportRead(HeaderReadAhead::diskLatency);
            job.probe = false;
        }
        finishJob(job, decideJob(job, decider.reader, stop));
    }
    return any;
}

void HeaderPipeline::wakeWorkers(bool all)
{
    const std::lock_guard lock(m_lock);
    if (all) {
        m_work.notify_all();
    } else if (m_sleeping.load() > 0) {
        // A worker counted here returns from its wait and clears the mark;
        // one that left since it was counted could not.
        m_wakePending.store(true);
        m_work.notify_one();
    }
}

// A header queued without its descriptor is opened here. Its folder's
// descriptor is held until then, so a run short of descriptors has others
// to blame; it waits a little for them, and counts the header unreadable
// only once it has waited a second in vain.
HeaderReader::Verdict HeaderPipeline::decideJob(Job &job, HeaderReader &reader, const HeaderReader::StopQuestion &stop)
{
    const auto started = job.probe ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point();
    if (job.file < 0) {
        job.file = HeaderReader::open(job.folderDescriptor, job.name.c_str());
        // Time spent waiting for a descriptor is no disk's.
        job.probe = job.probe && job.file >= 0;
        for (int wait = 0; job.file < 0 && descriptorsExhausted(errno) && wait < 1000 && !stop(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            job.file = HeaderReader::open(job.folderDescriptor, job.name.c_str());
        }
        if (job.file < 0)
            return stop() ? HeaderReader::Verdict::Cancelled : HeaderReader::Verdict::Unreadable;
    }
    if (!job.probe)
        return reader.decide(job.file, stop);
    // The open and the first read, the two that wait on a cold disk.
    std::chrono::steady_clock::time_point firstReadEnded = started;
    const HeaderReader::Verdict verdict = reader.decide(job.file, stop, &firstReadEnded);
    m_readAhead.reportRead(firstReadEnded - started);
    return verdict;
}

void HeaderPipeline::finishJob(Job &job, HeaderReader::Verdict verdict)
{
    if (job.file >= 0)
        close(job.file);
    job.file = -1;
    job.verdict = verdict;
    job.done.store(true);
    // Sequentially consistent with m_waiting: either the search's thread
    // sees this job done, or this sees it waiting and wakes it.
    if (m_waiting.load()) {
        const std::lock_guard lock(m_lock);
        m_front.notify_one();
    }
}

// A job that is not to be delivered, on the search's thread once the
// workers have ended.
void HeaderPipeline::closeJob(Job &job)
{
    if (job.file >= 0)
        close(job.file);
    job.file = -1;
    job.folder.reset();
}

// The search's thread takes the oldest job no worker has taken, and asks
// the sink itself between the pieces of a large header.
bool HeaderPipeline::decideOldest(SearchSink &sink)
{
    std::uint64_t index;
    if (!claim(index))
        return false;
    const HeaderReader::Verdict verdict = decideJob(slot(index), m_own->reader, [&sink] { return sink.isCancelled(); });
    finishJob(slot(index), verdict);
    if (verdict == HeaderReader::Verdict::Cancelled)
        cancel();
    return true;
}

// Until the front job is decided, asking the sink every pollInterval.
void HeaderPipeline::waitForFront(SearchSink &sink)
{
    const Job &front = slot(m_head);
    auto poll = std::chrono::steady_clock::now() + pollInterval;
    bool cancelled = false;
    {
        std::unique_lock lock(m_lock);
        m_waiting.store(true);
        while (!front.done.load()) {
            if (m_front.wait_until(lock, poll) == std::cv_status::no_timeout)
                continue;
            lock.unlock();
            cancelled = sink.isCancelled();
            lock.lock();
            if (cancelled)
                break;
            poll = std::chrono::steady_clock::now() + pollInterval;
        }
        m_waiting.store(false);
    }
    if (cancelled)
        cancel();
}

void HeaderPipeline::stopWorkers()
{
    m_stop.store(true);
    wakeWorkers(true);
}

MatchCounters HeaderPipeline::counters() const
{
    MatchCounters total = m_own->matcher.counters();
    for (const auto &decider : m_deciders)
        total += decider->matcher.counters();
    return total;
}

std::uint64_t HeaderPipeline::headersRead() const
{
    std::uint64_t total = m_own->reader.headersRead();
    for (const auto &decider : m_deciders)
        total += decider->reader.headersRead();
    return total;
}

std::uint64_t HeaderPipeline::bytesRead() const
{
    std::uint64_t total = m_own->reader.bytesRead();
    for (const auto &decider : m_deciders)
        total += decider->reader.bytesRead();
    return total;
}
