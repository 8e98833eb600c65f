#include "sdk_discovery.h"

#include <algorithm>
#include <dirent.h>
#include <limits>
#include <memory>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

std::int64_t integerValue(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && u_isUWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0; // grows towards the sign, so that min is reachable
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const int digit = text[i] - u'0';
        if (negative) {
            if (value < (min + digit) / 10)
                return min;
            value = value * 10 - digit;
        } else {
            if (value > (max - digit) / 10)
                return max;
            value = value * 10 + digit;
        }
    }
    return value;
}

std::vector<std::string> sdkNames(const std::string &sdkDirectory)
{
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR *)> folder(opendir(sdkDirectory.c_str()), closedir);
    if (!folder)
        return names;
    while (const dirent *entry = readdir(folder.get())) {
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    }
    return names;
}

void sdkGetMajorNumMinorNum(std::string_view sdk, std::int64_t &major, std::int64_t &minor)
{
    major = 0;
    minor = 0;
    // Characters are counted as UTF-16 units, as the names were meant.
    const icu::UnicodeString decoded = icu::UnicodeString::fromUTF8(
        icu::StringPiece(sdk.data(), static_cast<int32_t>(sdk.size())));
    std::u16string_view name(decoded.getBuffer(), static_cast<std::size_t>(decoded.length()));
    if (const auto dot = name.rfind(u'.'); dot != name.npos && dot > 0)
        name = name.substr(0, dot);
    if (name.size() < 6)
        return;
    name.remove_prefix(6);
    const auto firstDot = name.find(u'.');
    if (firstDot == name.npos)
        return;
    const std::u16string_view second = name.substr(firstDot + 1);
    major = integerValue(name.substr(0, firstDot));
    minor = integerValue(second.substr(0, second.find(u'.')));
}

std::vector<SdkVersion> sdkNumbersFromNames(const std::vector<std::string> &names)
{
    std::vector<SdkVersion> versions;
    versions.reserve(names.size());
    for (const std::string &name : names) {
        SdkVersion version;
        sdkGetMajorNumMinorNum(name, version.major, version.minor);
        versions.push_back(version);
    }
    return versions;
}

std::vector<std::string> sortedSDKNums(const std::string &sdkDirectory)
{
    std::vector<SdkVersion> versions = sdkNumbersFromNames(sdkNames(sdkDirectory));
    std::stable_sort(versions.begin(), versions.end(), [](const SdkVersion &a, const SdkVersion &b) {
        return a.major != b.major ? a.major < b.major : a.minor < b.minor;
    });
    std::vector<std::string> nums;
    for (const SdkVersion &version : versions) {
        if (version.major >= 10)
            nums.push_back(std::to_string(version.major) + "." + std::to_string(version.minor));
    }
    return nums;
}
