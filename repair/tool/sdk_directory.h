#pragma once

#include "file_identity.h"
#include "unique_fd.h"

#include <string>
#include <vector>

// The SDK directory of one run, found once, before the first action.
//
// Root's rights reach beneath it only when the whole way there is root's
// alone: every folder from "/" to the directory itself, links followed, is
// owned by root and writable by nobody else. Whoever may change a folder
// on the way could otherwise put any folder of the system in the
// directory's place. Then the whole list is done with the rights of the
// user who asked, inside the SDK directory too.
class SdkDirectory
{
public:
    // Walks to path as root and judges the way.
    explicit SdkDirectory(std::string path);

    const std::string &path() const { return m_path; }

    // The rights every operation inside the directory uses.
    Rights rights() const { return m_rootsAlone || !actsForAnotherUser() ? Rights::root : Rights::user; }

    // Opens the directory. Where the way is root's alone, this is the very
    // folder the judging walk reached (or one made below it), never looked
    // up by its path again; otherwise it is looked up with the user's
    // rights, as the user would. With create, a missing directory is made
    // first, with its missing parents: root's and mode 0755 where root's
    // rights reach, the user's otherwise. Returns an invalid descriptor and
    // errno on failure.
    UniqueFd open(bool create);

private:
    UniqueFd openAlongTheWay(bool create);
    UniqueFd openAsTheUser(bool create) const;

    std::string m_path;
    bool m_rootsAlone = false;
    UniqueFd m_reached;                 // the directory, or its deepest existing parent
    std::vector<std::string> m_missing; // what is missing below m_reached
};
