#include "tree_copy.h"

#include "beneath_resolution.h"
#include "first_copies.h"
#include "test_pause.h"
#include "tree_removal.h"
#include "tree_walk.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <set>
#include <unordered_map>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int attemptsAtAFreeName = 16;
constexpr std::size_t batchSize = 64; // source descriptors held open at once
constexpr std::size_t chunk = std::size_t(64) << 20; // progress is told at least this often

using DevicePair = std::pair<dev_t, dev_t>;

// Ways of copying data that a pair of file systems turned out not to
// offer: each is tried once per pair, not once per file.
std::set<DevicePair> withoutClone, withoutRangeCopy;

bool notOffered(int error)
{
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP
           || error == ENOTTY;
}

bool writeAll(int out, const char *data, std::size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t n = pwrite(out, data, size, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

struct Copied {
    bool ok = true;
    bool reachedEnd = true; // false: the source ended early
};

// Copies length bytes at offset: in the kernel where it can, with reads
// and writes elsewhere.
Copied copyRange(int in, int out, off_t offset, off_t length, const DevicePair &devices,
                 CopyProgress &progress)
{
    off_t from = offset, to = offset;
    while (length > 0 && !withoutRangeCopy.count(devices)) {
        const auto step = static_cast<std::size_t>(std::min<off_t>(length, chunk));
        const ssize_t n = copy_file_range(in, &from, out, &to, step, 0);
        if (n > 0) {
            length -= n;
            progress.advance(static_cast<std::uint64_t>(n), 0);
            continue;
        }
        if (n == 0)
            return {true, false};
        if (errno == EINTR)
            continue;
        if (!notOffered(errno))
            return {false, false};
        withoutRangeCopy.insert(devices);
    }
    static std::vector<char> buffer(std::size_t(1) << 20);
    while (length > 0) {
        const auto step = static_cast<std::size_t>(std::min<off_t>(length, static_cast<off_t>(buffer.size())));
        const ssize_t n = pread(in, buffer.data(), step, from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {false, false};
        if (n == 0)
            return {true, false};
        if (!writeAll(out, buffer.data(), static_cast<std::size_t>(n), to))
            return {false, false};
        from += n;
        to += n;
        length -= n;
        progress.advance(static_cast<std::uint64_t>(n), 0);
    }
    return {};
}

// The file's data, at most the size it had when opened: a file that a
// user keeps writing to cannot keep the copy going. Holes stay holes.
bool copyData(int in, int out, const struct stat &status, dev_t targetDevice, CopyProgress &progress)
{
    const off_t size = status.st_size;
    if (size == 0)
        return true;
    const DevicePair devices{status.st_dev, targetDevice};
    if (!withoutClone.count(devices)) {
        if (ioctl(out, FICLONE, in) == 0) {
            progress.advance(static_cast<std::uint64_t>(size), 0);
            return true;
        }
        if (notOffered(errno))
            withoutClone.insert(devices);
    }
    // Fewer blocks than the size needs: there are holes to keep.
    const bool sparse = status.st_blocks * 512 < size;
    off_t at = 0;
    while (at < size) {
        off_t data = at, hole = size;
        if (sparse) {
            data = lseek(in, at, SEEK_DATA);
            if (data < 0 && errno == ENXIO)
                data = size; // only a hole is left
            else if (data < 0)
                data = at;
            else
                hole = std::min<off_t>(std::max<off_t>(lseek(in, data, SEEK_HOLE), data), size);
            if (hole <= data && data < size)
                hole = size;
            data = std::min(data, size);
        }
        progress.advance(static_cast<std::uint64_t>(data - at), 0);
        const Copied copied = copyRange(in, out, data, hole - data, devices, progress);
        if (!copied.ok)
            return false;
        if (!copied.reachedEnd)
            return true;
        at = hole;
    }
    return !sparse || ftruncate(out, size) == 0;
}

class TreeCopy
{
public:
    TreeCopy(const ItemLocation &from, const ItemLocation &to, CopyProgress &progress,
             const std::string &shown)
        : m_from(from), m_to(to), m_progress(progress), m_shown(shown)
    {
    }

    std::string run()
    {
        actAs(m_from.rights);
        struct stat seen;
        if (fstatat(m_from.folder.get(), m_from.name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
            return "source: " + reasonOf(errno);
        actAs(m_to.rights);
        struct stat existing;
        if (fstatat(m_to.folder.get(), m_to.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
            return "destination: " + reasonOf(EEXIST);

        struct stat destination;
        if (fstat(m_to.folder.get(), &destination) != 0)
            return "destination folder: " + reasonOf(errno);
        m_destinationFolder = {destination.st_dev, destination.st_ino};

        std::string error = copyRoot(seen);
        if (error.empty())
            error = walk();
        if (error.empty()) {
            actAs(m_to.rights);
            m_progress.placing(m_madeStatus.st_dev, m_madeStatus.st_ino);
            if (renameat2(m_to.folder.get(), m_pending.c_str(), m_to.folder.get(), m_to.name.c_str(),
                          RENAME_NOREPLACE)
                != 0)
                error = "destination: " + reasonOf(errno);
        }
        if (!error.empty())
            error += discard();
        return error;
    }

private:
    // A folder being copied. The first is the copy's top; each further one
    // lies in the one before.
    struct Level {
        UniqueFd source;
        UniqueFd target;
        struct stat status; // of the source folder, given to the copy at the end
        FolderNames names;
        std::string name;   // its own, in the folder before
        std::optional<FirstCopies::Folder> copied; // its number, once a first copy lies in it
    };

    // The place of an item of the folder at index (of the folder itself
    // without a name; of the copy's source with neither), for messages:
    // built only when one is needed, not for every item copied.
    std::string shownAt(std::size_t index, const char *name = nullptr) const
    {
        std::string shown = m_shown;
        for (std::size_t level = 1; level <= index; ++level)
            shown += "/" + m_levels[level].name;
        if (name)
            shown += std::string("/") + name;
        return shown;
    }

    // "<what> <place>: <errno's reason>", errno taken before anything can change it.
    std::string failureAt(const char *what, std::size_t index = 0, const char *name = nullptr) const
    {
        const int error = errno;
        return std::string(what) + " " + shownAt(index, name) + ": " + reasonOf(error);
    }

    mode_t modeOf(const struct stat &status) const
    {
        mode_t mode = status.st_mode & 07777;
        if (m_to.owner)
            return mode & ~(S_ISUID | S_ISGID | S_IWGRP | S_IWOTH);
        if (status.st_uid != invokingUserId())
            mode &= ~(S_ISUID | S_ISGID);
        return mode;
    }

    // Owner first: changing it clears set-id bits that the mode then sets.
    bool finish(int fd, const struct stat &status) const
    {
        if (m_to.owner && fchown(fd, m_to.owner->uid, m_to.owner->gid) != 0)
            return false;
        if (fchmod(fd, modeOf(status)) != 0)
            return false;
        const timespec times[2] = {status.st_atim, status.st_mtim};
        return futimens(fd, times) == 0;
    }

    // Calls make with fresh hidden names until one is free; make answers
    // like the system call it wraps.
    template <typename Make>
    bool makePending(Make make)
    {
        actAs(m_to.rights);
        for (int attempt = 0; attempt < attemptsAtAFreeName; ++attempt) {
            m_pending = temporaryName(m_to.name, "copy");
            if (make(m_pending.c_str()) >= 0)
                return true;
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    // What now stands under the hidden name is what this run made there.
    void madePending()
    {
        m_made = fstatat(m_to.folder.get(), m_pending.c_str(), &m_madeStatus, AT_SYMLINK_NOFOLLOW) == 0;
    }

    std::string copyRoot(const struct stat &seen)
    {
        const int folder = m_to.folder.get();
        if (S_ISREG(seen.st_mode)) {
            actAs(m_from.rights);
            struct stat status;
            std::string why;
            pauseForTest("open", m_from.name);
            UniqueFd in = openSeenItem(m_from.folder.get(), m_from.name, seen, status, why);
            if (!in)
                return "cannot read " + m_shown + ": " + why;
            UniqueFd out;
            if (!makePending([&](const char *name) {
                    out.reset(openat(folder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
                    return out.get();
                }))
                return failureAt("cannot create the copy of");
            madePending();
            return fillFile(in.get(), status, std::move(out), 0, nullptr);
        }
        if (S_ISLNK(seen.st_mode)) {
            std::string target;
            if (const int error = readLink(m_from.folder.get(), m_from.name.c_str(), seen, target))
                return linkFailure(error, m_shown);
            if (!makePending([&](const char *name) { return symlinkat(target.c_str(), folder, name); }))
                return failureAt("cannot create the copy of the link");
            madePending();
            return finishLink(folder, m_pending.c_str(), seen, 0, nullptr);
        }
        if (S_ISDIR(seen.st_mode)) {
            actAs(m_from.rights);
            Level top;
            if (std::string error = openSource(m_from.folder.get(), m_from.name.c_str(), seen, top, 0, nullptr);
                !error.empty())
                return error;
            if (!makePending([&](const char *name) { return mkdirat(folder, name, 0700); }))
                return failureAt("cannot create the copy of");
            madePending();
            top.target.reset(openat(folder, m_pending.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!top.target)
                return failureAt("cannot open the copy of");
            top.copied = FirstCopies::top;
            m_openFolders.emplace(FirstCopies::top, 0);
            m_progress.advance(0, 1);
            m_levels.push_back(std::move(top));
            return {};
        }
        return "cannot copy " + m_shown + ": not a file, folder or symbolic link";
    }

    // Opens a source folder that the walk saw, and lists it; (index, shown)
    // is its place, as for shownAt.
    std::string openSource(int folder, const char *name, const struct stat &seen, Level &level,
                           std::size_t index, const char *shown)
    {
        std::string why;
        level.source = openSeenItem(folder, name, seen, level.status, why);
        if (!level.source)
            return "cannot open " + shownAt(index, shown) + ": " + why;
        // The destination's folder lies inside the source: copying it too would never end.
        if (std::pair(level.status.st_dev, level.status.st_ino) == m_destinationFolder)
            return "cannot copy " + m_shown + " into itself: the destination lies inside it";
        if (std::string error = level.names.read(level.source.get()); !error.empty())
            return "cannot list " + shownAt(index, shown) + ": " + error;
        return {};
    }

    std::string walk()
    {
        while (!m_levels.empty()) {
            Level &level = m_levels.back();
            if (!level.names.done()) {
                if (std::string error = copyEntries(m_levels.size() - 1); !error.empty())
                    return error;
                continue;
            }
            // Mode and times last: a read-only folder must still take its
            // contents, and adding them would change its modification time.
            actAs(m_to.rights);
            if (!finish(level.target.get(), level.status))
                return failureAt("cannot set the attributes of the copy of", m_levels.size() - 1);
            if (level.copied)
                m_openFolders.erase(*level.copied);
            m_levels.pop_back();
        }
        return {};
    }

    // An item of a folder, read with the source's rights and waiting to be
    // written with the target's.
    struct Prepared {
        const char *name; // in its folder's listing
        struct stat status;
        UniqueFd in;          // a file, opened and checked
        bool linked = false;  // a further name of a file copied before
        std::string linkText; // a symbolic link
    };

    // Up to batchSize items of the folder are read with the source's
    // rights, then written with the target's: the file-system identity
    // changes twice a batch instead of twice an item.
    std::string copyEntries(std::size_t index)
    {
        Level &level = m_levels[index];
        std::vector<Prepared> batch;
        std::set<std::pair<dev_t, ino_t>> inBatch;
        actAs(m_from.rights);
        while (!level.names.done() && batch.size() < batchSize) {
            Prepared item;
            item.name = level.names.current();
            struct stat seen;
            if (fstatat(level.source.get(), item.name, &seen, AT_SYMLINK_NOFOLLOW) != 0)
                return failureAt("cannot examine", index, item.name);
            if (S_ISDIR(seen.st_mode)) {
                if (!batch.empty())
                    break; // the batch first, in the folder's order
                level.names.advance();
                return enterFolder(index, item.name, seen); // level is no longer valid
            }
            level.names.advance();
            item.status = seen;
            if (S_ISREG(seen.st_mode)) {
                item.linked = seen.st_nlink > 1 && (m_firstCopies.has(seen) || !inBatch.emplace(seen.st_dev, seen.st_ino).second);
                if (!item.linked) {
                    std::string why;
                    pauseForTest("open", item.name);
                    item.in = openSeenItem(level.source.get(), item.name, seen, item.status, why);
                    if (!item.in)
                        return "cannot read " + shownAt(index, item.name) + ": " + why;
                }
            } else if (S_ISLNK(seen.st_mode)) {
                if (const int error = readLink(level.source.get(), item.name, seen, item.linkText))
                    return linkFailure(error, shownAt(index, item.name));
            } else {
                return "cannot copy " + shownAt(index, item.name) + ": not a file, folder or symbolic link";
            }
            batch.push_back(std::move(item));
        }
        for (Prepared &item : batch) {
            if (std::string error = write(index, item); !error.empty())
                return error;
        }
        return {};
    }

    std::string write(std::size_t index, Prepared &item)
    {
        const int target = m_levels[index].target.get();
        actAs(m_to.rights);
        if (S_ISLNK(item.status.st_mode)) {
            if (symlinkat(item.linkText.c_str(), target, item.name) != 0)
                return failureAt("cannot create the copy of the link", index, item.name);
            return finishLink(target, item.name, item.status, index, item.name);
        }
        if (item.linked) {
            // Never a copy of its own in place of the link: data of the
            // user's would grow, as root's, beyond any limit of the user's.
            if (!linkToFirstCopy(item.status, target, item.name))
                return failureAt("cannot copy the hard link", index, item.name);
            m_progress.advance(0, 1);
            return {};
        }
        UniqueFd out(openat(target, item.name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out)
            return failureAt("cannot create the copy of", index, item.name);
        if (std::string error = fillFile(item.in.get(), item.status, std::move(out), index, item.name); !error.empty())
            return error;
        item.in.reset();
        if (item.status.st_nlink > 1)
            m_firstCopies.add(item.status, copiedFolder(index), item.name);
        return {};
    }

    // The number of the copy of the folder at index, given when a first
    // copy first lies in it.
    FirstCopies::Folder copiedFolder(std::size_t index)
    {
        Level &level = m_levels[index];
        if (!level.copied) {
            level.copied = m_firstCopies.addFolder(copiedFolder(index - 1), level.name);
            m_openFolders.emplace(*level.copied, index);
        }
        return *level.copied;
    }

    std::string enterFolder(std::size_t index, const char *name, const struct stat &seen)
    {
        if (m_levels.size() >= maxWalkDepth)
            return "cannot copy " + shownAt(index, name) + ": folders nested more than "
                   + std::to_string(maxWalkDepth) + " levels deep";
        Level inner;
        actAs(m_from.rights);
        if (std::string error = openSource(m_levels[index].source.get(), name, seen, inner, index, name);
            !error.empty())
            return error;
        const int target = m_levels[index].target.get();
        actAs(m_to.rights);
        if (mkdirat(target, name, 0700) != 0)
            return failureAt("cannot create the copy of", index, name);
        inner.target.reset(openat(target, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!inner.target)
            return failureAt("cannot open the copy of", index, name);
        inner.name = name;
        m_progress.advance(0, 1);
        m_levels.push_back(std::move(inner));
        return {};
    }

    // Writes the copy's data and attributes; (index, name) is its place, as for shownAt.
    std::string fillFile(int in, const struct stat &status, UniqueFd out, std::size_t index, const char *name)
    {
        actAs(m_to.rights);
        struct stat made;
        if (fstat(out.get(), &made) != 0 || !copyData(in, out.get(), status, made.st_dev, m_progress))
            return failureAt("cannot copy the contents of", index, name);
        if (!finish(out.get(), status))
            return failureAt("cannot set the attributes of the copy of", index, name);
        if (close(out.release()) != 0)
            return failureAt("cannot write the copy of", index, name);
        m_progress.advance(0, 1);
        return {};
    }

    std::string linkFailure(int error, const std::string &shown) const
    {
        if (error == EAGAIN)
            return "cannot read the link " + shown + ": it was replaced while being copied";
        return "cannot read the link " + shown + ": " + reasonOf(error);
    }

    // The link's target into text; 0 or errno (EAGAIN: it changed meanwhile).
    int readLink(int folder, const char *name, const struct stat &seen, std::string &text)
    {
        actAs(m_from.rights);
        std::vector<char> target(static_cast<std::size_t>(seen.st_size) + 2);
        const ssize_t length = readlinkat(folder, name, target.data(), target.size());
        if (length < 0)
            return errno;
        if (static_cast<std::size_t>(length) >= target.size() - 1)
            return EAGAIN;
        text.assign(target.data(), static_cast<std::size_t>(length));
        return 0;
    }

    // (index, shown) is the link's place, as for shownAt.
    std::string finishLink(int folder, const char *name, const struct stat &seen, std::size_t index, const char *shown)
    {
        actAs(m_to.rights);
        if (m_to.owner && fchownat(folder, name, m_to.owner->uid, m_to.owner->gid, AT_SYMLINK_NOFOLLOW) != 0)
            return failureAt("cannot set the owner of the copy of", index, shown);
        const timespec times[2] = {seen.st_atim, seen.st_mtim};
        if (utimensat(folder, name, times, AT_SYMLINK_NOFOLLOW) != 0)
            return failureAt("cannot set the times of the copy of", index, shown);
        m_progress.advance(0, 1);
        return {};
    }

    // A further name of a file already copied becomes a further name of
    // the copy. The copy is found again from the nearest folder of the
    // walk that holds it, without following any link, so nothing swapped
    // in leads elsewhere. False and errno if it cannot be.
    bool linkToFirstCopy(const struct stat &seen, int folder, const char *name)
    {
        FirstCopies::Folder holder;
        std::string firstName, path;
        if (!m_firstCopies.find(seen, holder, firstName)) {
            errno = ENOENT;
            return false;
        }
        auto open = m_openFolders.find(holder);
        for (; open == m_openFolders.end(); open = m_openFolders.find(holder)) {
            path.insert(0, path.empty() ? std::string(m_firstCopies.nameOf(holder))
                                        : m_firstCopies.nameOf(holder) + std::string("/"));
            holder = m_firstCopies.parentOf(holder);
        }
        actAs(m_to.rights);
        const int from = m_levels[open->second].target.get();
        if (path.empty())
            return linkat(from, firstName.c_str(), folder, name, 0) == 0;
        UniqueFd found(openFolderBeneath(from, path, Links::refuse));
        return found && linkat(found.get(), firstName.c_str(), folder, name, 0) == 0;
    }

    // Removes what this run made under the hidden name, if it still stands
    // there. Returns "" or what the failure's reason must add: a partial
    // copy that stays behind, under a name nobody sees.
    std::string discard()
    {
        m_levels.clear();
        if (!m_made)
            return {};
        actAs(m_to.rights);
        struct stat now;
        if (fstatat(m_to.folder.get(), m_pending.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0
            || now.st_dev != m_madeStatus.st_dev || now.st_ino != m_madeStatus.st_ino)
            return {};
        if (const std::string error = removeTree(m_to.folder.get(), m_pending, m_to.rights); !error.empty())
            return "; the partial copy " + m_pending + " stays: " + error;
        return {};
    }

    const ItemLocation &m_from;
    const ItemLocation &m_to;
    CopyProgress &m_progress;
    const std::string m_shown;
    std::string m_pending;
    std::pair<dev_t, ino_t> m_destinationFolder;
    bool m_made = false;
    struct stat m_madeStatus {};
    std::vector<Level> m_levels;
    FirstCopies m_firstCopies;
    std::unordered_map<FirstCopies::Folder, std::size_t> m_openFolders; // the levels that have a number
};

} // namespace

std::string copyTree(const ItemLocation &from, const ItemLocation &to, CopyProgress &progress,
                     const std::string &shown)
{
    return TreeCopy(from, to, progress, shown).run();
}
