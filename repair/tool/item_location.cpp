#include "item_location.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>

namespace {

bool isBelow(const std::string &path, const std::string &folder)
{
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0
           && path[folder.size()] == '/';
}

int openBeneath(int base, const std::string &relativePath)
{
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    return static_cast<int>(syscall(SYS_openat2, base, relativePath.c_str(), &how, sizeof how));
}

} // namespace

std::string reasonOf(int error)
{
    return std::strerror(error);
}

std::string locateItem(const std::string &path, const std::string &sdkDirectory,
                       ItemLocation &location)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return "not a path to an item";
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    location.name = path.substr(slash + 1);

    if (!isBelow(path, sdkDirectory)) {
        location.folder.reset(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        return location.folder ? std::string() : reasonOf(errno);
    }

    UniqueFd base(open(sdkDirectory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!base)
        return "cannot open the SDK directory: " + reasonOf(errno);
    if (folder == sdkDirectory) {
        location.folder = std::move(base);
        return {};
    }
    location.folder.reset(openBeneath(base.get(), folder.substr(sdkDirectory.size() + 1)));
    if (location.folder)
        return {};
    if (errno == EXDEV || errno == ELOOP)
        return "a symbolic link on the way leads outside the SDK directory";
    return reasonOf(errno);
}

std::string temporaryName(const std::string &name, const char *purpose)
{
    static unsigned counter = 0;
    // Room for the decoration within the 255 bytes a name may have.
    const std::string kept = name.substr(0, 200);
    return "." + kept + ".tarnwick-" + purpose + "-" + std::to_string(getpid()) + "-"
           + std::to_string(++counter);
}
