#include "action_list.h"

#include <optional>
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

constexpr std::string_view sdkExtension = ".sdk";

bool isNewSdkName(std::string_view path)
{
    return path.ends_with(sdkExtension);
}

// The entry of the SDK directory that a path inside an SDK lies beneath.
std::string_view sdkOf(const std::string &path, const std::string &sdkDirectory)
{
    const std::string_view below = std::string_view(path).substr(sdkDirectory.size() + 1);
    return below.substr(0, below.find('/'));
}

// Inside the SDK directory, beneath an entry named as an SDK.
bool isInsideAnSdk(const std::string &path, const std::string &sdkDirectory)
{
    return placeOf(path, sdkDirectory) == Place::insideAnSdk && isSdkName(sdkOf(path, sdkDirectory));
}

std::string notInsideAnSdk(const std::string &path, const std::string &sdkDirectory)
{
    return "not inside an SDK (\"MacOSX<version>.sdk\") of " + quoted(sdkDirectory) + ": " + quoted(path);
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
    const Place place = placeOf(action.second, sdkDirectory);
    if (place == Place::sdkEntry && !isNewSdkName(action.second))
        return "a new entry of " + quoted(sdkDirectory) + " must be named \"*.sdk\": "
               + quoted(action.second);
    if (place == Place::insideAnSdk && !isInsideAnSdk(action.second, sdkDirectory))
        return notInsideAnSdk(action.second, sdkDirectory);
    return {};
}

// The reason the operands of a Move are refused, or "": it moves items
// within SDKs only.
std::string moveFault(const Action &action, const std::string &sdkDirectory)
{
    for (const std::string *operand : {&action.first, &action.second}) {
        if (!isInsideAnSdk(*operand, sdkDirectory))
            return notInsideAnSdk(*operand, sdkDirectory);
    }
    if (isBelow(action.second, action.first))
        return "the destination lies inside its own source";
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

bool isSdkName(std::string_view name)
{
    static constexpr std::string_view prefix = "MacOSX";
    return name.size() > prefix.size() + sdkExtension.size() && name.starts_with(prefix)
           && name[prefix.size()] >= '1' && name[prefix.size()] <= '9' && name.ends_with(sdkExtension);
}

std::string sdkChangedBy(const Action &action, const std::string &sdkDirectory)
{
    const std::string &changed = action.verb == Verb::copy ? action.second : action.first;
    if (action.verb == Verb::undo || !isInsideAnSdk(changed, sdkDirectory))
        return {};
    const std::string_view sdk = sdkOf(changed, sdkDirectory);
    if (action.verb == Verb::move && sdkOf(action.second, sdkDirectory) != sdk)
        return {};
    return std::string(sdk);
}

std::variant<std::vector<Action>, Refusal>
validateActionList(const std::vector<std::string> &arguments, const std::string &sdkDirectory)
{
    if (arguments.size() % 3 != 0)
        return Refusal{describe(arguments.size() - arguments.size() % 3, arguments)
                       + ": incomplete, every action needs a verb and two operands"};

    std::vector<Action> actions;
    for (std::size_t i = 0; i < arguments.size(); i += 3) {
        const auto refuse = [&](const std::string &why) {
            return Refusal{describe(i, arguments) + ": " + why};
        };
        if (!isCleanAbsolutePath(arguments[i + 1]))
            return refuse("not a clean absolute path: " + quoted(arguments[i + 1]));
        const std::optional<Verb> verb = verbNamed(arguments[i]);
        if (!verb)
            return refuse("unknown verb");
        Action action{*verb, arguments[i + 1], arguments[i + 2]};
        switch (action.verb) {
        case Verb::undo:
            if (!action.second.empty())
                return refuse("\"Undo\" takes an empty second operand");
            if (placeOf(action.first, sdkDirectory) != Place::sdkEntry
                || !isSdkName(sdkOf(action.first, sdkDirectory)))
                return refuse("not an SDK (\"MacOSX<version>.sdk\") of " + quoted(sdkDirectory) + ": "
                              + quoted(action.first));
            break;
        case Verb::remove:
            if (!action.second.empty())
                return refuse("\"Remove\" takes an empty second operand");
            if (!isInsideAnSdk(action.first, sdkDirectory))
                return refuse(notInsideAnSdk(action.first, sdkDirectory));
            break;
        case Verb::copy:
        case Verb::move:
            if (!isCleanAbsolutePath(action.second))
                return refuse("not a clean absolute path: " + quoted(action.second));
            if (const std::string fault = action.verb == Verb::copy ? copyDestinationFault(action, sdkDirectory)
                                                                    : moveFault(action, sdkDirectory);
                !fault.empty())
                return refuse(fault);
            break;
        }
        actions.push_back(std::move(action));
    }
    return actions;
}
