// scoutmark-floor-bench: what a search of the headers costs at the least on
// this machine, the yardstick for the engine's warm rows.
//
//   scoutmark-floor-bench [--io-uring] NEEDLE ROOT...
//
// Only what no search can leave out: one thread walks the roots, a thread
// per core (up to four, as the engine) opens each header relative to its
// folder, reads it into a page-aligned buffer and looks for the bytes of
// NEEDLE. Only a header's first MiB is read (a dozen in the corpus are
// longer), which keeps it a floor. No decoding, no order kept, nothing delivered, no cancel asked.
// With --io-uring the deciding threads open, read and close 32 headers a
// submission through io_uring instead of three system calls each.

#include <liburing.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t bufferSize = std::size_t(1) << 20;
constexpr unsigned ringDepth = 32;

struct Folder {
    int descriptor;
    std::vector<std::string> headers;
    ~Folder() { close(descriptor); }
};

// The walk's folders for the deciding threads; a bounded queue, so that a
// walk far ahead holds no more descriptors than the engine's would.
class FolderQueue
{
public:
    void push(std::shared_ptr<Folder> folder)
    {
        std::unique_lock guard(m_lock);
        m_room.wait(guard, [&] { return m_folders.size() < 256; });
        m_folders.push_back(std::move(folder));
        m_ready.notify_one();
    }
    std::shared_ptr<Folder> pop()
    {
        std::unique_lock guard(m_lock);
        m_ready.wait(guard, [&] { return m_ended || !m_folders.empty(); });
        if (m_folders.empty())
            return nullptr;
        std::shared_ptr<Folder> folder = std::move(m_folders.front());
        m_folders.pop_front();
        m_room.notify_one();
        return folder;
    }
    void end()
    {
        const std::lock_guard guard(m_lock);
        m_ended = true;
        m_ready.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_ready, m_room;
    std::deque<std::shared_ptr<Folder>> m_folders;
    bool m_ended = false;
};

struct Totals {
    std::atomic<std::uint64_t> headers{0}, bytes{0}, matches{0};
};

bool isHeader(std::string_view name)
{
    return name.size() > 2 && name.substr(name.size() - 2) == ".h";
}

void walk(int descriptor, FolderQueue &queue)
{
    auto folder = std::make_shared<Folder>();
    folder->descriptor = descriptor;
    std::vector<std::string> subfolders;
    char entries[32 * 1024];
    long length;
    while ((length = syscall(SYS_getdents64, descriptor, entries, sizeof entries)) > 0) {
        for (long at = 0; at < length;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(entries + at);
            at += entry->d_reclen;
            const std::string_view name = entry->d_name;
            if (entry->d_type == DT_DIR && name != "." && name != "..")
                subfolders.emplace_back(name);
            else if (entry->d_type == DT_REG && isHeader(name))
                folder->headers.emplace_back(name);
        }
    }
    for (const std::string &name : subfolders) {
        const int subfolder = openat(descriptor, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (subfolder >= 0)
            walk(subfolder, queue);
    }
    if (!folder->headers.empty())
        queue.push(std::move(folder));
}

struct AlignedBuffer {
    char *data = static_cast<char *>(::operator new[](bufferSize, std::align_val_t(4096)));
    ~AlignedBuffer() { ::operator delete[](data, std::align_val_t(4096)); }
};

void decided(const char *text, long size, std::string_view needle, Totals &totals)
{
    totals.headers.fetch_add(1, std::memory_order_relaxed);
    if (size <= 0)
        return;
    totals.bytes.fetch_add(static_cast<std::uint64_t>(size), std::memory_order_relaxed);
    if (memmem(text, static_cast<std::size_t>(size), needle.data(), needle.size()))
        totals.matches.fetch_add(1, std::memory_order_relaxed);
}

void decideWithSystemCalls(FolderQueue &queue, std::string_view needle, Totals &totals)
{
    AlignedBuffer buffer;
    while (std::shared_ptr<Folder> folder = queue.pop()) {
        for (const std::string &name : folder->headers) {
            const int file = openat(folder->descriptor, name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
            if (file < 0)
                continue;
            decided(buffer.data, read(file, buffer.data, bufferSize), needle, totals);
            close(file);
        }
    }
}

// Made before any thread starts, so that a refusal ends the run at once.
bool makeRing(io_uring &ring)
{
    if (io_uring_queue_init(3 * ringDepth, &ring, 0) != 0)
        return false;
    if (io_uring_register_files_sparse(&ring, ringDepth) == 0)
        return true;
    io_uring_queue_exit(&ring);
    return false;
}

[[noreturn]] void ringFailed()
{
    std::fprintf(stderr, "io_uring failed\n");
    std::_Exit(1); // from any thread, without running what the others use
}

// Every request posts its completion, none skipped, so that a batch is
// over after three a header, whatever failed.
void decideWithIoUring(io_uring &ring, FolderQueue &queue, std::string_view needle, Totals &totals)
{
    std::vector<AlignedBuffer> buffers(ringDepth);
    while (std::shared_ptr<Folder> folder = queue.pop()) {
        for (std::size_t first = 0; first < folder->headers.size(); first += ringDepth) {
            const unsigned count = static_cast<unsigned>(std::min<std::size_t>(ringDepth, folder->headers.size() - first));
            for (unsigned slot = 0; slot < count; ++slot) {
                io_uring_sqe *open = io_uring_get_sqe(&ring);
                io_uring_prep_openat_direct(open, folder->descriptor, folder->headers[first + slot].c_str(),
                                            O_RDONLY | O_NONBLOCK | O_NOCTTY, 0, slot);
                open->flags |= IOSQE_IO_LINK;
                io_uring_sqe_set_data64(open, UINT64_MAX);
                io_uring_sqe *reading = io_uring_get_sqe(&ring);
                io_uring_prep_read(reading, static_cast<int>(slot), buffers[slot].data, bufferSize, 0);
                reading->flags |= IOSQE_FIXED_FILE | IOSQE_IO_HARDLINK;
                io_uring_sqe_set_data64(reading, slot);
                io_uring_sqe *closing = io_uring_get_sqe(&ring);
                io_uring_prep_close_direct(closing, slot);
                io_uring_sqe_set_data64(closing, UINT64_MAX);
            }
            if (io_uring_submit_and_wait(&ring, 3 * count) != static_cast<int>(3 * count))
                ringFailed();
            for (unsigned seen = 0; seen < 3 * count; ++seen) {
                io_uring_cqe *completion;
                if (io_uring_wait_cqe(&ring, &completion) != 0)
                    ringFailed();
                const std::uint64_t slot = io_uring_cqe_get_data64(completion);
                if (slot != UINT64_MAX && completion->res != -ECANCELED)
                    decided(buffers[slot].data, completion->res, needle, totals);
                io_uring_cqe_seen(&ring, completion);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    int first = 1;
    const bool ioUring = argc > 1 && std::strcmp(argv[1], "--io-uring") == 0;
    if (ioUring)
        ++first;
    if (argc - first < 2) {
        std::fprintf(stderr, "usage: scoutmark-floor-bench [--io-uring] NEEDLE ROOT...\n");
        return 2;
    }
    const std::string_view needle = argv[first];
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    std::vector<io_uring> rings(ioUring ? threads : 0);
    for (io_uring &ring : rings) {
        if (!makeRing(ring)) {
            std::fprintf(stderr, "io_uring refused\n");
            return 1;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    FolderQueue queue;
    Totals totals;
    std::vector<std::thread> deciding;
    for (unsigned i = 0; i < threads; ++i) {
        if (ioUring)
            deciding.emplace_back(decideWithIoUring, std::ref(rings[i]), std::ref(queue), needle, std::ref(totals));
        else
            deciding.emplace_back(decideWithSystemCalls, std::ref(queue), needle, std::ref(totals));
    }
    for (int root = first + 1; root < argc; ++root) {
        const int descriptor = open(argv[root], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor >= 0)
            walk(descriptor, queue);
    }
    queue.end();
    for (std::thread &thread : deciding)
        thread.join();
    for (io_uring &ring : rings)
        io_uring_queue_exit(&ring);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("headers %llu bytes %llu matches %llu seconds %.4f\n",
                static_cast<unsigned long long>(totals.headers.load()),
                static_cast<unsigned long long>(totals.bytes.load()),
                static_cast<unsigned long long>(totals.matches.load()), elapsed.count());
}
