#include "folder_prefetch.h"

#include "tree_walk.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <condition_variable>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <mutex>
#include <optional>
#include <string_view>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>

namespace {

// Whether a file's first page is mapped in memory, for file systems that
// refuse a read that must not wait (one kept in memory, for one). Where
// that cannot be told either, the slow listings decide alone.
bool firstPageResident(int file)
{
    const long page = sysconf(_SC_PAGESIZE);
    void *mapped = mmap(nullptr, static_cast<std::size_t>(page), PROT_READ, MAP_SHARED, file, 0);
    if (mapped == MAP_FAILED)
        return false;
    unsigned char resident = 0;
    const bool told = mincore(mapped, static_cast<std::size_t>(page), &resident) == 0;
    munmap(mapped, static_cast<std::size_t>(page));
    return told && (resident & 1) != 0;
}

// Whether the first page of a header is in the page cache, asked by a read
// that must not wait for the disk (one that misses starts the disk on the
// page, which the deciding threads read next anyway); nothing where this
// header cannot tell.
std::optional<bool> firstPageCached(int folder, const char *name)
{
    const int file = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0)
        return std::nullopt;
    char byte;
    iovec piece{&byte, 1};
    const ssize_t got = preadv2(file, &piece, 1, 0, RWF_NOWAIT);
    const int error = errno;
    std::optional<bool> cached; // none where the header is empty, or gone
    if (got > 0)
        cached = true;
    else if (got < 0 && error == EAGAIN)
        cached = false;
    else if (got < 0 && (error == EOPNOTSUPP || error == EINVAL || error == ENOSYS))
        cached = firstPageResident(file);
    close(file);
    return cached;
}

} // namespace

struct FolderPrefetch::State {
    struct Folder {
        std::size_t root;
        std::string path; // beneath the root, "." for the root itself
    };

    std::vector<std::string> rootPaths;
    std::vector<int> roots; // descriptors, opened as each root is reached, -1 where it could not be
    std::vector<std::string> skipFrameworks;
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Folder> waiting; // a stack: the last found is listed first, as the walk goes
    unsigned listing = 0;
    std::atomic<bool> stopped{false};
    std::atomic<std::uint64_t> listed{0};
    std::atomic<std::uint64_t> advised{0}; // headers asked to be read
    std::atomic<std::uint64_t> walked{0}; // folders the walk has listed

    ~State()
    {
        for (int descriptor : roots) {
            if (descriptor >= 0)
                close(descriptor);
        }
    }

    // Only a regular file: opening a FIFO or a device has effects of its own.
    void readAhead(int folder, const char *name)
    {
        const int file = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (file >= 0) {
            if (posix_fadvise(file, 0, 0, POSIX_FADV_WILLNEED) == 0)
                advised.fetch_add(1, std::memory_order_relaxed);
            close(file);
        }
    }

    // The folder's subfolders, first one last, or nothing where it cannot
    // be opened beneath its root. A root is opened as the walk opens it,
    // through a link too, here rather than on the walk's thread, which a
    // root that does not answer would hold up.
    std::vector<Folder> list(const Folder &folder, std::vector<char> &buffer)
    {
        int rootDescriptor;
        if (folder.path == ".") {
            rootDescriptor = open(rootPaths[folder.root].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
            const std::lock_guard guard(lock);
            roots[folder.root] = rootDescriptor;
        } else {
            const std::lock_guard guard(lock);
            rootDescriptor = roots[folder.root];
        }
        if (rootDescriptor < 0)
            return {};
        open_how how{};
        how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const int descriptor = static_cast<int>(
            syscall(SYS_openat2, rootDescriptor, folder.path.c_str(), &how, sizeof how));
        if (descriptor < 0)
            return {};
        listed.fetch_add(1);
        std::vector<Folder> found;
        long length;
        while (!stopped.load(std::memory_order_relaxed)
               && (length = syscall(SYS_getdents64, descriptor, buffer.data(), buffer.size())) > 0) {
            for (long at = 0; at < length && !stopped.load(std::memory_order_relaxed);) {
                const auto *entry = reinterpret_cast<const dirent64 *>(buffer.data() + at);
                at += entry->d_reclen;
                const std::string_view name = entry->d_name;
                if (entry->d_type == DT_REG && isHeaderName(name)) {
                    readAhead(descriptor, entry->d_name);
                } else if (entry->d_type == DT_DIR && name != "." && name != ".."
                           && !isSkippedFolder(name, skipFrameworks)) {
                    try {
                        found.push_back({folder.root, folder.path == "." ? std::string(name)
                                                                         : folder.path + '/' + std::string(name)});
                    } catch (...) {
                        break;
                    }
                }
            }
        }
        close(descriptor);
        std::reverse(found.begin(), found.end());
        return found;
    }

    bool tooFarAhead() const { return listed.load() > walked.load() + maxFoldersAhead; }

    void work()
    {
        std::vector<char> buffer(32 * 1024);
        std::unique_lock guard(lock);
        for (;;) {
            changed.wait(guard, [&] { return stopped || !waiting.empty() || listing == 0; });
            if (stopped || waiting.empty())
                break; // stopped, or every folder listed
            if (tooFarAhead()) {
                changed.wait_for(guard, std::chrono::milliseconds(1));
                continue;
            }
            Folder folder = std::move(waiting.back());
            waiting.pop_back();
            ++listing;
            guard.unlock();
            std::vector<Folder> found = list(folder, buffer);
            guard.lock();
            --listing;
            try {
                if (waiting.size() + found.size() <= maxFoldersWaiting)
                    waiting.insert(waiting.end(), std::make_move_iterator(found.begin()),
                                   std::make_move_iterator(found.end()));
            } catch (...) {
                stopped = true; // out of memory: the walk does without
            }
            changed.notify_all();
        }
        changed.notify_all();
    }
};

FolderPrefetch::FolderPrefetch(std::vector<std::string> roots, std::vector<std::string> skipFrameworks)
    : m_roots(std::move(roots))
    , m_skipFrameworks(std::move(skipFrameworks))
{
}

FolderPrefetch::~FolderPrefetch()
{
    stop();
}

void FolderPrefetch::start()
{
    if (m_state)
        return;
    m_state = std::make_shared<State>();
    State &state = *m_state;
    state.skipFrameworks = std::move(m_skipFrameworks);
    state.rootPaths = std::move(m_roots);
    state.roots.assign(state.rootPaths.size(), -1);
    // Counted from the walk's first folder, as the threads start from the first root.
    state.walked = m_walked;
    for (std::size_t root = state.rootPaths.size(); root > 0; --root)
        state.waiting.push_back({root - 1, "."});
    for (unsigned i = 0; i < threads; ++i) {
        try {
            std::thread([state = m_state] { state->work(); }).detach();
        } catch (const std::system_error &) {
            break; // fewer threads list, or none
        }
    }
}

void FolderPrefetch::folderListed(std::chrono::nanoseconds took)
{
    if (m_state) {
        m_state->walked.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    ++m_walked;
    // Three of the last eight: a walk held up once on a loaded machine is
    // no cold disk.
    m_slowListings = (m_slowListings << 1 | (took >= diskLatency ? 1u : 0u)) & 0xFFu;
    if (std::popcount(m_slowListings) >= 3)
        m_listingsSlow = true;
}

void FolderPrefetch::headerReached(int folder, const char *name)
{
    if (!m_listingsSlow || m_state)
        return;
    const std::optional<bool> cached = firstPageCached(folder, name);
    if (!cached)
        return;
    if (*cached) {
        // The machine was busy: the listings start over.
        m_listingsSlow = false;
        m_slowListings = 0;
        m_uncachedHeaders = 0;
    } else if (++m_uncachedHeaders >= uncachedHeadersToStart) {
        start();
    }
}

void FolderPrefetch::stop()
{
    if (!m_state)
        return;
    const std::lock_guard guard(m_state->lock);
    m_state->stopped = true;
    m_state->changed.notify_all();
}

std::uint64_t FolderPrefetch::foldersListed() const
{
    return m_state ? m_state->listed.load(std::memory_order_relaxed) : 0;
}

std::uint64_t FolderPrefetch::headersReadAhead() const
{
    return m_state ? m_state->advised.load(std::memory_order_relaxed) : 0;
}
