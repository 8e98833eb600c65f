#include "header_batch.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <liburing.h>

namespace {

// The user data of the opens and closes, whose results tell nothing the
// read's does not.
constexpr std::uint64_t notRead = UINT64_MAX;

// A read that finds a page missing stops at a page, which is a multiple of
// this whatever the page size.
constexpr std::size_t pageMultiple = 4096;

} // namespace

HeaderBatch::HeaderBatch()
{
    auto ring = std::make_unique<io_uring>();
    if (io_uring_queue_init(3 * size, ring.get(), 0) != 0)
        return;
    if (io_uring_register_files_sparse(ring.get(), size) != 0) {
        io_uring_queue_exit(ring.get());
        return;
    }
    m_ring = std::move(ring);
}

HeaderBatch::~HeaderBatch()
{
    if (m_ring)
        io_uring_queue_exit(m_ring.get());
}

// Every request posts its completion, none is skipped, so a batch is over
// after three a header whatever failed: an open that fails cancels its read
// and its close, and leaves its place empty; one that succeeds is closed
// whatever the read gave.
void HeaderBatch::read(std::span<const Request> requests)
{
    m_count = 0;
    if (!m_ring || requests.size() > size)
        return;
    if (!m_buffers) {
        try {
            m_buffers = makePageAlignedBuffer(size * bufferSize);
        } catch (const std::bad_alloc &) {
            return;
        }
    }
    const auto count = static_cast<unsigned>(requests.size());
    for (unsigned i = 0; i < count; ++i) {
        // A direct descriptor cannot be asked to close on exec.
        io_uring_sqe *open = io_uring_get_sqe(m_ring.get());
        io_uring_prep_openat_direct(open, requests[i].folder, requests[i].name, O_RDONLY | O_NONBLOCK | O_NOCTTY, 0, i);
        open->flags |= IOSQE_IO_LINK;
        io_uring_sqe_set_data64(open, notRead);
        io_uring_sqe *reading = io_uring_get_sqe(m_ring.get());
        io_uring_prep_read(reading, static_cast<int>(i), m_buffers.get() + i * bufferSize, bufferSize, 0);
        reading->rw_flags = RWF_NOWAIT;
        reading->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
        io_uring_sqe_set_data64(reading, i);
        io_uring_sqe *closing = io_uring_get_sqe(m_ring.get());
        io_uring_prep_close_direct(closing, i);
        io_uring_sqe_set_data64(closing, notRead);
        m_results[i] = -ECANCELED;
    }
    int submitted;
    do
        submitted = io_uring_submit_and_wait(m_ring.get(), 3 * count);
    while (submitted == -EINTR);
    if (submitted != static_cast<int>(3 * count))
        return abandon();
    for (unsigned seen = 0; seen < 3 * count; ++seen) {
        io_uring_cqe *completion = nullptr;
        int waited;
        do
            waited = io_uring_wait_cqe(m_ring.get(), &completion);
        while (waited == -EINTR);
        if (waited != 0)
            return abandon();
        const std::uint64_t at = io_uring_cqe_get_data64(completion);
        if (at < count)
            m_results[at] = completion->res;
        io_uring_cqe_seen(m_ring.get(), completion);
    }
    m_count = count;
    // Pipes and folders refuse reads that must not wait, and so does a file
    // system that refuses them all, where a batch is only in the way.
    for (unsigned i = 0; i < count; ++i)
        m_refusedInARow = m_results[i] == -EOPNOTSUPP ? m_refusedInARow + 1 : 0;
    if (m_refusedInARow >= size) {
        io_uring_queue_exit(m_ring.get());
        m_ring.reset();
    }
}

std::optional<std::string_view> HeaderBatch::contents(unsigned i) const
{
    if (i >= m_count || m_results[i] <= 0)
        return std::nullopt;
    const auto length = static_cast<std::size_t>(m_results[i]);
    if (length >= bufferSize || length % pageMultiple == 0)
        return std::nullopt;
    return std::string_view(m_buffers.get() + i * bufferSize, length);
}

bool HeaderBatch::uncached(unsigned i) const
{
    return i < m_count && m_results[i] == -EAGAIN;
}

// Requests may still be under way, writing into the buffers: the ring and
// the buffers are left to the end of the process, and the batch is never
// used again.
void HeaderBatch::abandon()
{
    m_count = 0;
    static_cast<void>(m_ring.release());
    static_cast<void>(m_buffers.release());
}
