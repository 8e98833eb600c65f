#include "item_location.h"

#include "action_list.h"
#include "beneath_resolution.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>

namespace {

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

LocateFailure locateItem(const std::string &path, SdkDirectory &sdkDirectory, ItemLocation &location,
                         bool createSdkDirectory)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) {
        return {EINVAL, "not a path to an item"};
    }
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    location.name = path.substr(slash + 1);

    const Place place = placeOf(path, sdkDirectory.path());
    if (place == Place::outside)
        return locateOutside(folder, location);

    location.rights = sdkDirectory.rights();
    UniqueFd sdks = sdkDirectory.open(createSdkDirectory);
    if (!sdks)
        return failure(errno, "cannot open the SDK directory: ");
    struct stat status;
    if (fstat(sdks.get(), &status) != 0)
        return failure(errno, "cannot examine the SDK directory: ");
    if (location.rights == Rights::root)
        location.owner = Owner{status.st_uid, status.st_gid};
    if (place == Place::sdkEntry) {
        location.folder = std::move(sdks);
        return {};
    }

    const std::string below = folder.substr(sdkDirectory.path().size() + 1);
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
