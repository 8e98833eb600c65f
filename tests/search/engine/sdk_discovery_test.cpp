#include "sdk_discovery.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

namespace fs = std::filesystem;

namespace {

std::pair<std::int64_t, std::int64_t> versionOf(const std::string &name)
{
    std::int64_t major = -1, minor = -1;
    sdkGetMajorNumMinorNum(name, major, minor);
    return {major, minor};
}

} // namespace

TEST(SdkDiscovery, NamesParseAsMajorAndMinor)
{
    const struct {
        const char *name;
        std::int64_t major, minor;
    } cases[] = {
        {"MacOSX10.14.sdk", 10, 14}, {"MacOSX10.9.sdk", 10, 9},    {"MacOSX11.0.sdk", 11, 0},
        {"MacOSX10.14.4.sdk", 10, 14}, {"MacOSX10.09.sdk", 10, 9}, {"MacOSX.sdk", 0, 0},
        {"MacOSX11.sdk", 0, 0},       {"MacOSX10.12.bak", 10, 12}, {"DriverKit19.0.sdk", 0, 0},
        {"SDK", 0, 0},                {"a.b", 0, 0},               {"", 0, 0},
        {"MacOSX10.14beta.sdk", 10, 14}, {"MacOSX 10. 7.sdk", 10, 7}, {"MacOSX-10.x10.sdk", -10, 0},
        {"\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9\xc3\xa9" "10.8.sdk", 10, 8},
        {"MacOSX99999999999999999999.1.sdk", std::numeric_limits<std::int64_t>::max(), 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(versionOf(c.name), std::make_pair(c.major, c.minor)) << c.name;
}

TEST(SdkDiscovery, ListIsInVersionOrderWithoutHiddenOrUnversionedNames)
{
    char pattern[] = "/tmp/scoutmark-sdks-XXXXXX";
    const std::string sdks = mkdtemp(pattern);
    EXPECT_TRUE(sortedSDKNums(sdks).empty()) << "an empty directory";
    for (const char *name : {"MacOSX10.13.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk", "MacOSX.sdk",
                             ".DS_Store", "MacOSX10.6.sdk", "MacOSX9.0.sdk", "MacOSX10.14.4.sdk",
                             "MacOSX11.1.sdk", ".MacOSX10.15.sdk"})
        fs::create_directories(sdks + "/" + name);
    fs::create_directory_symlink("MacOSX10.9.sdk", sdks + "/MacOSX10.10.sdk");
    EXPECT_EQ(sortedSDKNums(sdks),
              (std::vector<std::string>{"10.6", "10.9", "10.10", "10.13", "10.14", "10.14", "11.1"}));
    EXPECT_EQ(sdkNames(sdks).size(), 9u);
    EXPECT_EQ(sdkNumbersFromNames({}).size(), 0u);
    fs::remove_all(sdks);
}
