// Reading ahead from a cold disk: when it starts and stops, that every
// request gives its place back, that a search from a cold cache reads ahead
// and finds what it would without, and that one where io_uring is refused
// finds it too.

#include "folder_prefetch.h"
#include "header_read_ahead.h"
#include "header_search.h"
#include "obvious_search.h"
#include "search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/inotify.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class ReadAheadTest : public ::testing::Test, protected TemporarySdks
{
protected:
    void SetUp() override
    {
        header("a.h", "int a;");
        m_folder = std::make_shared<const SharedFolder>(open(sdks.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }

    // How many of 32 headers queued are read ahead.
    int readAheadOf32(HeaderReadAhead &readAhead)
    {
        int taken = 0;
        for (int i = 0; i < 32; ++i)
            taken += readAhead.readAhead(m_folder, "a.h");
        return taken;
    }

    std::shared_ptr<const SharedFolder> m_folder;
};

bool ioUringWorks(const std::shared_ptr<const SharedFolder> &folder)
{
    return HeaderReadAhead(HeaderReadAhead::Mode::Always).readAhead(folder, "a.h");
}

// Takes the files below a folder out of the page cache; false when some of
// them stay, as on a file system kept in memory.
bool evicted(const std::string &folder)
{
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const int file = open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        const auto size = static_cast<std::size_t>(entry.file_size());
        bool gone = file >= 0 && fsync(file) == 0 && posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED) == 0;
        void *pages = gone && size > 0 ? mmap(nullptr, size, PROT_READ, MAP_SHARED, file, 0) : MAP_FAILED;
        if (pages != MAP_FAILED) {
            std::vector<unsigned char> resident((size + 4095) / 4096);
            gone = mincore(pages, size, resident.data()) == 0
                   && std::none_of(resident.begin(), resident.end(), [](unsigned char page) { return page & 1; });
            munmap(pages, size);
        }
        if (file >= 0)
            close(file);
        if (!gone)
            return false;
    }
    return true;
}

// Refuses io_uring_setup to this process and its threads from now on.
void refuseIoUring()
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_io_uring_setup, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0)
        _exit(3);
}

} // namespace

TEST_F(ReadAheadTest, StartsWhenProbesWaitOnTheDiskStopsWhenTheyNoLongerDoAndLosesNoPlace)
{
    if (!ioUringWorks(m_folder))
        GTEST_SKIP() << "io_uring is not available here";
    HeaderReadAhead readAhead(HeaderReadAhead::Mode::WhenCold);
    EXPECT_EQ(readAheadOf32(readAhead), 0) << "warm until a probe shows otherwise";
    readAhead.reportRead(1ms);
    EXPECT_EQ(readAheadOf32(readAhead), 0) << "one slow read is no cold disk";
    readAhead.reportRead(200us);
    const int cold = readAheadOf32(readAhead);
    EXPECT_GE(cold, 28) << "all but the probes, less any a busy ring turns away";
    EXPECT_LE(cold, 30) << "one header in 16 stays a probe";
    for (int i = 0; i < 3; ++i)
        readAhead.reportRead(5us);
    EXPECT_EQ(readAheadOf32(readAhead), 0) << "warm again";

    HeaderReadAhead never(HeaderReadAhead::Mode::Never);
    never.reportRead(1ms);
    never.reportRead(1ms);
    EXPECT_FALSE(never.available());
    EXPECT_EQ(readAheadOf32(never), 0);

    // Every request posts its completion, also those of a chain whose open
    // failed: a place lost to one is lost for good, and after some hundreds
    // of headers none would be left.
    HeaderReadAhead always(HeaderReadAhead::Mode::Always);
    for (unsigned i = 0; i < 4 * HeaderReadAhead::depth; ++i)
        always.readAhead(m_folder, "missing.h");
    unsigned taken = 0;
    for (int wait = 0; wait < 5000 && taken < 4 * HeaderReadAhead::depth; ++wait) {
        while (taken < 4 * HeaderReadAhead::depth && always.readAhead(m_folder, "a.h"))
            ++taken;
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(taken, 4 * HeaderReadAhead::depth) << "every header gave its place back";
    // Its end waits for those in flight, which it could not if any were lost.
}

TEST_F(ReadAheadTest, ASearchFromAColdCacheReadsAheadAndFindsTheSame)
{
    if (!ioUringWorks(m_folder))
        GTEST_SKIP() << "io_uring is not available here";
    const std::string filler(8000, 'x');
    for (int i = 0; i < 600; ++i)
        writeFile(sdks + "/MacOSX10.9.sdk/usr/include/sub" + std::to_string(i % 6) + "/h" + std::to_string(i) + ".h",
                  filler + (i % 7 ? "" : " NSFoo"));
    const SearchRequest request{"NSFoo", "All", false, true};
    const std::vector<ResultRecord> expected = obviousSearch(sdks, {"10.9"}, request);
    ASSERT_EQ(expected.size(), 86u);
    // A FIFO named like a header is never opened ahead: that would let a
    // writer waiting for a reader go on. The search itself does not wait.
    ASSERT_EQ(mkfifo((sdks + "/MacOSX10.9.sdk/usr/include/fifo.h").c_str(), 0644), 0);
    HeaderSearch search(sdks, {"10.9"});
    search.setThreadCount(2);
    if (!evicted(sdks + "/MacOSX10.9.sdk"))
        GTEST_SKIP() << "the page cache keeps these files";
    EXPECT_EQ(searched(search, request).records, expected);
    // Once the folders are listed ahead, their headers are asked for there
    // too, and the probes may find them in memory.
    EXPECT_GT(search.headersReadAhead() + search.headersPrefetched(), 300u)
        << "all but the first probes and every sixteenth";

    // Warm, a few slow reads on a busy machine may start it, and the next
    // probes stop it.
    const std::uint64_t readAheadCold = search.headersReadAhead();
    EXPECT_EQ(searched(search, request).records, expected);
    EXPECT_LT(search.headersReadAhead() - readAheadCold, 150u);
}

TEST_F(ReadAheadTest, ASearchWhereIoUringIsRefusedFindsWhatItWouldFindWithIt)
{
    for (int i = 0; i < 40; ++i)
        writeFile(sdks + "/MacOSX10.9.sdk/usr/include/h" + std::to_string(i) + ".h", i % 3 ? "NSFoo" : "int x;");
    const SearchRequest request{"NSFoo", "All", false, true};
    const std::vector<ResultRecord> expected = obviousSearch(sdks, {"10.9"}, request);
    ASSERT_EQ(expected.size(), 26u);
    // The ring's kernel workers count as threads of this process: the
    // child is a fresh one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            refuseIoUring();
            HeaderReadAhead refused(HeaderReadAhead::Mode::Always);
            if (refused.readAhead(m_folder, "a.h") || refused.available())
                _exit(4);
            HeaderSearch search(sdks, {"10.9"});
            search.setThreadCount(3);
            search.setReadAhead(HeaderReadAhead::Mode::Always);
            const bool same = searched(search, request).records == expected && search.headersReadAhead() == 0;
            fs::remove_all(root); // the child's own tree, which _exit would leave behind
            _exit(same ? 0 : 5);
        },
        ::testing::ExitedWithCode(0), "");
}

// Whether every page of a file is in the page cache.
bool resident(const std::string &path)
{
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const auto size = static_cast<std::size_t>(fs::file_size(path));
    void *pages = mmap(nullptr, size, PROT_READ, MAP_SHARED, file, 0);
    close(file);
    std::vector<unsigned char> held((size + 4095) / 4096);
    const bool all = pages != MAP_FAILED && mincore(pages, size, held.data()) == 0
                     && std::all_of(held.begin(), held.end(), [](unsigned char page) { return page & 1; });
    if (pages != MAP_FAILED)
        munmap(pages, size);
    return all;
}

// Listed ahead: every folder the walk enters, from each root, a root that
// is a link too, and none through a link inside or in a skipped framework;
// read ahead: the headers in them, but never a FIFO.
TEST_F(ReadAheadTest, FoldersListedAheadAreThoseTheWalkEntersAndTheirHeadersAreRead)
{
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    for (const char *folder : {"/a/b/c", "/a/d", "/Kept.framework/z", "/Skip.framework/x/y"})
        fs::create_directories(sdk + folder);
    fs::create_directories(root + "/outside/p/q");
    fs::create_directory_symlink(root + "/outside", sdk + "/a/link");
    fs::create_directory_symlink(sdk, sdks + "/MacOSX10.8.sdk");
    writeFile(sdk + "/a/d/big.h", std::string(256 * 1024, 'x'));
    const bool cold = evicted(sdk + "/a/d");
    // Opening a FIFO would let a writer waiting for a reader go on.
    const std::string fifo = sdk + "/a/fifo.h";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int opens = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(opens, fifo.c_str(), IN_OPEN), 0);

    FolderPrefetch prefetch({sdk, sdks + "/MacOSX10.8.sdk", sdks + "/MacOSX10.7.sdk"}, {"Skip.framework"});
    prefetch.start();
    constexpr std::uint64_t entered = 2 * 7; // the SDK, a, b, c, d, Kept.framework and z, by either root
    for (int wait = 0; wait < 1000 && prefetch.foldersListed() < entered; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(prefetch.foldersListed(), entered);
    if (cold) {
        EXPECT_TRUE(resident(sdk + "/a/d/big.h"));
    }
    char event[sizeof(inotify_event) + NAME_MAX + 1];
    EXPECT_LT(read(opens, event, sizeof event), 0) << "the FIFO was opened";
    close(opens);
}

// A busy machine holds the walk's listings up as a cold disk does, but
// leaves the headers in memory: the folders are listed ahead only when the
// headers the walk reaches next are out of memory too, two in a row.
TEST_F(ReadAheadTest, FoldersAreListedAheadOnlyWhenTheHeadersReachedAreOutOfMemoryToo)
{
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    fs::create_directories(sdk + "/a");
    constexpr int headers = 8;
    for (int i = 0; i < headers; ++i)
        writeFile(sdk + "/a/h" + std::to_string(i) + ".h", "int h;");
    const auto name = [](int i) { return "h" + std::to_string(i) + ".h"; };
    const int folder = open((sdk + "/a").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    FolderPrefetch prefetch({sdk}, {});
    const auto slowListings = [&prefetch] {
        for (int i = 0; i < 3; ++i)
            prefetch.folderListed(1ms);
    };

    slowListings();
    prefetch.headerReached(folder, "missing.h"); // tells nothing
    prefetch.headerReached(folder, name(0).c_str()); // just written
    EXPECT_FALSE(prefetch.started()) << "a warm header outweighs slow listings";
    if (!evicted(sdk + "/a")) {
        close(folder);
        GTEST_SKIP() << "this file system keeps its files in memory";
    }
    prefetch.headerReached(folder, name(0).c_str());
    prefetch.headerReached(folder, name(1).c_str());
    EXPECT_FALSE(prefetch.started()) << "the listings started over with the warm header";
    // Each try from a fresh eviction: a disk fast enough may bring a
    // header in before the kernel answers, which counts as warm.
    for (int pair = 1; pair < headers / 2 && !prefetch.started(); ++pair) {
        ASSERT_TRUE(evicted(sdk + "/a"));
        slowListings();
        prefetch.headerReached(folder, name(2 * pair).c_str());
        ASSERT_FALSE(prefetch.started()) << "one header out of memory is not yet a cold disk";
        prefetch.headerReached(folder, name(2 * pair + 1).c_str());
    }
    EXPECT_TRUE(prefetch.started());
    close(folder);
}

// A file system kept in memory refuses the read that must not wait; its
// headers are in memory all the same.
TEST_F(ReadAheadTest, HeadersOnAFileSystemKeptInMemoryAreNeverOutOfIt)
{
    char folderName[] = "/dev/shm/scoutmark-prefetch-XXXXXX";
    if (!mkdtemp(folderName))
        GTEST_SKIP() << "no /dev/shm here";
    const std::string folderPath = folderName;
    writeFile(folderPath + "/one.h", "int one;");
    writeFile(folderPath + "/two.h", "int two;");
    const int folder = open(folderName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FolderPrefetch prefetch({folderPath}, {});
    for (int i = 0; i < 3; ++i)
        prefetch.folderListed(1ms);
    prefetch.headerReached(folder, "one.h");
    prefetch.headerReached(folder, "two.h");
    EXPECT_FALSE(prefetch.started());
    close(folder);
    fs::remove_all(folderPath);
}
