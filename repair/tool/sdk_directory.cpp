#include "sdk_directory.h"

#include "path_resolution.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Makes (folder, name) a folder of mode 0755, of root's where root makes
// it, and opens it; EEXIST: somebody made it meanwhile.
UniqueFd makeFolder(int folder, const std::string &name, Rights rights)
{
    if (mkdirat(folder, name.c_str(), 0700) != 0)
        return UniqueFd();
    UniqueFd made(openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (made && ((rights == Rights::root && fchown(made.get(), 0, 0) != 0) || fchmod(made.get(), 0755) != 0))
        made.reset();
    return made;
}

} // namespace

SdkDirectory::SdkDirectory(std::string path) : m_path(std::move(path))
{
    actAs(Rights::root);
    PathResolution found = resolveFromRoot(m_path);
    m_rootsAlone = found.error == 0 && found.rootsAlone;
    if (m_rootsAlone) {
        m_reached = std::move(found.folder);
        m_missing = std::move(found.missing);
    }
}

UniqueFd SdkDirectory::open(bool create)
{
    actAs(rights());
    return m_rootsAlone ? openAlongTheWay(create) : openAsTheUser(create);
}

// Every folder below the one reached must be root's alone too when it
// appears later: made by this run, or by another run of Tool meanwhile.
UniqueFd SdkDirectory::openAlongTheWay(bool create)
{
    while (!m_missing.empty()) {
        const std::string &name = m_missing.front();
        UniqueFd next(openat(m_reached.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!next && errno == ENOENT && create) {
            next = makeFolder(m_reached.get(), name, Rights::root);
            if (!next && errno == EEXIST)
                next.reset(openat(m_reached.get(), name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        }
        if (!next)
            return next;
        struct stat status;
        if (fstat(next.get(), &status) != 0)
            return UniqueFd();
        if (!S_ISDIR(status.st_mode) || !isRootsAlone(status)) {
            errno = S_ISDIR(status.st_mode) ? EPERM : ENOTDIR;
            return UniqueFd();
        }
        m_reached = std::move(next);
        m_missing.erase(m_missing.begin());
    }
    return UniqueFd(fcntl(m_reached.get(), F_DUPFD_CLOEXEC, 0));
}

// Links are followed as for any path the user gives.
UniqueFd SdkDirectory::openAsTheUser(bool create) const
{
    UniqueFd folder(::open(m_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder || errno != ENOENT || !create)
        return folder;
    folder.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (const std::string &name : pathComponents(m_path)) {
        if (!folder)
            break;
        UniqueFd next(openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next && errno == ENOENT) {
            next = makeFolder(folder.get(), name, rights());
            if (!next && errno == EEXIST) // made by a second run meanwhile
                next.reset(openat(folder.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
        folder = std::move(next);
    }
    return folder;
}
