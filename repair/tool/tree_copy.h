#pragma once

#include <string>
#include <sys/stat.h>

// Who new items belong to. Root gives them the owner of the folder they are
// created in, so that an export into a user's folder belongs to that user.
struct Owner {
    uid_t uid = 0;
    gid_t gid = 0;
    bool apply = false;
};

// Copies the item (sourceFolder, sourceName), described by status, to the
// new name (targetFolder, targetName): folders with all their contents,
// symbolic links as links, permission bits and modification times kept.
// Returns an empty string or the reason, naming the item that failed by
// its place under shown, the source's path as the user gave it.
// On failure a partial copy may remain under targetName.
std::string copyTree(int sourceFolder, const std::string &sourceName, const struct stat &status,
                     int targetFolder, const std::string &targetName, const Owner &owner,
                     const std::string &shown);
