#pragma once

#include "journal.h"
#include "sdk_directory.h"

#include <string>

#include <string>
#include <sys/stat.h>

// Whether an item stands at path; errno's reason when that cannot be told.
struct Presence {
    bool stands = false;
    struct stat status {};
    std::string error;
};

Presence presenceOf(const std::string &path, SdkDirectory &sdkDirectory);


// Puts an SDK back as it was before the steps of its journal, last step
// first: a Move moved back, a Copy's result removed when it is the very
// item the run made, a set-aside item brought back; then the hidden work
// items of those steps are deleted. A committed journal is finished
// instead: its set-aside items are deleted. Each step looks at what the
// disk holds, so an undo cut short can simply be run again. Returns "" or
// the reason.
[[nodiscard]] std::string undoSteps(const JournalContents &contents, SdkDirectory &sdkDirectory);

// Deletes a set-aside item for good.
[[nodiscard]] std::string deleteSetAside(const std::string &path, SdkDirectory &sdkDirectory);
