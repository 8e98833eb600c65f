// Trees and headers that a search must come through with a sound result:
// headers of gigabytes, SDK folders behind links, very deep trees, a folder
// mounted inside itself.

#include "header_search.h"
#include "recording_sink.h"
#include "tree_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sched.h>
#include <set>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

const std::string needle = "NSNeedle";
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

// The descriptor limit that leaves this process exactly free descriptors.
rlim_t limitLeaving(int free)
{
    std::set<int> open;
    for (const auto &entry : fs::directory_iterator("/proc/self/fd"))
        open.insert(std::stoi(entry.path().filename().string()));
    // Not the one the listing itself held.
    std::erase_if(open, [](int descriptor) { return fcntl(descriptor, F_GETFD) == -1; });
    int number = 0;
    for (int left = free; left > 0; ++number)
        left -= open.count(number) ? 0 : 1;
    return static_cast<rlim_t>(number);
}

// Runs body in a child process and gives its wait status; body's answer is
// the child's exit status, 77 when the child could not set up its case. An
// exception that leaves body ends the child as it would end a worker thread.
int inChild(const std::function<int()> &body)
{
    const pid_t child = fork();
    if (child == 0)
        _exit([&]() noexcept { return body(); }());
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

std::string describeStatus(int status)
{
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

class HostileTree : public testing::Test
{
protected:
    std::string root;
    std::string sdks;

    void SetUp() override
    {
        char pattern[] = "/tmp/scoutmark-hostile-XXXXXX";
        root = fs::canonical(mkdtemp(pattern)).string();
        sdks = root + "/SDKs";
        fs::create_directories(sdks);
    }
    void TearDown() override { fs::remove_all(root); }

    void header(const std::string &path) { writeFile(sdks + "/" + path, "int " + needle + ";\n"); }

    std::vector<std::string> paths(const RecordingSink &sink) const
    {
        std::vector<std::string> result;
        for (const ResultRecord &record : sink.records)
            result.push_back(record.path);
        return result;
    }
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
            RecordingSink sink;
            EXPECT_FALSE(search.searchHeadersForString({c.search, "All", c.ignoreComments, c.caseSensitive}, sink));
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
        RecordingSink sink;
        search.searchHeadersForString({needle, "All", true, false}, sink);
        return sink.records.size() == 2 ? 0 : 1;
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
        RecordingSink sink;
        search.searchHeadersForString({needle, c.osNum, false, true}, sink);
        EXPECT_EQ(paths(sink), std::vector<std::string>{c.path}) << c.sdkDirectory << " " << c.osNum;
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

    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    // Forty, as a tight limit leaves; three; two, of which the walk needs
    // both, one for a folder and one for a header.
    for (const std::size_t threads : {1, 3}) {
        for (const int free : {40, 3, 2}) {
            const rlimit few{limitLeaving(free), saved.rlim_max};
            ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
            HeaderSearch search(sdks, {"10.10", "10.9"});
            search.setThreadCount(threads);
            RecordingSink sink;
            search.searchHeadersForString({needle, "All", false, true}, sink);
            setrlimit(RLIMIT_NOFILE, &saved);

            std::set<std::string> names;
            for (const ResultRecord &record : sink.records)
                names.insert(record.name);
            std::set<std::string> expected = {"top.h", "middle.h", "deepest.h"};
            expected.insert(shallow.begin(), shallow.end());
            EXPECT_EQ(names, expected) << free << " free, " << threads << " threads";
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
    std::vector<std::string> order;
    DIR *listing = opendir(sdk.c_str());
    while (const dirent *entry = readdir(listing)) {
        if (entry->d_name[0] != '.')
            order.push_back(entry->d_name);
    }
    closedir(listing);
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
    RecordingSink expected;
    reference.searchHeadersForString({needle, "All", false, true}, expected);

    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const rlimit few{limitLeaving(3), saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &few), 0);
    HeaderSearch search(sdks, {"10.9"});
    search.setThreadCount(3);
    RecordingSink sink;
    search.searchHeadersForString({needle, "All", false, true}, sink);
    setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(paths(sink), paths(expected));
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
        RecordingSink sink;
        search.searchHeadersForString({needle, "All", false, true}, sink);
        return sink.records.size() == 2 ? 0 : 1;
    });
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "this machine allows no mount namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describeStatus(status);
}
