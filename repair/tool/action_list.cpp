#include "action_list.h"

#include <string_view>

namespace {

// Absolute, and every component a real name: no "", "." or "..", which
// also rules out doubled and trailing slashes.
bool isCleanAbsolutePath(std::string_view path)
{
    if (path.empty() || path.front() != '/')
        return false;
    std::string_view rest = path.substr(1);
    for (;;) {
        const auto slash = rest.find('/');
        const std::string_view component = rest.substr(0, slash);
        if (component.empty() || component == "." || component == "..")
            return false;
        if (slash == std::string_view::npos)
            return true;
        rest = rest.substr(slash + 1);
    }
}

bool isBelow(const std::string &path, const std::string &folder)
{
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0
           && path[folder.size()] == '/';
}

bool isNewSdkName(const std::string &path)
{
    static const std::string_view extension = ".sdk";
    return path.size() >= extension.size()
           && path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}

std::string describe(std::size_t index, const std::vector<std::string> &arguments)
{
    std::string text = "action " + std::to_string(index / 3 + 1) + " (";
    for (std::size_t i = index; i < index + 3 && i < arguments.size(); ++i) {
        if (i > index)
            text += ' ';
        text += quoted(arguments[i]);
    }
    return text + ")";
}

// The reason a destination of a Copy is refused, or "".
std::string copyDestinationFault(const Action &action, const std::string &sdkDirectory)
{
    if (action.second == action.first || isBelow(action.second, action.first))
        return "the destination lies inside its own source";
    if (action.second == sdkDirectory)
        return "the destination is the SDK directory itself";
    if (placeOf(action.second, sdkDirectory) == Place::sdkEntry && !isNewSdkName(action.second))
        return "a new entry of " + quoted(sdkDirectory) + " must be named \"*.sdk\": "
               + quoted(action.second);
    return {};
}

} // namespace

std::string quoted(const std::string &text)
{
    static const char hex[] = "0123456789abcdef";
    std::string result = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            result += {'\\', c};
        else if (c == '\n')
            result += "\\n";
        else if (byte < 0x20 || byte == 0x7f)
            result += {'\\', 'x', hex[byte >> 4], hex[byte & 15]};
        else
            result += c;
    }
    return result + '"';
}

Place placeOf(const std::string &path, const std::string &sdkDirectory)
{
    if (!isBelow(path, sdkDirectory))
        return Place::outside;
    // "<sdk>/<item>": a slash after the entry's own name.
    return path.find('/', sdkDirectory.size() + 1) == std::string::npos ? Place::sdkEntry
                                                                          : Place::insideAnSdk;
}

std::variant<std::vector<Action>, Refusal>
validateActionList(const std::vector<std::string> &arguments, const std::string &sdkDirectory)
{
    if (arguments.size() % 3 != 0)
        return Refusal{describe(arguments.size() - arguments.size() % 3, arguments)
                       + ": incomplete, every action needs a verb and two operands"};

    std::vector<Action> actions;
    for (std::size_t i = 0; i < arguments.size(); i += 3) {
        Action action{arguments[i], arguments[i + 1], arguments[i + 2]};
        const auto refuse = [&](const std::string &why) {
            return Refusal{describe(i, arguments) + ": " + why};
        };
        const bool isRemove = action.verb == "Remove";
        if (!isRemove && action.verb != "Copy" && action.verb != "Move")
            return refuse("unknown verb");
        if (!isCleanAbsolutePath(action.first))
            return refuse("not a clean absolute path: " + quoted(action.first));
        if (isRemove && !action.second.empty())
            return refuse("\"Remove\" takes an empty second operand");
        if (!isRemove && !isCleanAbsolutePath(action.second))
            return refuse("not a clean absolute path: " + quoted(action.second));
        if (action.verb == "Copy") {
            if (const std::string fault = copyDestinationFault(action, sdkDirectory); !fault.empty())
                return refuse(fault);
        } else {
            for (const std::string *operand : {&action.first, &action.second}) {
                if (!operand->empty() && placeOf(*operand, sdkDirectory) != Place::insideAnSdk)
                    return refuse("not inside an SDK of " + quoted(sdkDirectory) + ": " + quoted(*operand));
            }
            if (isBelow(action.second, action.first))
                return refuse("the destination lies inside its own source");
        }
        actions.push_back(std::move(action));
    }
    return actions;
}
