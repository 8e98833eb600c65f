#include "item_operations.h"

#include "action_list.h"
#include "item_location.h"
#include "tree_copy.h"
#include "tree_removal.h"
#include "tree_size.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr int attemptsAtAFreeName = 16;

std::string locateBoth(const std::string &source, const std::string &destination,
                       SdkDirectory &sdkDirectory, ItemLocation &from, ItemLocation &to)
{
    if (const LocateFailure failure = locateItem(source, sdkDirectory, from))
        return "source: " + failure.reason;
    const bool isImport = placeOf(destination, sdkDirectory.path()) == Place::sdkEntry;
    if (const LocateFailure failure = locateItem(destination, sdkDirectory, to, isImport))
        return "destination folder: " + failure.reason;
    return {};
}

std::string removeLocated(const ItemLocation &item)
{
    actAs(item.rights);
    struct stat status;
    if (fstatat(item.folder.get(), item.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? std::string() : reasonOf(errno);
    for (int attempt = 0; attempt < attemptsAtAFreeName; ++attempt) {
        const std::string aside = temporaryName(item.name, "remove");
        if (renameat2(item.folder.get(), item.name.c_str(), item.folder.get(), aside.c_str(),
                      RENAME_NOREPLACE)
            != 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        const std::string error = removeTree(item.folder.get(), aside, item.rights);
        // What could not be deleted goes back where it was, not out of sight.
        if (!error.empty())
            renameat2(item.folder.get(), aside.c_str(), item.folder.get(), item.name.c_str(), RENAME_NOREPLACE);
        return error;
    }
    return reasonOf(errno);
}

} // namespace

std::string copyItem(const std::string &source, const std::string &destination,
                     SdkDirectory &sdkDirectory, CopyProgress &progress)
{
    ItemLocation from, to;
    if (std::string error = locateBoth(source, destination, sdkDirectory, from, to); !error.empty())
        return error;
    return copyTree(from, to, progress, source);
}

std::string moveItem(const std::string &source, const std::string &destination,
                     SdkDirectory &sdkDirectory, CopyProgress &progress)
{
    ItemLocation from, to;
    if (std::string error = locateBoth(source, destination, sdkDirectory, from, to); !error.empty())
        return error;
    actAs(from.rights); // both inside an SDK: the same rights
    if (renameat2(from.folder.get(), from.name.c_str(), to.folder.get(), to.name.c_str(),
                  RENAME_NOREPLACE)
        == 0)
        return {};
    if (errno != EXDEV)
        return reasonOf(errno);
    if (std::string error = copyTree(from, to, progress, source); !error.empty())
        return error;
    if (std::string error = removeLocated(from); !error.empty())
        return "copied, but the source stays: " + error;
    return {};
}

std::string removeItem(const std::string &path, SdkDirectory &sdkDirectory)
{
    ItemLocation item;
    if (const LocateFailure failure = locateItem(path, sdkDirectory, item))
        return failure.cause == ENOENT ? std::string() : failure.reason; // a folder on the way is missing: nothing there
    return removeLocated(item);
}

void addCopySize(const std::string &source, SdkDirectory &sdkDirectory, CopyTotals &totals)
{
    ItemLocation from;
    if (!locateItem(source, sdkDirectory, from))
        addTreeSize(from, totals);
}
