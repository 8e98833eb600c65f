// The whole search, fast paths and all, against the slow and obvious way of
// doing what it promises, on a generated corpus: the same records in the
// same order for every kind of search.

#include "obvious_search.h"
#include "recording_sink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace fs = std::filesystem;

TEST(SearchEquivalence, FastSearchFindsWhatTheObviousOneFinds)
{
    // The SDK directory is a link, and one SDK folder a link that climbs out
    // of the real one.
    char pattern[] = "/tmp/scoutmark-equivalence-XXXXXX";
    const std::string base = mkdtemp(pattern);
    const std::string real = base + "/real/sdks";
    fs::create_directories(real);
    fs::create_directory_symlink("real/sdks", base + "/SDKs");
    const std::string sdks = base + "/SDKs";
    const std::vector<std::string> pieces = {
        "NSFoo", "nsfoo", "NSFOO", "// NSFoo", "/* NSFoo */", "/*", "*/", "//", "\n", "\r", " ", "int x;",
        "\xA7", "\xDE", "\xDF", "\x8E", "\x83", "STRASSE", "stra\xA7" "e", "file", "FILE", "caf\x8E", "Ns/* */Foo",
    };
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1), count(0, 40);
    const auto content = [&] {
        std::string text;
        for (std::size_t i = count(random); i > 0; --i)
            text += pieces[piece(random)];
        // Long enough, now and then, for the wide search and its tail.
        if (random() % 3 == 0)
            text = std::string(random() % 200, 'x') + text;
        return text;
    };
    for (const char *sdk : {"MacOSX10.9.sdk", "MacOSX10.13.sdk", "../other/Real.sdk"}) {
        for (int i = 0; i < 150; ++i) {
            const std::string folder = i % 3 == 0 ? "usr/include/sub" + std::to_string(i % 7)
                                     : i % 3 == 1 ? "System/Library/Frameworks/F" + std::to_string(i % 5) + ".framework/Versions/A/Headers"
                                                  : "System/Library/Frameworks/Tcl.framework/Headers";
            writeFile(sdks + "/" + sdk + "/" + folder + "/h" + std::to_string(i) + ".h", content());
        }
        // Only the last dot starts the extension.
        writeFile(sdks + "/" + sdk + "/usr/include/other.hpp", "NSFoo");
        writeFile(sdks + "/" + sdk + "/usr/include/sys.types.h", "NSFoo");
        writeFile(sdks + "/" + sdk + "/usr/include/sys.h.orig", "NSFoo");
        fs::create_symlink("sub0/h0.h", sdks + "/" + sdk + "/usr/include/link.h");
        // Names that are no headers, hidden folders, a skipped framework, and
        // links to folders, which are never entered.
        for (const char *odd : {"usr/include/upper.H", "usr/include/.h", ".hidden/hidden.h", "Python.framework/p.h"})
            writeFile(sdks + "/" + sdk + "/" + odd, "NSFoo");
        const std::string f0 = sdks + "/" + sdk + "/System/Library/Frameworks/F0.framework";
        fs::create_directory_symlink("A", f0 + "/Versions/Current");
        fs::create_directory_symlink("Versions/Current/Headers", f0 + "/Headers");
        fs::create_directory_symlink("include", sdks + "/" + sdk + "/usr/linked.h");
        fs::create_symlink("missing.h", sdks + "/" + sdk + "/usr/include/dangling.h");
    }
    fs::create_directory_symlink("../other/Real.sdk/", real + "/MacOSX10.14.sdk");
    const std::vector<std::string> nums = {"10.9", "10.13", "10.14", "10.9", "10.15"};

    // On the run's own thread, and on more threads than this machine may
    // have cores, which mixes up the order in which headers are decided.
    HeaderSearch inTurn(sdks, nums), inPipeline(sdks, nums);
    inTurn.setThreadCount(1);
    inPipeline.setThreadCount(5);
    int nonEmpty = 0;
    for (const char *needle : {"NSFoo", "nsfoo", "strasse", "fi", "file", "caf\xC3\xA9", "\xC3\x9F", "x;", "*/"}) {
        for (int flags = 0; flags < 4; ++flags) {
            for (const char *title : {"All", "10.13", "10.15"}) {
                const SearchRequest request{needle, title, bool(flags & 1), bool(flags & 2)};
                const std::vector<ResultRecord> expected = obviousSearch(sdks, nums, request);
                for (HeaderSearch *search : {&inTurn, &inPipeline}) {
                    RecordingSink sink;
                    EXPECT_FALSE(search->searchHeadersForString(request, sink)) << "not cancelled";
                    ASSERT_EQ(sink.records, expected)
                        << needle << " ignoreComments " << request.ignoreComments << " caseSensitive "
                        << request.caseSensitive << " in " << title << (search == &inTurn ? " in turn" : " in a pipeline");
                }
                nonEmpty += !expected.empty();
            }
        }
    }
    EXPECT_GT(nonEmpty, 40) << "the corpus exercises real matches";
    fs::remove_all(base);
}
