#include "tree_copy.h"

#include "item_location.h"
#include "unique_fd.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <vector>

namespace {

std::string failure(const std::string &what, const std::string &name)
{
    return what + " " + name + ": " + reasonOf(errno);
}

bool writeAll(int out, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t n = write(out, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

// A reflink where the file system shares blocks, copy_file_range where it
// copies in the kernel, plain reads and writes elsewhere.
bool copyData(int in, int out)
{
    if (ioctl(out, FICLONE, in) == 0)
        return true;
    for (;;) {
        const ssize_t n = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return false;
        break; // not offered here: fall back from where the offsets stand
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = read(in, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAll(out, buffer.data(), n))
            return false;
    }
}

// Owner first: changing it clears set-id bits that the mode then restores.
bool finish(int fd, const struct stat &status, const Owner &owner)
{
    if (owner.apply && fchown(fd, owner.uid, owner.gid) != 0)
        return false;
    if (fchmod(fd, status.st_mode & 07777) != 0)
        return false;
    const timespec times[2] = {status.st_atim, status.st_mtim};
    return futimens(fd, times) == 0;
}

std::string copyFile(int sourceFolder, const std::string &sourceName, const struct stat &status,
                     int targetFolder, const std::string &targetName, const Owner &owner,
                     const std::string &shown)
{
    UniqueFd in(openat(sourceFolder, sourceName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in)
        return failure("cannot read", shown);
    UniqueFd out(openat(targetFolder, targetName.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out)
        return failure("cannot create the copy of", shown);
    if (!copyData(in.get(), out.get()))
        return failure("cannot copy the contents of", shown);
    if (!finish(out.get(), status, owner))
        return failure("cannot set the attributes of the copy of", shown);
    if (close(out.release()) != 0)
        return failure("cannot write the copy of", shown);
    return {};
}

std::string copyLink(int sourceFolder, const std::string &sourceName, const struct stat &status,
                     int targetFolder, const std::string &targetName, const Owner &owner,
                     const std::string &shown)
{
    std::vector<char> target(static_cast<size_t>(status.st_size) + 2);
    const ssize_t length = readlinkat(sourceFolder, sourceName.c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size())
        return failure("cannot read the link", shown);
    target[static_cast<size_t>(length)] = '\0';
    if (symlinkat(target.data(), targetFolder, targetName.c_str()) != 0)
        return failure("cannot create the copy of the link", shown);
    if (owner.apply
        && fchownat(targetFolder, targetName.c_str(), owner.uid, owner.gid, AT_SYMLINK_NOFOLLOW) != 0)
        return failure("cannot set the owner of the copy of", shown);
    const timespec times[2] = {status.st_atim, status.st_mtim};
    if (utimensat(targetFolder, targetName.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return failure("cannot set the times of the copy of", shown);
    return {};
}

std::string copyFolder(int sourceFolder, const std::string &sourceName, const struct stat &status,
                       int targetFolder, const std::string &targetName, const Owner &owner,
                       const std::string &shown)
{
    UniqueFd in(openat(sourceFolder, sourceName.c_str(),
                       O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!in)
        return failure("cannot open", shown);
    if (mkdirat(targetFolder, targetName.c_str(), 0700) != 0)
        return failure("cannot create the copy of", shown);
    UniqueFd out(openat(targetFolder, targetName.c_str(),
                        O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!out)
        return failure("cannot open the copy of", shown);

    DIR *listing = fdopendir(in.get());
    if (!listing)
        return failure("cannot list", shown);
    in.release();
    std::string error;
    errno = 0;
    while (const dirent *entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat child;
        if (fstatat(dirfd(listing), name.c_str(), &child, AT_SYMLINK_NOFOLLOW) != 0) {
            error = failure("cannot examine", shown + "/" + name);
            break;
        }
        error = copyTree(dirfd(listing), name, child, out.get(), name, owner, shown + "/" + name);
        if (!error.empty())
            break;
        errno = 0;
    }
    if (error.empty() && errno != 0)
        error = failure("cannot list", shown);
    closedir(listing);
    if (!error.empty())
        return error;
    // Mode and times last: a read-only folder must still take its contents,
    // and adding them would change its modification time.
    if (!finish(out.get(), status, owner))
        return failure("cannot set the attributes of the copy of", shown);
    return {};
}

} // namespace

std::string copyTree(int sourceFolder, const std::string &sourceName, const struct stat &status,
                     int targetFolder, const std::string &targetName, const Owner &owner,
                     const std::string &shown)
{
    if (S_ISREG(status.st_mode))
        return copyFile(sourceFolder, sourceName, status, targetFolder, targetName, owner, shown);
    if (S_ISLNK(status.st_mode))
        return copyLink(sourceFolder, sourceName, status, targetFolder, targetName, owner, shown);
    if (S_ISDIR(status.st_mode))
        return copyFolder(sourceFolder, sourceName, status, targetFolder, targetName, owner, shown);
    return "cannot copy " + shown + ": not a file, folder or symbolic link";
}
