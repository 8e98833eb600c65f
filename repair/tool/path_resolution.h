#pragma once

#include "unique_fd.h"

#include <deque>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// The components of a path, without empty ones and ".".
std::deque<std::string> pathComponents(std::string_view path);

// Whether only root can change what a folder holds: owned by root and
// writable neither by its group nor by others. A sticky bit does not make
// a folder that others may write safe: they can still add names to it.
bool isRootsAlone(const struct stat &folder);

// What a walk from "/" to a folder found. Each component is opened without
// following it and judged on the descriptor that was opened, so that
// nothing renamed meanwhile is judged in its place; symbolic links are
// followed as the kernel follows them (at most 40, an absolute target
// starting again at "/", ".." going back to the folder held before).
struct PathResolution {
    UniqueFd folder;                  // the deepest folder reached (O_PATH)
    std::vector<std::string> missing; // the path's last names, from the first that does not exist
    bool rootsAlone = true;           // every folder entered on the way is root's alone
    int error = 0;                    // why the walk stopped other than at missing names
};

PathResolution resolveFromRoot(const std::string &path);
