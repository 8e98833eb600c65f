#pragma once

#include <string>
#include <variant>
#include <vector>

struct Action {
    std::string verb;   // "Copy", "Move" or "Remove"
    std::string first;  // absolute path
    std::string second; // absolute path, or "" for "Remove"
};

struct Refusal {
    std::string reason; // one line naming the first bad action
};

// Checks a whole action list before anything is done, so that a list with
// one bad action changes nothing at all. "Remove" and "Move" may only touch
// items inside an SDK of sdkDirectory; "Copy" may read and write anywhere,
// since exports leave the SDK directory and imports come from outside it.
std::variant<std::vector<Action>, Refusal>
validateActionList(const std::vector<std::string> &arguments, const std::string &sdkDirectory);

// True when path lies strictly below <sdkDirectory>/<some SDK>/.
bool isInsideAnSdk(const std::string &path, const std::string &sdkDirectory);

// The text in double quotes, with quotes, backslashes and control characters
// escaped, so that any operand fits on one line of a report.
std::string quoted(const std::string &text);
