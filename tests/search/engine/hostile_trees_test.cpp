// Trees and headers that a search must come through with a sound result:
// headers of gigabytes, SDK folders behind links, very deep trees, a folder
// mounted inside itself.

#include "header_search.h"
#include "search_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

constexpr std::uint64_t gib = std::uint64_t(1) << 30;
constexpr std::uint64_t hugeSize = gib / 2; // far beyond any buffer, and quick to read

// Zeros that take no room on disk, with text at the start and at the end.
void sparseHeader(const std::string &path, std::uint64_t size, const std::string &head, const std::string &tail)
{
    fs::create_directories(fs::path(path).parent_path());
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(ftruncate(file, static_cast<off_t>(size)), 0);
    ASSERT_EQ(pwrite(file, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(pwrite(file, tail.data(), tail.size(), static_cast<off_t>(size - tail.size())),
              static_cast<ssize_t>(tail.size()));
    close(file);
}

long statusKilobytes(const std::string &key)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return 0;
}

class HostileTree : public testing::Test, protected TemporarySdks
{
};

} // namespace

TEST_F(HostileTree, HugeHeaderIsSearchedExactlyInBoundedMemory)
{
    // A comment opens at the start and closes just before the end; only the
    // raw text holds the case-exact needle.
    sparseHeader(sdks + "/MacOSX10.9.sdk/huge.h", hugeSize, "/* NSNeedle", "*/ int nsneedle; caf\x8E\n");
    const struct {
        std::string search;
        bool ignoreComments, caseSensitive, matches;
    } cases[] = {
        {needle, false, true, true},
        {needle, true, true, false},
        {needle, true, false, true},
        {"caf\xC3\xA9", true, false, true}, // decoded and compared as text
        {"NSAbsent", false, false, false},
    };
    for (const std::size_t threads : {1, 3}) {
        HeaderSearch search(sdks, {"10.9"});
        search.setThreadCount(threads);
        for (const auto &c : cases) {
            const long before = statusKilobytes("VmRSS");
            std::ofstream("/proc/self/clear_refs") << "5"; // resets the high-water mark
            const RecordingSink sink = searched(search, {c.search, "All", c.ignoreComments, c.caseSensitive});
            EXPECT_EQ(sink.records.size(), c.matches ? 1u : 0u) << c.search << " " << c.ignoreComments;
            if (!sanitized) { // their allocators keep freed memory aside
                EXPECT_LT(statusKilobytes("VmHWM") - before, 64 * 1024)
                    << c.search << " " << c.ignoreComments << " on " << threads << " threads";
            }
        }
    }
    if (sanitized)
        return; // they reserve more address space than the limit below allows

    // No failure to get memory leaves the search under a limit, also when
    // it must read and strip the huge header to its end.
    header("MacOSX10.9.sdk/small.h");
    const int status = inChild([&] {
        const rlim_t room = static_cast<rlim_t>(statusKilobytes("VmSize")) * 1024 + gib / 4;
        const rlimit limit{room, room};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            return 77;
        HeaderSearch search(sdks, {"10.9"});
        return searched(search, {needle, "All", true, false}).records.size() == 2 ? 0 : 1;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describeStatus(status);
}

TEST_F(HostileTree, CancellingStopsInsideAHugeHeader)
{
    sparseHeader(sdks + "/MacOSX10.9.sdk/huge.h", hugeSize, "", "int NSNeedle;\n");
    header("MacOSX10.9.sdk/small.h");
    // At once, or only once the run has walked everything and waits for
    // the huge header alone.
    const struct {
        std::size_t threads;
        int cancelAtCheck;
    } cases[] = {{1, 1}, {3, 1}, {3, 5}};
    for (const auto &c : cases) {
        HeaderSearch search(sdks, {"10.9"});
        search.setThreadCount(c.threads);
        RecordingSink sink;
        sink.cancelWhen = [&](const RecordingSink &s) { return s.checks >= c.cancelAtCheck; };
        EXPECT_TRUE(search.searchHeadersForString({needle, "All", true, false}, sink));
        EXPECT_EQ(sink.recordsAfterCancel, 0);
        EXPECT_LT(search.bytesRead(), hugeSize / 2) << "the read stops part-way: " << c.threads << " threads, check "
                                                    << c.cancelAtCheck;
    }
}

TEST_F(HostileTree, LinkedSdkFoldersAreResolvedByTheFileSystem)
{
    // As the README sets it up: the SDK directory is itself a link.
    fs::create_directories(root + "/real/sdks");
    fs::create_directory_symlink("real/sdks", sdks + "-link");
    const std::string linked = sdks + "-link";
    const auto sdkHeader = [&](const std::string &folder) { writeFile(folder + "/usr/include/a.h", "int NSNeedle;\n"); };
    sdkHeader(root + "/real/other/MacOSX10.14.sdk");
    fs::create_directory_symlink("../other/MacOSX10.14.sdk", root + "/real/sdks/MacOSX10.14.sdk");
    sdkHeader(root + "/real/other/thirteen");
    fs::create_directory_symlink("../other/thirteen/", root + "/real/sdks/MacOSX10.13.sdk");
    sdkHeader(root + "/real/other/twelve");
    fs::create_directory_symlink(root + "/real/./other//twelve/", root + "/real/sdks/MacOSX10.12.sdk");
    sdkHeader(root + "/real/sdks/MacOSX10.9.sdk");

    const struct {
        std::string sdkDirectory, osNum, path;
    } cases[] = {
        {linked, "10.14", root + "/real/other/MacOSX10.14.sdk/usr/include/a.h"},
        {linked, "10.13", root + "/real/other/thirteen/usr/include/a.h"},
        {linked, "10.12", root + "/real/other/twelve/usr/include/a.h"},
        {linked + "/", "10.9", linked + "/MacOSX10.9.sdk/usr/include/a.h"},
        {root + "//real/sdks//", "10.9", root + "/real/sdks/MacOSX10.9.sdk/usr/include/a.h"},
    };
    for (const auto &c : cases) {
        HeaderSearch search(c.sdkDirectory, {});
        EXPECT_EQ(searched(search, {needle, c.osNum, false, true}).paths(), std::vector<std::string>{c.path})
            << c.sdkDirectory << " " << c.osNum;
    }
}

TEST_F(HostileTree, DeepTreeIsWalkedWithFewDescriptors)
{
    std::string deep = "MacOSX10.9.sdk";
    for (int level = 0; level < 100; ++level) {
        deep += "/d";
        if (level == 50)
            header(deep + "/middle.h");
    }
    header(deep + "/deepest.h");
    header("MacOSX10.9.sdk/top.h");
    // Searched first, with every descriptor the walk may hold: each header
    // two folders deep finds none left, and the walk must give one back,
    // also to come back from the folder.
    const std::set<std::string> shallow = {"f0.h", "f1.h", "f2.h", "f3.h"};
    for (const std::string &name : shallow)
        header("MacOSX10.10.sdk/" + name.substr(0, 2) + "/" + name);

    // Forty, as a tight limit leaves; three; two, of which the walk needs
    // both, one for a folder and one for a header.
    for (const std::size_t threads : {1, 3}) {
        for (const int free : {40, 3, 2}) {
            HeaderSearch search(sdks, {"10.10", "10.9"});
            search.setThreadCount(threads);
            const RecordingSink sink = searchedLeaving(free, search);
            std::set<std::string> expected = {"top.h", "middle.h", "deepest.h"};
            expected.insert(shallow.begin(), shallow.end());
            EXPECT_EQ(sink.names(), expected) << free << " free, " << threads << " threads";
            for (const ResultRecord &record : sink.records)
                EXPECT_EQ(readFile(record.path), "int NSNeedle;\n") << record.path;
        }
    }
}

TEST_F(HostileTree, HeadersHeldOpenGiveWayToTheWalk)
{
    // Two headers that take long to decide, held open by two threads, and
    // right after them in the listing a folder that the walk must open with
    // the process's last descriptor.
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    for (int i = 0; i < 8; ++i) {
        header("MacOSX10.9.sdk/f" + std::to_string(i) + ".h");
        header("MacOSX10.9.sdk/d" + std::to_string(i) + "/inside.h");
    }
    std::vector<std::string> order; // as the walk lists them
    for (const auto &entry : fs::directory_iterator(sdk))
        order.push_back(entry.path().filename().string());
    // The first two headers and the first folder after them; removing the
    // entries before that folder leaves the others' order as it is.
    const auto isHeader = [](const std::string &name) { return name.ends_with(".h"); };
    const auto first = std::find_if(order.begin(), order.end(), isHeader);
    const auto second = std::find_if(first + 1, order.end(), isHeader);
    const auto folder = std::find_if_not(second, order.end(), isHeader);
    if (folder == order.end())
        GTEST_SKIP() << "no folder after two headers in this listing";
    for (auto entry = order.begin(); entry != folder; ++entry) {
        if (entry == first || entry == second)
            sparseHeader(sdk + "/" + *entry, 128 << 20, "", "int NSNeedle;\n");
        else
            fs::remove_all(sdk + "/" + *entry);
    }

    HeaderSearch reference(sdks, {"10.9"});
    reference.setThreadCount(1);
    HeaderSearch search(sdks, {"10.9"});
    search.setThreadCount(3);
    EXPECT_EQ(searchedLeaving(3, search).paths(), searched(reference).paths());
}

TEST_F(HostileTree, FolderMountedInsideItselfIsLeft)
{
    header("MacOSX10.9.sdk/top.h");
    header("MacOSX10.9.sdk/usr/include/a.h");
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    fs::create_directories(sdk + "/usr/loop");
    const int status = inChild([&] {
        // A mount namespace of our own, so that the mount ends with us.
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || mount(sdk.c_str(), (sdk + "/usr/loop").c_str(), nullptr, MS_BIND, nullptr) != 0)
            return 77;
        // Followed without end, the cycle would run out of descriptors.
        const rlimit some{256, 256};
        setrlimit(RLIMIT_NOFILE, &some);
        alarm(120);
        HeaderSearch search(sdks, {"10.9"});
        return searched(search).records.size() == 2 ? 0 : 1;
    });
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "this machine allows no mount namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describeStatus(status);
}
