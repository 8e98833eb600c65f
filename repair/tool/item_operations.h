#pragma once

#include <string>

// The three verbs of an action list. None ever overwrites, and each returns
// an empty string on success or the system's reason of the failure.

// Copies source to destination under a hidden temporary name beside it and
// renames the finished copy into place, so that a failed or interrupted copy
// never leaves an item under the destination's name.
std::string copyItem(const std::string &source, const std::string &destination,
                     const std::string &sdkDirectory);

// Renames; across file systems, copies as above and then removes the source.
std::string moveItem(const std::string &source, const std::string &destination,
                     const std::string &sdkDirectory);

// Renames the item aside first, then deletes it without following links.
// Nothing at path counts as success.
std::string removeItem(const std::string &path, const std::string &sdkDirectory);
