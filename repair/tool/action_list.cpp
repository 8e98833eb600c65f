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

bool isInsideAnSdk(const std::string &path, const std::string &sdkDirectory)
{
    if (!isCleanAbsolutePath(path) || path.size() <= sdkDirectory.size() + 1
        || path.compare(0, sdkDirectory.size(), sdkDirectory) != 0
        || path[sdkDirectory.size()] != '/')
        return false;
    // "<sdk>/<item>": at least one slash after the SDK's own name.
    return path.find('/', sdkDirectory.size() + 1) != std::string::npos;
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
        if (action.verb != "Copy") {
            for (const std::string *operand : {&action.first, &action.second}) {
                if (!operand->empty() && !isInsideAnSdk(*operand, sdkDirectory))
                    return refuse("not inside an SDK of " + quoted(sdkDirectory) + ": " + quoted(*operand));
            }
        }
        actions.push_back(std::move(action));
    }
    return actions;
}
