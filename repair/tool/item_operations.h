#pragma once

#include "copy_progress.h"
#include "sdk_directory.h"

#include <string>

// The three verbs of an action list. None ever overwrites, and each returns
// an empty string on success or the system's reason of the failure.

// Copies source to destination (see copyTree). An import, a new "*.sdk"
// entry of the SDK directory, first makes a missing SDK directory.
[[nodiscard]] std::string copyItem(const std::string &source, const std::string &destination,
                     SdkDirectory &sdkDirectory, CopyProgress &progress);

// Renames; across file systems, copies as above and then removes the source.
[[nodiscard]] std::string moveItem(const std::string &source, const std::string &destination,
                     SdkDirectory &sdkDirectory, CopyProgress &progress);

// Renames the item aside first, then deletes it without following links.
// Nothing at path counts as success.
[[nodiscard]] std::string removeItem(const std::string &path, SdkDirectory &sdkDirectory);

// Adds what copyItem would copy from source.
void addCopySize(const std::string &source, SdkDirectory &sdkDirectory, CopyTotals &totals);
