#include "action_group.h"

#include "group_undo.h"
#include "item_location.h"
#include "item_operations.h"
#include "journal.h"
#include "test_pause.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>

namespace {

// Tells the journal the identity of a Copy's result before it takes its
// name, so that an undo removes that item and no other.
class JournalledProgress : public CopyProgress
{
public:
    JournalledProgress(CopyProgress &inner, Journal &journal, JournalStep &step)
        : m_inner(inner), m_journal(journal), m_step(step)
    {
    }
    void advance(std::uint64_t bytes, std::uint64_t items) override
    {
        m_inner.advance(bytes, items);
        if (items)
            killPointForTest();
    }
    void placing(dev_t device, ino_t inode) override
    {
        m_step.made = std::pair(device, inode);
        m_error = m_journal.made(device, inode);
    }
    const std::string &error() const { return m_error; }

private:
    CopyProgress &m_inner;
    Journal &m_journal;
    JournalStep &m_step;
    std::string m_error;
};

std::string parentOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

std::string nameOf(const std::string &path)
{
    return path.substr(path.rfind('/') + 1);
}

// The disk may have changed since Tarnwick looked: every source must stand
// and be readable, every destination free, as the steps before leave them.
// The reasons are those the action itself would give.
class GroupCheck
{
public:
    explicit GroupCheck(SdkDirectory &sdkDirectory) : m_sdks(sdkDirectory) {}

    std::string check(const Action &action)
    {
        if (action.verb == Verb::remove) {
            ItemLocation item;
            if (const LocateFailure failure = locateItem(action.first, m_sdks, item); failure && failure.cause != ENOENT)
                return failure.reason;
            m_planned[action.first] = false;
            return {};
        }
        if (std::string error = source(action.first); !error.empty())
            return error;
        const Look destination = look(action.second);
        if (!destination.reason.empty())
            return "destination folder: " + destination.reason;
        if (destination.stands)
            return "destination: " + reasonOf(EEXIST);
        if (action.verb == Verb::move)
            m_planned[action.first] = false;
        m_planned[action.second] = true;
        return {};
    }

private:
    struct Look {
        bool stands = false;
        bool planned = false; // made or moved there by a step before
        struct stat status {};
        std::string reason;   // why it cannot be told
    };

    Look look(const std::string &path)
    {
        Look result;
        for (std::string at = path; at.size() > m_sdks.path().size(); at = parentOf(at)) {
            if (const auto it = m_planned.find(at); it != m_planned.end()) {
                if (!it->second)
                    return result;
                if (at == path) {
                    result.stands = result.planned = true;
                    return result;
                }
                break; // inside a new item: the disk says what the step will find
            }
        }
        const Presence presence = presenceOf(path, m_sdks);
        result.stands = presence.stands;
        result.status = presence.status;
        result.reason = presence.error;
        return result;
    }

    std::string source(const std::string &path)
    {
        const Look found = look(path);
        if (!found.reason.empty())
            return "source: " + found.reason;
        if (!found.stands)
            return "source: " + reasonOf(ENOENT);
        if (found.planned)
            return {};
        // What its owner may not read would be copied unreadable to
        // whoever builds against the SDK: root's reading it proves nothing.
        const mode_t mode = found.status.st_mode;
        const bool isFolder = S_ISDIR(mode);
        if ((isFolder || S_ISREG(mode)) && (!(mode & S_IRUSR) || (isFolder && !(mode & S_IXUSR))))
            return "cannot read " + path + ": its owner may not read it";
        ItemLocation item;
        if (const LocateFailure failure = locateItem(path, m_sdks, item))
            return "source: " + failure.reason;
        actAs(item.rights);
        if (isFolder || S_ISREG(mode)) {
            const int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | (isFolder ? O_DIRECTORY : 0);
            const UniqueFd opened(openat(item.folder.get(), item.name.c_str(), flags));
            if (!opened)
                return "cannot read " + path + ": " + reasonOf(errno);
        }
        return {};
    }

    SdkDirectory &m_sdks;
    std::map<std::string, bool> m_planned; // what the steps before leave at a path
};

std::string performStep(JournalStep &step, Journal &journal, SdkDirectory &sdkDirectory, CopyProgress &progress)
{
    if (step.verb == Verb::remove) {
        struct stat status;
        ItemLocation item;
        if (const LocateFailure failure = locateItem(step.first, sdkDirectory, item))
            return failure.cause == ENOENT ? std::string() : failure.reason;
        actAs(item.rights);
        if (fstatat(item.folder.get(), item.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT ? std::string() : reasonOf(errno);
        actAs(item.rights);
        if (renameat2(item.folder.get(), item.name.c_str(), item.folder.get(), nameOf(step.second).c_str(),
                      RENAME_NOREPLACE)
            != 0)
            return reasonOf(errno);
        return {};
    }
    JournalledProgress journalled(progress, journal, step);
    const std::string error = step.verb == Verb::copy ? copyItem(step.first, step.second, sdkDirectory, journalled)
                                                      : moveItem(step.first, step.second, sdkDirectory, journalled);
    return error.empty() ? journalled.error() : error;
}

GroupOutcome unchanged(std::size_t at, std::string reason)
{
    return {GroupOutcome::unchanged, at, std::move(reason)};
}

} // namespace

GroupOutcome runGroup(const std::vector<Action> &actions, std::size_t first, std::size_t last,
                      const std::string &sdkName, SdkDirectory &sdkDirectory, CopyProgress &progress)
{
    GroupCheck check(sdkDirectory);
    for (std::size_t i = first; i < last; ++i) {
        if (std::string error = check.check(actions[i]); !error.empty())
            return unchanged(i, error);
    }
    const UniqueFd folder = sdkDirectory.open(false);
    if (!folder)
        return unchanged(first, "cannot open the SDK directory: " + reasonOf(errno));
    Journal journal;
    if (std::string error = journal.create(folder.get(), sdkName, sdkDirectory.rights()); !error.empty())
        return unchanged(first, error);

    JournalContents contents;
    for (std::size_t i = first; i < last; ++i) {
        const Action &action = actions[i];
        JournalStep &step = contents.steps.emplace_back(JournalStep{action.verb, action.first, action.second, {}, false});
        if (action.verb == Verb::remove)
            step.second = parentOf(action.first) + "/" + temporaryName(nameOf(action.first), "remove");
        std::string error = journal.beginStep(step);
        if (error.empty())
            error = failsForTest(i + 1) ? "failed as the test asked" : performStep(step, journal, sdkDirectory, progress);
        if (error.empty())
            error = journal.stepDone();
        if (error.empty())
            continue;
        if (std::string undoError = undoSteps(contents, sdkDirectory); !undoError.empty())
            return {GroupOutcome::interrupted, i, error + "; " + undoError};
        if (std::string removeError = journal.remove(); !removeError.empty())
            return {GroupOutcome::interrupted, i, error + "; " + removeError};
        return unchanged(i, error);
    }
    contents.committed = true;
    std::string error = journal.commit();
    if (error.empty())
        error = undoSteps(contents, sdkDirectory);
    if (error.empty())
        error = journal.remove();
    if (!error.empty())
        return {GroupOutcome::interrupted, last - 1, "changed, but " + error};
    return {};
}

GroupOutcome undoChange(const std::string &sdkName, SdkDirectory &sdkDirectory)
{
    const UniqueFd folder = sdkDirectory.open(false);
    if (!folder)
        return {GroupOutcome::interrupted, 0, "cannot open the SDK directory: " + reasonOf(errno)};
    Journal journal;
    JournalContents contents;
    int errorCode = 0;
    if (std::string error = journal.open(folder.get(), sdkName, sdkDirectory.rights(), contents, errorCode);
        !error.empty())
        return errorCode == ENOENT ? GroupOutcome{} : GroupOutcome{GroupOutcome::interrupted, 0, error};
    // Whoever owns the SDK may write its journal: it may name nothing but
    // items of that SDK, as a run of Tool writes it.
    const auto inTheSdk = [&](const std::string &path) {
        return sdkChangedBy(Action{Verb::remove, path, {}}, sdkDirectory.path()) == sdkName;
    };
    for (const JournalStep &step : contents.steps) {
        if ((step.verb != Verb::copy && !inTheSdk(step.first)) || !inTheSdk(step.second))
            return {GroupOutcome::interrupted, 0, "its journal names items outside the SDK"};
    }
    std::string error = undoSteps(contents, sdkDirectory);
    if (error.empty())
        error = journal.remove();
    if (!error.empty())
        return {GroupOutcome::interrupted, 0, error};
    return {};
}
