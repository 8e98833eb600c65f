#include "header_read_ahead.h"

#include <bit>
#include <cerrno>
#include <fcntl.h>
#include <liburing.h>

namespace {

// The last probes that count, and how many of them must have waited on
// the disk: one slow read on a loaded machine is no cold cache.
constexpr unsigned probeHistory = 0xF;
constexpr int coldProbes = 2;
// Each header takes an open, an advice and a close; the request's data
// names its slot and which of the three it is.
enum Request : std::uint64_t { Open, Advice, Close, requestsPerHeader };

} // namespace

HeaderReadAhead::HeaderReadAhead(Mode mode)
    : m_mode(mode)
{
}

HeaderReadAhead::~HeaderReadAhead()
{
    if (!m_ring)
        return;
    // What has not started is of no use now; what has is waited for.
    if (m_inFlight > 0) {
        if (io_uring_sqe *cancel = io_uring_get_sqe(m_ring.get())) {
            io_uring_prep_cancel64(cancel, 0, IORING_ASYNC_CANCEL_ANY);
            io_uring_sqe_set_data64(cancel, UINT64_MAX);
        }
    }
    waitForAll();
    io_uring_queue_exit(m_ring.get());
}

// The ring, when first needed, so that a search from a warm cache makes none.
bool HeaderReadAhead::start()
{
    auto ring = std::make_unique<io_uring>();
    m_free.reserve(depth);
    if (io_uring_queue_init(depth * requestsPerHeader + 1, ring.get(), 0) != 0) {
        m_refused = true;
        return false;
    }
    // The opened headers live in the ring's own table, one entry a slot,
    // so that the advice and the close can name the file the open made.
    if (io_uring_register_files_sparse(ring.get(), depth) != 0) {
        io_uring_queue_exit(ring.get());
        m_refused = true;
        return false;
    }
    for (unsigned slot = depth; slot > 0; --slot)
        m_free.push_back(slot - 1);
    m_ring = std::move(ring);
    return true;
}

bool HeaderReadAhead::cold() const
{
    return std::popcount(m_probes.load(std::memory_order_relaxed) & probeHistory) >= coldProbes;
}

void HeaderReadAhead::reportRead(std::chrono::nanoseconds waited)
{
    const unsigned bit = waited >= diskLatency ? 1 : 0;
    unsigned probes = m_probes.load(std::memory_order_relaxed);
    // Warm, every header is a probe: a history that stays as it is, is not
    // written, so the threads do not contend for it.
    while ((((probes << 1) | bit) & probeHistory) != probes
           && !m_probes.compare_exchange_weak(probes, ((probes << 1) | bit) & probeHistory,
                                              std::memory_order_relaxed)) {
    }
}

bool HeaderReadAhead::readAhead(const std::shared_ptr<const SharedFolder> &folder, const char *name)
{
    if (!available())
        return false;
    if (m_ring)
        reap();
    if (m_mode == Mode::WhenCold && (!cold() || ++m_queued % probeEvery == 0))
        return false;
    if (!m_ring && !start())
        return false;
    // A disk that has this many to read is busy enough: the header is
    // left to its reader.
    if (m_free.empty() || io_uring_sq_space_left(m_ring.get()) < requestsPerHeader)
        return false;
    const unsigned index = m_free.back();
    Slot &slot = m_slots[index];
    try {
        slot.name = name;
    } catch (...) {
        return false;
    }
    m_free.pop_back();
    slot.folder = folder;
    slot.pending = requestsPerHeader;
    const auto data = [index](Request request) { return std::uint64_t(index) * requestsPerHeader + request; };
    // O_CLOEXEC is refused for a file that goes into the ring's table.
    io_uring_sqe *open = io_uring_get_sqe(m_ring.get());
    io_uring_prep_openat_direct(open, folder->descriptor, slot.name.c_str(),
                                O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW, 0, index);
    open->flags |= IOSQE_IO_LINK;
    io_uring_sqe_set_data64(open, data(Open));
    io_uring_sqe *advice = io_uring_get_sqe(m_ring.get());
    io_uring_prep_fadvise(advice, static_cast<int>(index), 0, 0, POSIX_FADV_WILLNEED);
    // Hard-linked: the close follows whether or not the advice was taken.
    advice->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
    io_uring_sqe_set_data64(advice, data(Advice));
    io_uring_sqe *closing = io_uring_get_sqe(m_ring.get());
    io_uring_prep_close_direct(closing, index);
    io_uring_sqe_set_data64(closing, data(Close));
    // Every request posts a completion, also those cancelled when the open
    // fails, so the slot is free once all three have come. Requests the
    // kernel could not take now stay queued for the next submission.
    io_uring_submit(m_ring.get());
    ++m_inFlight;
    ++m_headersReadAhead;
    return true;
}

void HeaderReadAhead::reap()
{
    io_uring_cqe *completion;
    unsigned head;
    unsigned seen = 0;
    io_uring_for_each_cqe(m_ring.get(), head, completion)
    {
        ++seen;
        const std::uint64_t data = io_uring_cqe_get_data64(completion);
        if (data == UINT64_MAX)
            continue; // the cancel's own
        Slot &slot = m_slots[data / requestsPerHeader];
        // Only the open needs the folder: it may close once that has run.
        if (data % requestsPerHeader == Open)
            slot.folder.reset();
        if (--slot.pending == 0) {
            m_free.push_back(static_cast<unsigned>(data / requestsPerHeader));
            --m_inFlight;
        }
    }
    io_uring_cq_advance(m_ring.get(), seen);
}

// An open in flight may still name its folder's descriptor, which must not
// close, or be reused, before it has run.
void HeaderReadAhead::waitForAll()
{
    while (m_inFlight > 0) {
        const int result = io_uring_submit_and_wait(m_ring.get(), 1);
        if (result < 0 && result != -EINTR && result != -EAGAIN && result != -EBUSY) {
            // The ring cannot tell when they have run: their folders stay
            // open for good rather than be closed under them.
            for (Slot &slot : m_slots) {
                if (slot.folder)
                    new std::shared_ptr<const SharedFolder>(std::move(slot.folder));
            }
            return;
        }
        reap();
    }
}
