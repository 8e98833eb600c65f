#include "tree_removal.h"

#include "item_location.h"
#include "tree_walk.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

struct Level {
    UniqueFd folder;
    std::vector<std::string> names;
    std::size_t next = 0;
    std::string path; // for messages, below the item removed
};

std::string failure(const std::string &what, const std::string &path, int error)
{
    return what + " " + path + ": " + reasonOf(error);
}

} // namespace

std::string removeTree(int folder, const std::string &name, Rights rights)
{
    actAs(rights);
    std::vector<Level> levels;
    // Deletes a file or link at once; opens a folder and adds it to the walk.
    const auto take = [&](int parent, const std::string &child, const std::string &path) -> std::string {
        struct stat seen;
        if (fstatat(parent, child.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? std::string() : failure("cannot examine", path, errno);
        if (!S_ISDIR(seen.st_mode)) {
            if (unlinkat(parent, child.c_str(), 0) != 0 && errno != ENOENT)
                return failure("cannot delete", path, errno);
            return {};
        }
        if (levels.size() > maxWalkDepth)
            return "cannot delete " + path + ": folders nested more than "
                   + std::to_string(maxWalkDepth) + " levels deep";
        Level level;
        struct stat status;
        std::string why;
        level.folder = openSeenItem(parent, child, seen, status, why);
        if (!level.folder)
            return "cannot open " + path + ": " + why;
        // A read-only folder of the user's own is going away all the same.
        if ((status.st_mode & 0700) != 0700)
            fchmod(level.folder.get(), (status.st_mode & 07777) | 0700);
        if (std::string error = listNames(level.folder.get(), level.names); !error.empty())
            return "cannot list " + path + ": " + error;
        level.path = path;
        levels.push_back(std::move(level));
        return {};
    };

    if (std::string error = take(folder, name, name); !error.empty())
        return error;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next < level.names.size()) {
            const std::string child = level.names[level.next++];
            // May add a level: level is then no longer valid.
            if (std::string error = take(level.folder.get(), child, level.path + "/" + child); !error.empty())
                return error;
            continue;
        }
        const std::string path = level.path;
        levels.pop_back();
        const int parent = levels.empty() ? folder : levels.back().folder.get();
        const auto slash = path.rfind('/');
        const std::string own = slash == std::string::npos ? path : path.substr(slash + 1);
        if (unlinkat(parent, own.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT)
            return failure("cannot delete", path, errno);
    }
    return {};
}
