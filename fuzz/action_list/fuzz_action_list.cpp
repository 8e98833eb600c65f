// Any argument vector: the validation never crashes, accepts only what the
// rules allow, and refuses everything else.

#include "action_list.h"

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

bool insideAnSdk(const std::string &path)
{
    const std::string prefix = sdks + "/";
    if (!clean(path) || path.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string rest = path.substr(prefix.size());
    return rest.find('/') != std::string::npos; // "<sdk>/<item>..."
}

bool allowed(const std::vector<std::string> &a)
{
    if (a.size() % 3)
        return false;
    for (std::size_t i = 0; i < a.size(); i += 3) {
        const std::string &verb = a[i], &first = a[i + 1], &second = a[i + 2];
        if (verb == "Copy") {
            if (!clean(first) || !clean(second))
                return false;
        } else if (verb == "Move") {
            if (!insideAnSdk(first) || !insideAnSdk(second))
                return false;
        } else if (verb == "Remove") {
            if (!insideAnSdk(first) || !second.empty())
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
    if (accepted && std::get<std::vector<Action>>(result).size() * 3 != arguments.size())
        std::abort();
    if (!accepted && std::get<Refusal>(result).reason.find('\n') != std::string::npos)
        std::abort(); // a refusal is one line, whatever the operands hold
    return 0;
}
