// Reading headers in batches: what a batch takes whole and what it leaves
// to the usual read, and that a search through batches finds what the
// obvious search finds where a header's length or its pages in memory could
// mislead it.

#include "header_batch.h"
#include "header_search.h"
#include "obvious_search.h"
#include "search_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class HeaderBatchTest : public ::testing::Test, protected TemporarySdks
{
protected:
    void SetUp() override
    {
        fs::create_directories(sdks + "/include");
        m_folder = open((sdks + "/include").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    void TearDown() override { close(m_folder); }

    std::string path(const std::string &name) const { return sdks + "/include/" + name; }

    int m_folder = -1;
};

// Only the first page of the file in memory, as after a read of a few bytes
// that read nothing ahead; false where that cannot be made.
bool onlyFirstPageCached(const std::string &path)
{
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char byte;
    const bool made = file >= 0 && fsync(file) == 0 && posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED) == 0
                      && posix_fadvise(file, 0, 0, POSIX_FADV_RANDOM) == 0 && pread(file, &byte, 1, 0) == 1;
    if (file >= 0)
        close(file);
    return made;
}

} // namespace

TEST_F(HeaderBatchTest, TakesWholeOnlyWhatItReadToItsEnd)
{
    HeaderBatch batch;
    if (!batch.available())
        GTEST_SKIP() << "io_uring is not available here";
    const std::string odd(4097, 'o');
    writeFile(path("small.h"), "int a;");
    writeFile(path("odd.h"), odd);
    writeFile(path("empty.h"), "");
    writeFile(path("page.h"), std::string(4096, 'p')); // may have been cut at a page
    writeFile(path("large.h"), std::string(HeaderBatch::bufferSize + 10, 'l'));
    ASSERT_EQ(mkfifo(path("fifo.h").c_str(), 0644), 0);
    fs::create_directory(path("folder.h"));
    const std::vector<std::string> names = {"small.h", "odd.h", "empty.h", "page.h", "large.h", "fifo.h",
                                            "folder.h", "missing.h"};
    std::vector<HeaderBatch::Request> requests;
    for (const std::string &name : names)
        requests.push_back({m_folder, name.c_str()});
    // Round after round in the same places: each closes what it opened.
    for (unsigned round = 0; round < 3 * HeaderBatch::size; ++round) {
        batch.read(requests);
        ASSERT_TRUE(batch.available());
        EXPECT_EQ(batch.contents(0), std::optional<std::string_view>("int a;"));
        EXPECT_EQ(batch.contents(1), std::optional<std::string_view>(odd));
        for (unsigned i = 2; i < names.size(); ++i)
            EXPECT_FALSE(batch.contents(i)) << names[i] << " is left to the usual read";
        for (unsigned i = 0; i < names.size(); ++i)
            EXPECT_FALSE(batch.uncached(i)) << names[i];
    }
    EXPECT_FALSE(batch.contents(static_cast<unsigned>(names.size()))) << "beyond the last read";

    // A read that finds a page missing ends short, at that page.
    const std::string partly(3 * 4096 + 100, 'x');
    writeFile(path("partly.h"), partly);
    if (!onlyFirstPageCached(path("partly.h")))
        GTEST_SKIP() << "the page cache keeps this file";
    const HeaderBatch::Request request{m_folder, "partly.h"};
    batch.read({&request, 1});
    EXPECT_FALSE(batch.contents(0)) << "its first page only";
}

// A file system kept in memory refuses reads that must not wait: a batch
// of them turns the batch off, and so the search reads as it always has.
TEST_F(HeaderBatchTest, AFileSystemThatRefusesReadsThatMustNotWaitTurnsItOff)
{
    HeaderBatch batch;
    if (!batch.available())
        GTEST_SKIP() << "io_uring is not available here";
    char folderName[] = "/dev/shm/scoutmark-batch-XXXXXX";
    if (!mkdtemp(folderName))
        GTEST_SKIP() << "no /dev/shm here";
    writeFile(std::string(folderName) + "/a.h", "int a;");
    const int folder = open(folderName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<HeaderBatch::Request> requests(HeaderBatch::size - 1, {folder, "a.h"});
    batch.read(requests);
    const bool refused = !batch.contents(0);
    if (refused) {
        EXPECT_TRUE(batch.available()) << "a few refusals may be pipes";
        batch.read({requests.data(), 1});
        EXPECT_FALSE(batch.available());
    }
    close(folder);
    fs::remove_all(folderName);
    if (!refused)
        GTEST_SKIP() << "this kernel reads memory without waiting";
}

TEST_F(HeaderBatchTest, ASearchThroughBatchesFindsWhatTheObviousSearchFinds)
{
    // The needle at the very end, which a header cut short would lose; and
    // lengths around a page and around the buffer.
    const std::size_t lengths[] = {0, 1, 4095, 4096, 4097, 8192, HeaderBatch::bufferSize - 1,
                                   HeaderBatch::bufferSize, HeaderBatch::bufferSize + 1, 300000};
    for (const std::size_t length : lengths) {
        for (const bool withNeedle : {true, false}) {
            std::string text(length, ' ');
            if (withNeedle && length >= needle.size())
                text.replace(length - needle.size(), needle.size(), needle);
            header("MacOSX10.9.sdk/usr/include/n" + std::to_string(length) + (withNeedle ? "y" : "n") + ".h", text);
        }
    }
    for (int i = 0; i < 100; ++i)
        header("MacOSX10.9.sdk/usr/include/many/h" + std::to_string(i) + ".h", i % 3 ? "int x;" : "int " + needle + ";");
    const std::string partly = sdks + "/MacOSX10.9.sdk/usr/include/partly.h";
    writeFile(partly, std::string(3 * 4096, ' ') + needle);
    const std::vector<ResultRecord> expected = obviousSearch(sdks, {"10.9"}, needleRequest);
    ASSERT_EQ(expected.size(), 34u + 8u + 1u);
    // A FIFO named like a header, which the obvious search would wait on.
    ASSERT_EQ(mkfifo((sdks + "/MacOSX10.9.sdk/usr/include/fifo.h").c_str(), 0644), 0);
    HeaderSearch search(sdks, {"10.9"});
    search.setThreadCount(3);
    EXPECT_EQ(searched(search).records, expected);
    if (onlyFirstPageCached(partly)) {
        EXPECT_EQ(searched(search).records, expected) << "a header partly in memory";
    }
}
