#include "tree_size.h"

#include "tree_walk.h"

#include <fcntl.h>
#include <set>
#include <utility>
#include <vector>

namespace {

struct Level {
    UniqueFd folder;
    std::vector<std::string> names;
    std::size_t next = 0;
};

} // namespace

void addTreeSize(const ItemLocation &from, CopyTotals &totals)
{
    actAs(from.rights);
    std::set<std::pair<dev_t, ino_t>> counted;
    std::vector<Level> levels;
    // Counts one item; a folder is entered if the walk could copy it.
    const auto count = [&](int folder, const std::string &name) {
        struct stat seen;
        if (fstatat(folder, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        ++totals.items;
        if (S_ISREG(seen.st_mode) && (seen.st_nlink < 2 || counted.emplace(seen.st_dev, seen.st_ino).second))
            totals.bytes += static_cast<std::uint64_t>(seen.st_size);
        if (!S_ISDIR(seen.st_mode) || levels.size() >= maxWalkDepth)
            return;
        Level level;
        struct stat status;
        std::string why;
        level.folder = openSeenItem(folder, name, seen, status, why);
        if (level.folder && listNames(level.folder.get(), level.names).empty())
            levels.push_back(std::move(level));
    };
    count(from.folder.get(), from.name);
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.names.size()) {
            levels.pop_back();
            continue;
        }
        const std::string name = level.names[level.next++];
        count(level.folder.get(), name); // may add a level: level is then no longer valid
    }
}
