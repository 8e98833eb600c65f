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
    FolderNames names;
    std::string name; // its own, in the folder before
};

std::string failure(const std::string &what, const std::string &path, int error)
{
    return what + " " + path + ": " + reasonOf(error);
}

// For messages, the place of name in the innermost level: below the item
// removed, which is the first level's own name.
std::string pathOf(const std::vector<Level> &levels, const char *name)
{
    std::string path;
    for (const Level &level : levels)
        path += (path.empty() ? "" : "/") + level.name;
    return path.empty() ? name : path + "/" + name;
}

} // namespace

std::string removeTree(int folder, const std::string &name, Rights rights)
{
    actAs(rights);
    std::vector<Level> levels;
    // Deletes a file or link at once; opens a folder and adds it to the walk.
    const auto take = [&](int parent, const char *child) -> std::string {
        struct stat seen;
        if (fstatat(parent, child, &seen, AT_SYMLINK_NOFOLLOW) != 0) {
            const int error = errno;
            return error == ENOENT ? std::string() : failure("cannot examine", pathOf(levels, child), error);
        }
        if (!S_ISDIR(seen.st_mode)) {
            if (unlinkat(parent, child, 0) != 0 && errno != ENOENT) {
                const int error = errno;
                return failure("cannot delete", pathOf(levels, child), error);
            }
            return {};
        }
        if (levels.size() > maxWalkDepth)
            return "cannot delete " + pathOf(levels, child) + ": folders nested more than "
                   + std::to_string(maxWalkDepth) + " levels deep";
        Level level;
        struct stat status;
        std::string why;
        level.folder = openSeenItem(parent, child, seen, status, why);
        if (!level.folder)
            return "cannot open " + pathOf(levels, child) + ": " + why;
        // A read-only folder of the user's own is going away all the same.
        if ((status.st_mode & 0700) != 0700)
            fchmod(level.folder.get(), (status.st_mode & 07777) | 0700);
        if (std::string error = level.names.read(level.folder.get()); !error.empty())
            return "cannot list " + pathOf(levels, child) + ": " + error;
        level.name = child;
        levels.push_back(std::move(level));
        return {};
    };

    if (std::string error = take(folder, name.c_str()); !error.empty())
        return error;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (!level.names.done()) {
            const char *child = level.names.current();
            level.names.advance();
            // May add a level, moving this one; child stays where it is.
            if (std::string error = take(level.folder.get(), child); !error.empty())
                return error;
            continue;
        }
        const std::string own = std::move(level.name);
        levels.pop_back();
        const int parent = levels.empty() ? folder : levels.back().folder.get();
        if (unlinkat(parent, own.c_str(), AT_REMOVEDIR) != 0 && errno != ENOENT) {
            const int error = errno;
            return failure("cannot delete", pathOf(levels, own.c_str()), error);
        }
    }
    return {};
}
