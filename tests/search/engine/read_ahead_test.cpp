// Reading ahead from a cold disk: when it starts and stops, that a request
// whose open fails gives its place back, and that a search where io_uring
// is refused finds what it would find with it.

#include "header_read_ahead.h"
#include "header_search.h"
#include "obvious_search.h"
#include "recording_sink.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class ReadAheadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/scoutmark-read-ahead-XXXXXX";
        m_base = mkdtemp(pattern);
        writeFile(m_base + "/a.h", "int a;");
        m_folder = std::make_shared<const SharedFolder>(open(m_base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    void TearDown() override { fs::remove_all(m_base); }

    // How many of 32 headers queued are read ahead.
    int readAheadOf32(HeaderReadAhead &readAhead)
    {
        int taken = 0;
        for (int i = 0; i < 32; ++i)
            taken += readAhead.readAhead(m_folder, "a.h");
        return taken;
    }

    std::string m_base;
    std::shared_ptr<const SharedFolder> m_folder;
};

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

TEST_F(ReadAheadTest, StartsWhenProbesWaitOnTheDiskAndStopsWhenTheyNoLongerDo)
{
    HeaderReadAhead readAhead(HeaderReadAhead::Mode::WhenCold);
    if (!readAhead.available())
        GTEST_SKIP() << "io_uring is not available here";
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
}

TEST_F(ReadAheadTest, HeadersThatCannotBeOpenedGiveTheirPlacesBack)
{
    HeaderReadAhead readAhead(HeaderReadAhead::Mode::Always);
    if (!readAhead.available())
        GTEST_SKIP() << "io_uring is not available here";
    for (unsigned i = 0; i < 4 * HeaderReadAhead::depth; ++i)
        readAhead.readAhead(m_folder, "missing.h");
    // Every failed open posts its own completion and its linked ones';
    // a place lost to one would be lost for good.
    int taken = 0;
    for (int wait = 0; wait < 500 && taken < int(HeaderReadAhead::depth); ++wait) {
        std::this_thread::sleep_for(1ms);
        while (taken < int(HeaderReadAhead::depth) && readAhead.readAhead(m_folder, "a.h"))
            ++taken;
    }
    EXPECT_EQ(taken, int(HeaderReadAhead::depth));
    // Its end waits for those in flight, which it could not if any were lost.
}

TEST_F(ReadAheadTest, ASearchWhereIoUringIsRefusedFindsWhatItWouldFindWithIt)
{
    for (int i = 0; i < 40; ++i)
        writeFile(m_base + "/MacOSX10.9.sdk/usr/include/h" + std::to_string(i) + ".h", i % 3 ? "NSFoo" : "int x;");
    const SearchRequest request{"NSFoo", "All", false, true};
    const std::vector<ResultRecord> expected = obviousSearch(m_base, {"10.9"}, request);
    ASSERT_EQ(expected.size(), 26u);
    // The ring's kernel workers count as threads of this process: the
    // child is a fresh one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            refuseIoUring();
            if (HeaderReadAhead(HeaderReadAhead::Mode::Always).available())
                _exit(4);
            HeaderSearch search(m_base, {"10.9"});
            search.setThreadCount(3);
            search.setReadAhead(HeaderReadAhead::Mode::Always);
            RecordingSink sink;
            search.searchHeadersForString(request, sink);
            _exit(sink.records == expected ? 0 : 5);
        },
        ::testing::ExitedWithCode(0), "");
}
