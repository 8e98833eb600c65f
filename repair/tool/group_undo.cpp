#include "group_undo.h"

#include "item_location.h"
#include "item_operations.h"
#include "tree_removal.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

Presence presenceOf(const std::string &path, SdkDirectory &sdkDirectory)
{
    Presence presence;
    ItemLocation item;
    if (const LocateFailure failure = locateItem(path, sdkDirectory, item)) {
        if (failure.cause != ENOENT)
            presence.error = failure.reason;
        return presence;
    }
    actAs(item.rights);
    if (fstatat(item.folder.get(), item.name.c_str(), &presence.status, AT_SYMLINK_NOFOLLOW) == 0)
        presence.stands = true;
    else if (errno != ENOENT)
        presence.error = reasonOf(errno);
    return presence;
}

namespace {

class NoProgress : public CopyProgress
{
public:
    void advance(std::uint64_t, std::uint64_t) override {}
};


std::string moveBack(const std::string &from, const std::string &to, SdkDirectory &sdkDirectory)
{
    const Presence source = presenceOf(from, sdkDirectory), destination = presenceOf(to, sdkDirectory);
    if (!source.error.empty() || !destination.error.empty())
        return source.error.empty() ? destination.error : source.error;
    if (!source.stands || destination.stands)
        return {}; // not moved, or already back
    NoProgress progress;
    return moveItem(from, to, sdkDirectory, progress);
}

std::string removeIfMade(const JournalStep &step, SdkDirectory &sdkDirectory)
{
    if (!step.made)
        return {};
    const Presence copy = presenceOf(step.second, sdkDirectory);
    if (!copy.error.empty())
        return copy.error;
    if (!copy.stands || copy.status.st_dev != step.made->first || copy.status.st_ino != step.made->second)
        return {}; // never placed, or not this run's
    return removeItem(step.second, sdkDirectory);
}

// Deletes the hidden work items of Tool beside path: ".<name>.tarnwick-*".
std::string sweepBeside(const std::string &path, SdkDirectory &sdkDirectory)
{
    ItemLocation item;
    if (locateItem(path, sdkDirectory, item))
        return {}; // no folder this run could have worked in
    actAs(item.rights);
    const int listing = openat(item.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return reasonOf(errno);
    DIR *folder = fdopendir(listing);
    if (!folder) {
        close(listing);
        return reasonOf(errno);
    }
    const std::string prefix = "." + item.name + ".tarnwick-";
    std::vector<std::string> names;
    while (const dirent *entry = readdir(folder)) {
        if (std::string_view(entry->d_name).starts_with(prefix))
            names.emplace_back(entry->d_name);
    }
    closedir(folder);
    for (const std::string &name : names) {
        if (std::string error = removeTree(item.folder.get(), name, item.rights); !error.empty())
            return error;
    }
    return {};
}

} // namespace

std::string deleteSetAside(const std::string &path, SdkDirectory &sdkDirectory)
{
    ItemLocation item;
    if (const LocateFailure failure = locateItem(path, sdkDirectory, item))
        return failure.cause == ENOENT ? std::string() : failure.reason;
    return removeTree(item.folder.get(), item.name, item.rights);
}

std::string undoSteps(const JournalContents &contents, SdkDirectory &sdkDirectory)
{
    if (contents.committed) {
        for (const JournalStep &step : contents.steps) {
            if (step.verb != Verb::remove)
                continue;
            if (std::string error = deleteSetAside(step.second, sdkDirectory); !error.empty())
                return "cannot delete " + step.second + ": " + error;
        }
        return {};
    }
    for (auto step = contents.steps.rbegin(); step != contents.steps.rend(); ++step) {
        const std::string error = step->verb == Verb::copy ? removeIfMade(*step, sdkDirectory)
                                                           : moveBack(step->second, step->first, sdkDirectory);
        if (!error.empty())
            return "cannot undo " + wordOf(step->verb) + " of " + step->first + ": " + error;
    }
    for (const JournalStep &step : contents.steps) {
        const std::string &made = step.verb == Verb::remove ? step.first : step.second;
        if (std::string error = sweepBeside(made, sdkDirectory); !error.empty())
            return "cannot delete what was left beside " + made + ": " + error;
    }
    return {};
}
