#include "case_file.h"
#include "sdk_discovery.h"
#include "search_run.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(SdkDiscovery, NamesParseAsMajorAndMinor)
{
    for (const CaseFields &c : readCases("sdk_versions")) {
        std::int64_t major = -1, minor = -1;
        sdkGetMajorNumMinorNum(c.at(0), major, minor);
        EXPECT_EQ(major, std::stoll(c.at(1))) << c.at(0);
        EXPECT_EQ(minor, std::stoll(c.at(2))) << c.at(0);
    }
}

TEST(SdkDiscovery, ListIsInVersionOrderWithoutHiddenOrUnversionedNames)
{
    const TemporarySdks folder;
    const std::string &sdks = folder.sdks;
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
}
