#include "tree_size.h"

#include "inode_table.h"
#include "tree_walk.h"

#include <fcntl.h>
#include <vector>

namespace {

struct Level {
    UniqueFd folder;
    FolderNames names;
};

} // namespace

void addTreeSize(const ItemLocation &from, CopyTotals &totals)
{
    actAs(from.rights);
    InodeTable counted;
    std::vector<Level> levels;
    // Counts one item; a folder is entered if the walk could copy it.
    const auto count = [&](int folder, const char *name) {
        struct stat seen;
        if (fstatat(folder, name, &seen, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        ++totals.items;
        if (S_ISREG(seen.st_mode) && (seen.st_nlink < 2 || counted.insert(seen.st_dev, seen.st_ino, 0)))
            totals.bytes += static_cast<std::uint64_t>(seen.st_size);
        if (!S_ISDIR(seen.st_mode) || levels.size() >= maxWalkDepth)
            return;
        Level level;
        struct stat status;
        std::string why;
        level.folder = openSeenItem(folder, name, seen, status, why);
        if (level.folder && level.names.read(level.folder.get()).empty())
            levels.push_back(std::move(level));
    };
    count(from.folder.get(), from.name.c_str());
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.names.done()) {
            levels.pop_back();
            continue;
        }
        const char *name = level.names.current();
        level.names.advance();
        count(level.folder.get(), name); // may add a level, moving this one; name stays where it is
    }
}
