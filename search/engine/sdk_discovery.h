#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A version read from an SDK name, MacOSX<Major>.<Minor>[.more].<ext>.
struct SdkVersion {
    std::int64_t major = 0;
    std::int64_t minor = 0;
};

// The names of the SDK directory's entries, hidden ones left out, in the
// order the directory gives them. A missing or unreadable folder has none.
std::vector<std::string> sdkNames(const std::string &sdkDirectory);

void sdkGetMajorNumMinorNum(std::string_view sdk, std::int64_t &major, std::int64_t &minor);

std::vector<SdkVersion> sdkNumbersFromNames(const std::vector<std::string> &names);

// The SDK list: "<major>.<minor>" of every SDK of macOS 10 and later, in
// ascending version order; equal versions stay, one entry each.
std::vector<std::string> sortedSDKNums(const std::string &sdkDirectory);

// Leading white space, an optional sign, decimal digits up to the first
// non-digit; 0 without digits; saturating beyond 64 bits.
std::int64_t integerValue(std::u16string_view text);
