#pragma once

#include "verb.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

struct Action {
    Verb verb;
    std::string first;  // absolute path
    std::string second; // absolute path, or "" for "Remove" and "Undo"
};

struct Refusal {
    std::string reason; // one line naming the first bad action
};

// Where a clean absolute path lies with respect to the SDK directory.
enum class Place {
    outside,      // not below the SDK directory (the directory itself included)
    sdkEntry,     // directly in the SDK directory: an SDK, or what would be one
    insideAnSdk,  // strictly below an entry of the SDK directory
};

Place placeOf(const std::string &path, const std::string &sdkDirectory);

// Whether an entry of the SDK directory is named as an SDK is: "MacOSX", a
// digit from 1 to 9, and ".sdk" at the end ("MacOSX10.9.sdk"). Only such an
// entry may have its contents changed.
bool isSdkName(std::string_view name);

// The SDK (its name) whose contents the action changes, or "" for one that
// changes none (export, import, "Undo"). Consecutive actions that change
// the same SDK make one group, done wholly or not at all.
std::string sdkChangedBy(const Action &action, const std::string &sdkDirectory);

// Checks a whole action list before anything is done, so that a list with
// one bad action changes nothing at all. Root's rights reach the SDK
// directory only, so that is where the rules are narrow: "Remove" and
// "Move" touch items inside an entry with an SDK name only; "Copy" writes
// into the SDK directory only inside such an entry (fix, restore) or as a
// new entry whose name ends in ".sdk" (import), and may write outside it
// (export), where Tool acts with the rights of the user who asked. No
// destination lies inside its own source. "Undo" names an SDK, an entry
// of the SDK directory with an SDK name, whose interrupted change is to be
// undone.
std::variant<std::vector<Action>, Refusal>
validateActionList(const std::vector<std::string> &arguments, const std::string &sdkDirectory);

// The text in double quotes, with quotes, backslashes and control characters
// escaped, so that any operand fits on one line of a report.
std::string quoted(const std::string &text);
