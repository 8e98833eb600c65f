#include "item_operations.h"

#include "item_location.h"
#include "tree_copy.h"
#include "tree_removal.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string locateBoth(const std::string &source, const std::string &destination,
                       const std::string &sdkDirectory, ItemLocation &from, ItemLocation &to)
{
    if (std::string error = locateItem(source, sdkDirectory, from); !error.empty())
        return "source: " + error;
    if (std::string error = locateItem(destination, sdkDirectory, to); !error.empty())
        return "destination folder: " + error;
    return {};
}

bool exists(const ItemLocation &item)
{
    struct stat status;
    return fstatat(item.folder.get(), item.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

std::string copyInto(const ItemLocation &from, const std::string &shownSource, const ItemLocation &to)
{
    struct stat status;
    if (fstatat(from.folder.get(), from.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return "source: " + reasonOf(errno);
    if (exists(to))
        return "destination: " + reasonOf(EEXIST);

    Owner owner;
    struct stat folder;
    if (geteuid() == 0 && fstat(to.folder.get(), &folder) == 0)
        owner = {folder.st_uid, folder.st_gid, true};

    const std::string pending = temporaryName(to.name, "copy");
    std::string error = copyTree(from.folder.get(), from.name, status, to.folder.get(), pending,
                                 owner, shownSource);
    if (error.empty()
        && renameat2(to.folder.get(), pending.c_str(), to.folder.get(), to.name.c_str(),
                     RENAME_NOREPLACE) != 0)
        error = "destination: " + reasonOf(errno);
    if (!error.empty())
        removeTree(to.folder.get(), pending);
    return error;
}

std::string removeLocated(const ItemLocation &item)
{
    if (!exists(item))
        return {};
    const std::string aside = temporaryName(item.name, "remove");
    if (renameat(item.folder.get(), item.name.c_str(), item.folder.get(), aside.c_str()) != 0)
        return reasonOf(errno);
    return removeTree(item.folder.get(), aside);
}

} // namespace

std::string copyItem(const std::string &source, const std::string &destination,
                     const std::string &sdkDirectory)
{
    ItemLocation from, to;
    if (std::string error = locateBoth(source, destination, sdkDirectory, from, to); !error.empty())
        return error;
    return copyInto(from, source, to);
}

std::string moveItem(const std::string &source, const std::string &destination,
                     const std::string &sdkDirectory)
{
    ItemLocation from, to;
    if (std::string error = locateBoth(source, destination, sdkDirectory, from, to); !error.empty())
        return error;
    if (renameat2(from.folder.get(), from.name.c_str(), to.folder.get(), to.name.c_str(),
                  RENAME_NOREPLACE)
        == 0)
        return {};
    if (errno != EXDEV)
        return reasonOf(errno);
    if (std::string error = copyInto(from, source, to); !error.empty())
        return error;
    if (std::string error = removeLocated(from); !error.empty())
        return "copied, but the source stays: " + error;
    return {};
}

std::string removeItem(const std::string &path, const std::string &sdkDirectory)
{
    ItemLocation item;
    if (std::string error = locateItem(path, sdkDirectory, item); !error.empty())
        return errno == ENOENT ? std::string() : error;
    return removeLocated(item);
}
