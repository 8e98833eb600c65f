#pragma once

#include "file_identity.h"
#include "unique_fd.h"
#include "verb.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

// The record of one run's change to one SDK, so that a change cut short by
// a kill or a power loss can be found and undone.
//
// It lies beside the SDK, as "<SDK directory>/.<SDK name>.tarnwick-journal",
// belongs to the SDK's owner, mode 0644, and is held under an exclusive
// flock while its run lives: a journal that can be locked belongs to a run
// that is gone. Each line is written and synced, file and folder, as the
// run gets there; operands are quoted as in Tool's reports:
//
//   tarnwick-journal 1
//   Copy "<source>" "<destination>"    a step begins
//   Move "<from>" "<to>"
//   Remove "<path>" "<set-aside path>" renamed aside; deleted at the commit
//   made <device> <inode>              the Copy's result, before it takes its name
//   done                               the step begun last is complete
//   commit                             every step done: what is left is to
//                                      delete the set-aside items
//
// Without "commit" the change is undone backwards; with it, it is finished.
struct JournalStep {
    Verb verb; // never Verb::undo
    std::string first;
    std::string second;
    std::optional<std::pair<dev_t, ino_t>> made;
    bool done = false;
};

struct JournalContents {
    std::vector<JournalStep> steps;
    bool committed = false;
};

std::string journalName(const std::string &sdkName);

// The line that begins a step, without its end of line.
std::string stepLine(const JournalStep &step);

// The journal's text as the steps stood; nothing for a text Tool never wrote.
std::optional<JournalContents> parseJournal(std::string_view text);

class Journal
{
public:
    // Creates the journal of sdkName in the SDK directory exclusively and
    // locks it. Returns "" or why not.
    [[nodiscard]] std::string create(int sdkDirectory, const std::string &sdkName, Rights rights);
    // Opens and locks an existing journal and reads it. Returns "" or why
    // not; errorCode tells ENOENT (none) and EWOULDBLOCK (its run lives).
    [[nodiscard]] std::string open(int sdkDirectory, const std::string &sdkName, Rights rights,
                                   JournalContents &contents, int &errorCode);

    [[nodiscard]] std::string beginStep(const JournalStep &step);
    [[nodiscard]] std::string made(dev_t device, ino_t inode);
    [[nodiscard]] std::string stepDone();
    [[nodiscard]] std::string commit();
    // Deletes the journal: the change is complete or undone.
    [[nodiscard]] std::string remove();

private:
    std::string append(const std::string &line);

    UniqueFd m_folder; // the SDK directory, readable, so that it can be synced
    UniqueFd m_file;
    std::string m_name;
    Rights m_rights = Rights::root;
};
