// Any argument vector: the validation never crashes, accepts only what the
// rules allow, and refuses everything else.

#include "action_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::string sdks = "/X/SDKs";

bool clean(const std::string &path)
{
    if (path.empty() || path[0] != '/')
        return false;
    std::size_t start = 1;
    for (;;) {
        const std::size_t end = path.find('/', start);
        const std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

bool startsWith(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// "MacOSX", a digit 1-9, anything, ".sdk", with no character shared.
bool sdkName(const std::string &name)
{
    return name.size() >= 11 && startsWith(name, "MacOSX") && name[6] >= '1' && name[6] <= '9'
           && endsWith(name, ".sdk");
}

// Strictly below an entry of the SDK directory that bears an SDK's name.
bool insideAnSdk(const std::string &path)
{
    const std::string prefix = sdks + "/";
    if (!clean(path) || !startsWith(path, prefix))
        return false;
    const std::string rest = path.substr(prefix.size());
    const std::size_t slash = rest.find('/');
    return slash != std::string::npos && sdkName(rest.substr(0, slash)); // "<sdk>/<item>..."
}

// An entry of the SDK directory that bears an SDK's name: what an undo names.
bool anSdk(const std::string &path)
{
    const std::string prefix = sdks + "/";
    return clean(path) && startsWith(path, prefix) && path.find('/', prefix.size()) == std::string::npos
           && sdkName(path.substr(prefix.size()));
}

// Root writes inside an SDK, or a new entry "<name>.sdk" of the SDK
// directory, or anywhere outside the SDK directory (with the user's rights).
bool writableByCopy(const std::string &path)
{
    if (path == sdks || !startsWith(path, sdks + "/"))
        return path != sdks;
    if (path.find('/', sdks.size() + 1) != std::string::npos)
        return insideAnSdk(path);
    return endsWith(path, ".sdk");
}

bool withinItself(const std::string &source, const std::string &destination)
{
    return destination == source || startsWith(destination, source + "/");
}

bool allowed(const std::vector<std::string> &a)
{
    if (a.size() % 3)
        return false;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        const std::string &verb = a[i], &first = a[i + 1], &second = a[i + 2];
        if (verb == "Copy") {
            if (!clean(first) || !clean(second) || !writableByCopy(second) || withinItself(first, second))
                return false;
        } else if (verb == "Move") {
            if (!insideAnSdk(first) || !insideAnSdk(second) || (second != first && withinItself(first, second)))
                return false;
        } else if (verb == "Remove") {
            if (!insideAnSdk(first) || !second.empty())
                return false;
        } else if (verb == "Undo") {
            if (!anSdk(first) || !second.empty())
                return false;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

// Arguments are the input split at NUL bytes, as an argument vector is.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::string> arguments;
    std::string current;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (size)
        arguments.push_back(current);

    const auto result = validateActionList(arguments, sdks);
    const bool accepted = std::holds_alternative<std::vector<Action>>(result);
    if (accepted != allowed(arguments))
        std::abort();
    if (accepted) {
        const auto &actions = std::get<std::vector<Action>>(result);
        if (actions.size() * 3 != arguments.size())
            std::abort();
        for (std::size_t i = 0; i < actions.size(); ++i) {
            const Action &action = actions[i];
            if (wordOf(action.verb) != arguments[3 * i] || action.first != arguments[3 * i + 1]
                || action.second != arguments[3 * i + 2])
                std::abort(); // each action as its three arguments say
        }
    }
    if (!accepted && std::get<Refusal>(result).reason.find('\n') != std::string::npos)
        std::abort(); // a refusal is one line, whatever the operands hold
    return 0;
}
