#include "beneath_resolution.h"

#include "path_resolution.h"
#include "unique_fd.h"

#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <vector>

namespace {

constexpr int maxLinks = 40;          // as the kernel's own walk
constexpr std::size_t maxLevels = 512; // open descriptors held by one walk

bool openat2Missing = false;

// The fallback: every step an openat(O_NOFOLLOW) from the folder held open
// before it; a link's target is spliced into the rest of the path, and ".."
// returns to the folder held one step up, so nothing a concurrent rename
// does can lead above base.
int walkBeneath(int base, const std::string &relativePath, Links links)
{
    std::deque<std::string> rest = pathComponents(relativePath);
    std::vector<UniqueFd> held;
    int followed = 0;
    while (!rest.empty()) {
        const std::string component = std::move(rest.front());
        rest.pop_front();
        if (component == "..") {
            if (held.empty()) {
                errno = EXDEV;
                return -1;
            }
            held.pop_back();
            continue;
        }
        const int folder = held.empty() ? base : held.back().get();
        UniqueFd next(openat(folder, component.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status;
        if (!next || fstat(next.get(), &status) != 0)
            return -1;
        if (S_ISLNK(status.st_mode)) {
            if (links == Links::refuse || ++followed > maxLinks) {
                errno = ELOOP;
                return -1;
            }
            std::vector<char> target(static_cast<std::size_t>(status.st_size) + 2);
            const ssize_t length = readlinkat(next.get(), "", target.data(), target.size());
            if (length < 0)
                return -1;
            if (static_cast<std::size_t>(length) >= target.size() - 1) {
                errno = EAGAIN; // changed while being read
                return -1;
            }
            const std::string_view text(target.data(), static_cast<std::size_t>(length));
            if (text.empty() || text.front() == '/') {
                errno = EXDEV;
                return -1;
            }
            const std::deque<std::string> spliced = pathComponents(text);
            rest.insert(rest.begin(), spliced.begin(), spliced.end());
            continue;
        }
        if (!S_ISDIR(status.st_mode)) {
            errno = ENOTDIR;
            return -1;
        }
        if (held.size() == maxLevels) {
            errno = ENAMETOOLONG;
            return -1;
        }
        held.push_back(std::move(next));
    }
    if (held.empty())
        return openat(base, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return held.back().release();
}

} // namespace

int openFolderBeneath(int base, const std::string &relativePath, Links links)
{
    if (!openat2Missing) {
        open_how how{};
        how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
        how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
        if (links == Links::refuse)
            how.resolve |= RESOLVE_NO_SYMLINKS;
        const std::string path = relativePath.empty() ? "." : relativePath;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const long fd = syscall(SYS_openat2, base, path.c_str(), &how, sizeof how);
            if (fd >= 0)
                return static_cast<int>(fd);
            // EAGAIN: a rename elsewhere raced with a "..": try again.
            if (errno != EAGAIN)
                break;
        }
        // Longer than a path may be: the walk takes it a component at a time.
        if (errno == ENAMETOOLONG)
            return walkBeneath(base, relativePath, links);
        if (errno != ENOSYS && errno != EPERM && errno != EINVAL && errno != E2BIG)
            return -1;
        openat2Missing = true;
    }
    return walkBeneath(base, relativePath, links);
}
