#pragma once

#include "action_list.h"
#include "copy_progress.h"
#include "sdk_directory.h"

#include <cstddef>
#include <string>
#include <vector>

// How the actions of one SDK ended, as a whole.
struct GroupOutcome {
    enum Kind { done, unchanged, interrupted };
    Kind kind = done;
    std::size_t failedAt = 0; // the failed action's index in the list, when one failed
    std::string reason;       // why it failed; for interrupted, also why the undo failed
};

// Runs actions[first, last), which all change the SDK sdkName, so that the
// SDK ends fully changed or as it was: every source and destination is
// checked first, each step is written to the SDK's journal as it goes, and
// when one fails the steps done are undone, last first. A Remove sets its
// item aside, to be deleted only when every step is done. Undone or not,
// the journal is kept only when the undo failed (interrupted).
GroupOutcome runGroup(const std::vector<Action> &actions, std::size_t first, std::size_t last,
                      const std::string &sdkName, SdkDirectory &sdkDirectory, CopyProgress &progress);

// The "Undo" verb: puts the SDK back as its journal says, for a run that
// was cut short. No journal is nothing to do.
GroupOutcome undoChange(const std::string &sdkName, SdkDirectory &sdkDirectory);
