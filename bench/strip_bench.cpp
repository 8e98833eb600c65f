// scoutmark-strip-bench: comment stripping on a pathological header of
// about 4 MB holding 200,000 comments of both kinds.

#include "comment_stripping.h"

#include <chrono>
#include <cstdio>
#include <string>

int main()
{
    std::string header;
    for (int i = 0; i < 100000; ++i)
        header += "int a; // line comment\n/* block */ int b; /* x */";
    while (header.size() < 4 * 1024 * 1024)
        header += "int filler;\n";

    const auto start = std::chrono::steady_clock::now();
    std::string blocks;
    comments::removeComments<char>(header, blocks);
    const std::u16string wide(header.begin(), header.end());
    std::u16string wideResult;
    comments::removeComments<char16_t>(wide, wideResult);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("bytes %zu comments 300000 stripped-to %zu (utf16 %zu) milliseconds %.1f\n",
                header.size(), blocks.size(), wideResult.size(), elapsed.count());
    return blocks.size() == wideResult.size() ? 0 : 1;
}
