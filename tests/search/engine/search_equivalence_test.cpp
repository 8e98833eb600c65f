// The whole search, fast paths and all, against the slow and obvious way of
// doing what it promises, on a generated corpus: the same records in the
// same order for every kind of search.

#include "header_reader.h"
#include "match_stream.h"
#include "obvious_search.h"
#include "search_run.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/mman.h>

namespace fs = std::filesystem;

TEST(SearchEquivalence, FastSearchFindsWhatTheObviousOneFinds)
{
    // The SDK directory is a link, and one SDK folder a link that climbs out
    // of the real one.
    const TemporarySdks folder;
    const std::string real = folder.root + "/real/sdks", sdks = folder.root + "/linked";
    fs::create_directories(real);
    fs::create_directory_symlink("real/sdks", sdks);
    // Headers in Mac OS Roman, in UTF-8, and in both, which is no UTF-8.
    const std::vector<std::string> ascii = {
        "NSFoo", "nsfoo", "NSFOO", "// NSFoo", "/* NSFoo */", "/*", "*/", "//", "\n", "\r", " ", "int x;",
        "STRASSE", "file", "FILE", "Ns/* */Foo",
    };
    const std::vector<std::string> macRoman = {"\xA7", "\xDE", "\xDF", "\x8E", "\x83", "stra\xA7" "e", "caf\x8E", "\xA9"};
    const std::vector<std::string> utf8 = {
        "caf\xC3\xA9", "Lain\xC3\xA9", "Laine\xCC\x81", "\xC2\xA9 2016", "stra\xC3\x9F" "e", "\xEF\xAC\x81le",
        "NSFoo\xCC\x81", "\xE2\x80\xA8", "\xC2\x85", "// x\xE2\x80\xA8NSFoo",
    };
    std::mt19937 random(2026);
    std::uniform_int_distribution<std::size_t> count(0, 40);
    int kind = 0;
    const auto content = [&] {
        std::vector<std::string> pieces = ascii;
        if (++kind % 3 != 1)
            pieces.insert(pieces.end(), macRoman.begin(), macRoman.end());
        if (kind % 3 != 0)
            pieces.insert(pieces.end(), utf8.begin(), utf8.end());
        std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
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
    // The pipeline also reads every header ahead, as from a cold disk.
    HeaderSearch inTurn(sdks, nums), inPipeline(sdks, nums), readAhead(sdks, nums);
    inTurn.setThreadCount(1);
    inPipeline.setThreadCount(5);
    readAhead.setThreadCount(5);
    readAhead.setReadAhead(HeaderReadAhead::Mode::Always);
    int nonEmpty = 0;
    for (const char *needle : {"NSFoo", "nsfoo", "strasse", "fi", "file", "caf\xC3\xA9", "\xC3\x9F", "x;", "*/",
                               "Lain\xC3\xA9", "\xC2\xA9"}) {
        for (int flags = 0; flags < 4; ++flags) {
            for (const char *title : {"All", "10.13", "10.15"}) {
                const SearchRequest request{needle, title, bool(flags & 1), bool(flags & 2)};
                const std::vector<ResultRecord> expected = obviousSearch(sdks, nums, request);
                // The pipeline's headers opened where they are decided, and,
                // with too few descriptors to spare for that, by the walk.
                const char *const ways[] = {"in turn", "in a pipeline", "in a pipeline, few descriptors",
                                            "in a pipeline, read ahead"};
                for (const int way : {0, 1, 2, 3}) {
                    HeaderSearch &search = way == 0 ? inTurn : way == 3 ? readAhead : inPipeline;
                    const RecordingSink sink =
                        way == 2 ? searchedLeaving(64, search, request) : searched(search, request);
                    ASSERT_EQ(sink.records, expected)
                        << needle << " ignoreComments " << request.ignoreComments << " caseSensitive "
                        << request.caseSensitive << " in " << title << " " << ways[way];
                }
                nonEmpty += !expected.empty();
            }
        }
    }
    EXPECT_GT(nonEmpty, 40) << "the corpus exercises real matches";
}

// Headers larger than the reader's buffer, read in pieces, against the
// obvious decision on the whole header. What settles the decoding (a
// character beyond ASCII, a byte that is no UTF-8) and what makes a match
// stand just before, across and after the boundaries of the pieces, before
// and after each other: mostly with small pieces, which take little time,
// and a few of the search's own size.
TEST(SearchEquivalence, HeadersReadInPiecesAreDecidedAsWholeOnes)
{
    const std::vector<std::string> snippets = {
        "NSFoo", "nsfoo", "/*", "*/", "//", "\n", " ", "\xC3\xA9", "e\xCC\x81", "\xC2\xA9", "\xE2\x80\xA8", "\xFF",
        "\x8E", "\xA9", "\xC3\x9F",
    };
    const int file = memfd_create("header", MFD_CLOEXEC);
    ASSERT_GE(file, 0);
    std::mt19937 random(2829);
    std::uniform_int_distribution<std::size_t> pick(0, snippets.size() - 1), many(1, 4), near(0, 12);
    int utf8 = 0, macRoman = 0, matched = 0;
    for (const std::size_t piece : {std::size_t(4096), MatchStream::defaultWindow}) {
        for (int round = 0; round < (piece == 4096 ? 150 : 2); ++round) {
            std::string header;
            while (header.size() < piece * 2 + piece / 2)
                header += "int x;\n";
            // Near every boundary, and anywhere.
            for (const std::size_t around : {piece, 2 * piece, std::size_t(random() % header.size())}) {
                std::string snippet;
                for (std::size_t k = many(random); k > 0; --k)
                    snippet += snippets[pick(random)];
                header.replace(std::min(around - near(random), header.size() - snippet.size()), snippet.size(), snippet);
            }
            ASSERT_EQ(ftruncate(file, 0), 0);
            ASSERT_EQ(pwrite(file, header.data(), header.size(), 0), static_cast<ssize_t>(header.size()));
            (obviouslyUtf8(header) ? utf8 : macRoman) += 1;
            for (const char *needle : {"NSFoo", "\xC3\xA9", "e", "\xC2\xA9"}) {
                for (int flags = 0; flags < 4; ++flags) {
                    const SearchRequest request{needle, "All", bool(flags & 1), bool(flags & 2)};
                    HeaderMatcher matcher(needle, request.ignoreComments, request.caseSensitive);
                    HeaderReader reader(matcher, piece);
                    ASSERT_EQ(lseek(file, 0, SEEK_SET), 0);
                    const bool expected = obviousDecision(header, request);
                    ASSERT_EQ(reader.decide(file, [] { return false; }),
                              expected ? HeaderReader::Verdict::Match : HeaderReader::Verdict::NoMatch)
                        << needle << " ignoreComments " << request.ignoreComments << " caseSensitive "
                        << request.caseSensitive << " pieces of " << piece << " round " << round;
                    matched += expected;
                }
            }
        }
    }
    close(file);
    EXPECT_GT(utf8, 30);
    EXPECT_GT(macRoman, 30);
    EXPECT_GT(matched, 300);
}
