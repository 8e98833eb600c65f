#pragma once

#include "file_identity.h"
#include "sdk_directory.h"
#include "unique_fd.h"

#include <optional>
#include <string>
#include <sys/types.h>

// Who new items belong to.
struct Owner {
    uid_t uid = 0;
    gid_t gid = 0;
};

// An operand's folder, opened for *at calls, its last component, and the
// rights every operation on it uses. Acting on (folder, name) never
// follows a link in the name itself.
struct ItemLocation {
    UniqueFd folder;
    std::string name;
    Rights rights = Rights::root;
    // Where root's rights reach: the SDK directory's owner, for every item
    // created there. Elsewhere new items belong to whoever creates them:
    // the user.
    std::optional<Owner> owner;
};

// Why an operand could not be located: errno as the failing call left it,
// taken before anything else could change it, and the reason to report.
struct LocateFailure {
    int cause = 0;
    std::string reason;
    explicit operator bool() const { return cause != 0; }
};

// Opens the folder that holds path. Outside the SDK directory it is opened
// with the user's rights, as the user would; inside, with the rights the
// SDK directory grants (see SdkDirectory). Inside, a path below an SDK is
// resolved beneath that SDK (the path's first component below the SDK
// directory, itself followed only to a folder beneath the SDK directory
// other than the directory itself), so that no link inside one SDK reaches
// another SDK or the directory, whenever it was planted. With
// createSdkDirectory, a missing SDK directory is made first, with its
// missing parents.
[[nodiscard]] LocateFailure locateItem(const std::string &path, SdkDirectory &sdkDirectory,
                                       ItemLocation &location, bool createSdkDirectory = false);

// A hidden name beside an item, for work in progress that must never stand
// under the item's own name: ".<name>.tarnwick-<purpose>-<random>". Nobody
// can guess it ahead; creating it still has to be exclusive.
std::string temporaryName(const std::string &name, const char *purpose);

std::string reasonOf(int error);
