#include "tree_removal.h"

#include "item_location.h"
#include "unique_fd.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

std::string removeTree(int folder, const std::string &name)
{
    struct stat status;
    if (fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? std::string() : "cannot examine " + name + ": " + reasonOf(errno);

    if (S_ISDIR(status.st_mode)) {
        UniqueFd fd(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd)
            return "cannot open " + name + ": " + reasonOf(errno);
        // A read-only folder of the user's own is going away all the same.
        if ((status.st_mode & 0700) != 0700)
            fchmod(fd.get(), (status.st_mode & 07777) | 0700);
        // Names first, deletions after: a listing need not survive changes.
        std::vector<std::string> names;
        UniqueFd inside(dup(fd.get()));
        DIR *listing = inside ? fdopendir(fd.get()) : nullptr;
        if (!listing)
            return "cannot list " + name + ": " + reasonOf(errno);
        fd.release(); // the listing owns it now
        while (const dirent *entry = readdir(listing)) {
            const std::string child = entry->d_name;
            if (child != "." && child != "..")
                names.push_back(child);
        }
        closedir(listing);
        for (const std::string &child : names) {
            const std::string error = removeTree(inside.get(), child);
            if (!error.empty())
                return name + "/" + error;
        }
        if (unlinkat(folder, name.c_str(), AT_REMOVEDIR) != 0)
            return "cannot delete " + name + ": " + reasonOf(errno);
        return {};
    }
    if (unlinkat(folder, name.c_str(), 0) != 0)
        return "cannot delete " + name + ": " + reasonOf(errno);
    return {};
}
