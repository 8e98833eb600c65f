// make-sample-sdks FOLDER: fills FOLDER with the realistic sample SDKs of the
// tests, 10.6 and 10.7 to 10.14, and MacOSX10.15.sdk as a link to 10.14, so
// that a first run of the applications has something to show.

#include "sample_sdks.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-sdks FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::filesystem::create_directories(folder);
    for (int minor = 6; minor <= 14; ++minor)
        makeSampleSdk(folder, "10." + std::to_string(minor));
    std::filesystem::create_directory_symlink("MacOSX10.14.sdk", folder + "/MacOSX10.15.sdk");
    return 0;
}
