#pragma once

#include "unique_fd.h"

#include <string>

// An operand's folder, opened for *at calls, and its last component. Acting
// on (folder, name) never follows a link in the name itself.
struct ItemLocation {
    UniqueFd folder;
    std::string name;
};

// Opens the folder that holds path. Below the SDK directory the folder is
// reached without ever leaving that directory: a symbolic link on the way
// that points outside makes this fail instead of being followed, whenever
// it was planted. Returns an empty string or the reason of the failure.
std::string locateItem(const std::string &path, const std::string &sdkDirectory,
                       ItemLocation &location);

// A hidden name beside an item, for work in progress that must never stand
// under the item's own name: ".<name>.tarnwick-<purpose>-<pid>-<n>".
std::string temporaryName(const std::string &name, const char *purpose);

std::string reasonOf(int error);
