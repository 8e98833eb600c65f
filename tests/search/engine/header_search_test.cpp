#include "obvious_search.h"
#include "search_run.h"
#include "sdk_discovery.h"
#include "search_threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sched.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The parameter: how many threads decide the headers.
class HeaderSearchTest : public testing::TestWithParam<std::size_t>, protected TemporarySdks
{
protected:
    HeaderSearch search(std::vector<std::string> nums)
    {
        HeaderSearch result(sdks, std::move(nums));
        result.setThreadCount(GetParam());
        return result;
    }

    void makeFramework(const std::string &path)
    {
        header(path + "/Versions/A/Headers/" + fs::path(path).stem().string() + ".h");
        fs::create_directory_symlink("A", sdks + "/" + path + "/Versions/Current");
        fs::create_directory_symlink("Versions/Current/Headers", sdks + "/" + path + "/Headers");
    }

    void makeSdk(const std::string &sdk)
    {
        header(sdk + "/usr/include/plain.h");
        header(sdk + "/usr/include/other.h", "int nothing;\n");
        makeFramework(sdk + "/System/Library/Frameworks/Foo.framework");
        makeFramework(sdk + "/System/Library/Frameworks/Python.framework");
        makeFramework(sdk + "/System/Library/Frameworks/Foo.framework/Versions/A/Frameworks/Tcl.framework");
        makeFramework(sdk + "/System/Library/Frameworks/Foo.framework/Versions/A/Frameworks/Inner.framework");
        header(sdk + "/usr/include/upper.H");
        header(sdk + "/usr/include/cpp.hpp");
        header(sdk + "/usr/include/NSString.h.orig");
        header(sdk + "/usr/include/.h");
        header(sdk + "/.hidden/hidden.h");
        header(sdk + "/usr/include/sys/deep/deeper/deepest.h");
        fs::create_symlink("plain.h", sdks + "/" + sdk + "/usr/include/link.h");
        fs::create_symlink("missing.h", sdks + "/" + sdk + "/usr/include/dangling.h");
        fs::create_directory_symlink("include", sdks + "/" + sdk + "/usr/linked.h");
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Threads, HeaderSearchTest, testing::Values(1, 3));

// Runs the current test again in a program of its own as the ordinary user
// nobody, and gives its wait status.
int currentTestAsOrdinaryUser()
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    // A copy that nobody may run, wherever the build lies.
    char pattern[] = "/tmp/scoutmark-as-user-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    const std::string program = folder + "/tests";
    fs::copy_file("/proc/self/exe", program);
    chmod(folder.c_str(), 0755);
    chmod(program.c_str(), 0755);
    const int status = inChild([&] {
        execlp("setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program.c_str(),
               filter.c_str(), static_cast<char *>(nullptr));
        return 127;
    });
    fs::remove_all(folder);
    return status;
}

TEST_F(HeaderSearchTest, UnreadableFolderIsPassedOver)
{
    if (geteuid() == 0) {
        // Root reads every folder.
        const int status = currentTestAsOrdinaryUser();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "as nobody: " << describeStatus(status);
        return;
    }
    makeSdk("MacOSX10.9.sdk");
    header("MacOSX10.9.sdk/locked/secret.h");
    chmod((sdks + "/MacOSX10.9.sdk/locked").c_str(), 0);
    HeaderSearch search(sdks, {"10.9"});
    EXPECT_EQ(searched(search).records.size(), 6u);
}

TEST_P(HeaderSearchTest, CancellationIsSeenAfterEveryEntry)
{
    for (const char *sdk : {"MacOSX10.9.sdk", "MacOSX10.13.sdk", "MacOSX10.14.sdk"})
        makeSdk(sdk);
    HeaderSearch search = this->search({"10.9", "10.13", "10.14"});

    RecordingSink inSecond;
    inSecond.cancelWhen = [&](const RecordingSink &s) {
        return !s.records.empty() && s.records.back().path.find("MacOSX10.13.sdk") != std::string::npos;
    };
    EXPECT_TRUE(search.searchHeadersForString(needleRequest, inSecond));
    for (const ResultRecord &record : inSecond.records)
        EXPECT_EQ(record.path.find("MacOSX10.14.sdk"), std::string::npos);
    EXPECT_NE(inSecond.records.back().path.find("MacOSX10.13.sdk"), std::string::npos);
    EXPECT_EQ(inSecond.recordsAfterCancel, 0);

    // One check after every entry: as many as one thread makes, and more
    // with several, which also ask after records and while the run waits.
    HeaderSearch inTurn(sdks, {"10.9", "10.13", "10.14"});
    inTurn.setThreadCount(1);
    const RecordingSink counting = searched(inTurn);
    const int lastCheck = counting.checks;

    // Wherever the cancel falls, the last check included, what came before
    // it is the start of the whole run's records, and nothing follows it.
    for (int check = 1; check <= lastCheck; ++check) {
        RecordingSink cancelled;
        cancelled.cancelWhen = [&](const RecordingSink &s) { return s.checks >= check; };
        EXPECT_TRUE(search.searchHeadersForString(needleRequest, cancelled)) << check;
        EXPECT_EQ(cancelled.recordsAfterCancel, 0) << check;
        ASSERT_LE(cancelled.records.size(), counting.records.size()) << check;
        EXPECT_TRUE(std::equal(cancelled.records.begin(), cancelled.records.end(), counting.records.begin())) << check;
    }
    if (GetParam() > 1)
        return; // the checks made while the run waits vary in number
    RecordingSink afterLastCheck;
    afterLastCheck.cancelWhen = [&](const RecordingSink &s) { return s.checks > lastCheck; };
    EXPECT_FALSE(search.searchHeadersForString(needleRequest, afterLastCheck));
    EXPECT_EQ(afterLastCheck.records, counting.records);
}

TEST_F(HeaderSearchTest, ThreadsFollowTheCoresThisProcessMayUse)
{
    makeSdk("MacOSX10.9.sdk");
    int entries = 0;
    const std::vector<ResultRecord> expected = obviousSearch(sdks, {"10.9"}, needleRequest, &entries);

    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    EXPECT_EQ(searchThreadCount(), std::min<std::size_t>(CPU_COUNT(&allowed), maxSearchThreads));

    // On one core, the run is the one-thread run: one check per entry.
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; CPU_COUNT(&one) == 0; ++cpu) {
        if (CPU_ISSET(cpu, &allowed))
            CPU_SET(cpu, &one);
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const std::size_t onOneCore = searchThreadCount();
    HeaderSearch search(sdks, {"10.9"});
    sched_setaffinity(0, sizeof allowed, &allowed);
    EXPECT_EQ(onOneCore, 1u);
    const RecordingSink sink = searched(search);
    EXPECT_EQ(sink.records, expected);
    EXPECT_EQ(sink.checks, entries);
}

TEST_P(HeaderSearchTest, OddNamesAndFilesGetASoundResult)
{
    // Folder names with spaces, breaks, bytes that are not UTF-8, 255 bytes.
    const std::string longName = "MacOSX10.11" + std::string(240, 'y') + ".sdk";
    for (const std::string &name : {std::string("MacOSX10.9 copy.sdk"), std::string("MacOSX10.10\n.sdk"),
                                    std::string("MacOSX10.12\xff.sdk"), longName})
        header(name + "/a.h");
    EXPECT_EQ(sortedSDKNums(sdks), (std::vector<std::string>{"10.9", "10.10", "10.11", "10.12"}));

    // Headers of every odd kind in one SDK folder with an awkward name.
    const std::string sdk = "MacOSX10.13.sdk";
    header(sdk + "/empty.h", "");
    header(sdk + "/garbage.h", std::string("\0\xff\x80\x01NSNeedle\0\xfe", 14));
    header(sdk + "/dir name/new\nline.h");
    header(sdk + "/bad\xff" "byte.h");
    std::string big(50 * 1024 * 1024, 'x');
    big.replace(big.size() - 9, 8, needle);
    header(sdk + "/big.h", big);
    ASSERT_EQ(mkfifo((sdks + "/" + sdk + "/pipe.h").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", sdks + "/" + sdk + "/zero.h");
    fs::create_symlink("/dev/null", sdks + "/" + sdk + "/null.h");

    HeaderSearch awkward = search({"10.13"}); // no hang, no crash
    EXPECT_EQ(searched(awkward).names(),
              (std::set<std::string>{"garbage.h", "new\nline.h", "bad\xff" "byte.h", "big.h"}));

    // An SDK directory that is a file, a dangling link or missing has no SDKs.
    writeFile(sdks + "/file", "x");
    fs::create_symlink(sdks + "/nowhere", sdks + "/dangling");
    for (const char *odd : {"/file", "/dangling", "/missing"}) {
        EXPECT_TRUE(sortedSDKNums(sdks + odd).empty()) << odd;
        HeaderSearch inOdd(sdks + odd, {"10.9"});
        EXPECT_TRUE(searched(inOdd).records.empty());
    }
    // An empty SDK list searches nothing, and has nothing to cancel.
    RecordingSink none;
    EXPECT_FALSE(HeaderSearch(sdks, {}).searchHeadersForString(needleRequest, none));
    EXPECT_TRUE(none.records.empty());
    EXPECT_EQ(none.checks, 0);
}
