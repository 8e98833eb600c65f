#include "path_resolution.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int maxLinks = 40; // as the kernel's own walk

// The target of the link opened as link, whose status was read.
bool readTarget(int link, const struct stat &status, std::string &target)
{
    std::vector<char> text(static_cast<std::size_t>(status.st_size) + 2);
    const ssize_t length = readlinkat(link, "", text.data(), text.size());
    if (length < 0)
        return false;
    if (static_cast<std::size_t>(length) >= text.size() - 1) {
        errno = EAGAIN; // changed while being read
        return false;
    }
    target.assign(text.data(), static_cast<std::size_t>(length));
    return true;
}

} // namespace

std::deque<std::string> pathComponents(std::string_view path)
{
    std::deque<std::string> components;
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view component = path.substr(0, slash);
        if (!component.empty() && component != ".")
            components.emplace_back(component);
        if (slash == std::string_view::npos)
            break;
        path = path.substr(slash + 1);
    }
    return components;
}

bool isRootsAlone(const struct stat &folder)
{
    return folder.st_uid == 0 && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

PathResolution resolveFromRoot(const std::string &path)
{
    PathResolution result;
    std::vector<UniqueFd> held;
    struct stat status;
    UniqueFd root(open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!root || fstat(root.get(), &status) != 0) {
        result.error = errno;
        return result;
    }
    result.rootsAlone = isRootsAlone(status);
    held.push_back(std::move(root));

    std::deque<std::string> rest = pathComponents(path);
    std::size_t fromLinks = 0; // how many of the first components of rest a link's target gave
    int followed = 0;
    while (!rest.empty()) {
        std::string component = std::move(rest.front());
        rest.pop_front();
        const bool ofALink = fromLinks > 0;
        fromLinks -= ofALink;
        if (component == "..") {
            if (held.size() > 1)
                held.pop_back();
            continue;
        }
        UniqueFd next(openat(held.back().get(), component.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!next && errno == ENOENT && !ofALink) {
            // Only the path's own names can be made, as "mkdir -p" would.
            result.missing.push_back(std::move(component));
            result.missing.insert(result.missing.end(), rest.begin(), rest.end());
            for (const std::string &name : result.missing)
                if (name == "..")
                    result.error = ENOENT;
            break;
        }
        if (!next || fstat(next.get(), &status) != 0) {
            result.error = errno;
            break;
        }
        if (S_ISLNK(status.st_mode)) {
            std::string target;
            if (++followed > maxLinks) {
                result.error = ELOOP;
                break;
            }
            if (!readTarget(next.get(), status, target)) {
                result.error = errno;
                break;
            }
            if (target.empty()) {
                result.error = ENOENT;
                break;
            }
            if (target.front() == '/')
                held.erase(held.begin() + 1, held.end());
            const std::deque<std::string> spliced = pathComponents(target);
            rest.insert(rest.begin(), spliced.begin(), spliced.end());
            fromLinks += spliced.size();
            continue;
        }
        if (!S_ISDIR(status.st_mode)) {
            result.error = ENOTDIR;
            break;
        }
        result.rootsAlone = result.rootsAlone && isRootsAlone(status);
        held.push_back(std::move(next));
    }
    result.folder = std::move(held.back());
    return result;
}
