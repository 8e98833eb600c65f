#include "item_location.h"

#include "action_list.h"
#include "beneath_resolution.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>

namespace {

// Opens the SDK directory, following links as any path outside it would;
// when asked, makes it and its missing parents, owned by root.
UniqueFd openSdkDirectory(const std::string &sdkDirectory, bool create)
{
    UniqueFd folder(open(sdkDirectory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder || errno != ENOENT || !create)
        return folder;
    folder.reset(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t start = 1;
    while (folder && start < sdkDirectory.size()) {
        auto end = sdkDirectory.find('/', start);
        if (end == std::string::npos)
            end = sdkDirectory.size();
        const std::string name = sdkDirectory.substr(start, end - start);
        start = end + 1;
        UniqueFd next(openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next && errno == ENOENT && mkdirat(folder.get(), name.c_str(), 0700) == 0) {
            next.reset(openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (next && (fchown(next.get(), 0, 0) != 0 || fchmod(next.get(), 0755) != 0))
                next.reset();
        } else if (!next && errno == EEXIST) { // made by a second run meanwhile
            next.reset(openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
        folder = std::move(next);
    }
    return folder;
}

// Takes errno's value as its argument, before any string is built.
LocateFailure failure(int cause, const char *doing = "")
{
    return {cause, doing + reasonOf(cause)};
}

LocateFailure locateOutside(const std::string &folder, ItemLocation &location)
{
    location.rights = Rights::user;
    actAs(Rights::user);
    location.folder.reset(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!location.folder)
        return failure(errno);
    return {};
}

bool sameItem(int a, int b)
{
    struct stat first, second;
    return fstat(a, &first) == 0 && fstat(b, &second) == 0 && first.st_dev == second.st_dev
           && first.st_ino == second.st_ino;
}

LocateFailure failureOfEscape(int cause)
{
    if (cause == EXDEV || cause == ELOOP)
        return {cause, "a symbolic link on the way leads outside the SDK"};
    return failure(cause);
}

} // namespace

std::string reasonOf(int error)
{
    return std::strerror(error);
}

LocateFailure locateItem(const std::string &path, const std::string &sdkDirectory, ItemLocation &location,
                         bool createSdkDirectory)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        return {EINVAL, "not a path to an item"};
    }
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    location.name = path.substr(slash + 1);

    const Place place = placeOf(path, sdkDirectory);
    if (place == Place::outside)
        return locateOutside(folder, location);

    location.rights = Rights::root;
    actAs(Rights::root);
    UniqueFd sdks = openSdkDirectory(sdkDirectory, createSdkDirectory);
    if (!sdks)
        return failure(errno, "cannot open the SDK directory: ");
    struct stat status;
    if (fstat(sdks.get(), &status) != 0)
        return failure(errno, "cannot examine the SDK directory: ");
    location.owner = Owner{status.st_uid, status.st_gid};
    if (place == Place::sdkEntry) {
        location.folder = std::move(sdks);
        return {};
    }

    const std::string below = folder.substr(sdkDirectory.size() + 1);
    const auto end = below.find('/');
    UniqueFd sdk(openFolderBeneath(sdks.get(), below.substr(0, end), Links::followBeneath));
    if (!sdk)
        return failureOfEscape(errno);
    if (sameItem(sdk.get(), sdks.get()))
        return failureOfEscape(EXDEV);
    if (end == std::string::npos) {
        location.folder = std::move(sdk);
        return {};
    }
    location.folder.reset(openFolderBeneath(sdk.get(), below.substr(end + 1), Links::followBeneath));
    if (!location.folder)
        return failureOfEscape(errno);
    return {};
}

std::string temporaryName(const std::string &name, const char *purpose)
{
    unsigned char bytes[12];
    for (std::size_t got = 0; got < sizeof bytes;) {
        const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
        if (n > 0)
            got += static_cast<std::size_t>(n);
    }
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string random;
    for (const unsigned char byte : bytes)
        random += digits[byte % 36];
    // Room for the decoration within the 255 bytes a name may have.
    return "." + name.substr(0, 200) + ".tarnwick-" + purpose + "-" + random;
}
