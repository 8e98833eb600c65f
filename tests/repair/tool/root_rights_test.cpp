// What an administrator's password for changing the SDKs buys, tried as a
// local user would try to stretch it: Tool runs as root, as pkexec starts
// it for the user nobody (PKEXEC_UID), on decoy trees. Root's rights must
// reach the SDK directory and nothing else.

#include "qt_printers.h"
#include "tool_launch.h"
#include "tree_snapshot.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr uid_t nobody = 65534;
constexpr gid_t nogroup = 65534;

class RootRightsTest : public ToolTreeTest
{
protected:
    std::string home = base + "/home"; // the user's own folder
    // An SDK of the user's, to import, and where an import puts it.
    std::string incoming = home + "/MacOSX10.99.sdk";
    std::string imported = sdks + "/MacOSX10.99.sdk";

    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root, which Tool has under pkexec";
        if (!whyNotRootsAlone().empty())
            GTEST_SKIP() << "needs a folder that root alone controls: " << whyNotRootsAlone();
        ToolTreeTest::SetUp();
        fs::create_directories(home);
        EXPECT_EQ(chown(home.c_str(), nobody, nogroup), 0);
    }

    ToolResult run(const std::vector<std::string> &arguments, std::optional<uid_t> user = nobody,
                   int openat2Error = 0) const
    {
        return runToolAs(sdks, arguments, {.pkexecUid = user, .openat2Error = openat2Error});
    }

    static struct stat statusOf(const std::string &path)
    {
        struct stat status {};
        lstat(path.c_str(), &status);
        return status;
    }

    // A file of the user's, with a mode set after the owner (which clears set-id bits).
    static void userFile(const std::string &path, mode_t mode, const std::string &contents = "x")
    {
        writeFile(path, contents);
        EXPECT_EQ(lchown(path.c_str(), nobody, nogroup), 0);
        chmod(path.c_str(), mode);
    }

    static std::string userLink(const std::string &target, const std::string &path)
    {
        fs::create_directories(fs::path(path).parent_path());
        fs::create_directory_symlink(target, path);
        EXPECT_EQ(lchown(path.c_str(), nobody, nogroup), 0);
        return path;
    }

    // Starts nobody's import of incoming, held before it opens incoming/victim;
    // what it has said by then.
    QByteArray startPausedCopy(QProcess &tool) const
    {
        startTool(tool, sdks, {"Copy", incoming, imported}, {.pkexecUid = nobody, .pause = "open victim"});
        QByteArray errors;
        (void)QTest::qWaitFor([&] {
            errors += tool.readAllStandardError();
            return errors.contains("paused open victim") || tool.state() == QProcess::NotRunning;
        }, 60000);
        return errors;
    }

    static void folder(const std::string &path, mode_t mode, uid_t owner = 0, gid_t group = 0)
    {
        fs::create_directories(path);
        EXPECT_EQ(chown(path.c_str(), owner, group), 0);
        chmod(path.c_str(), mode);
    }
};

} // namespace

// What an import makes belongs to whom the way to it grants it (root, where
// root alone controls the way, as when the SDK directory exists), and is
// neither set-id nor writable by others; a missing SDK directory is made so
// too, and not through a link the user planted.
TEST_F(RootRightsTest, WhatAnImportMakesHasTheOwnerItsWayGrantsAndNoSetIdOrSharedWritableMode)
{
    folder(incoming + "/open", 0777, nobody, nogroup);
    userFile(incoming + "/run", 04755);
    userFile(incoming + "/group", 02755);
    userFile(incoming + "/open/shared", 0666);
    EXPECT_EQ(lchown(incoming.c_str(), nobody, nogroup), 0);
    const std::string decoy = base + "/decoy"; // root's, empty
    fs::create_directories(decoy);
    folder(base + "/roots", 0755);
    folder(base + "/open", 01777);
    userLink(decoy, base + "/open/planted");
    const struct {
        const char *way;
        std::string top; // the existing folder below which the SDK directory is missing, if it is
        std::optional<uid_t> user;  // PKEXEC_UID
        std::optional<uid_t> owner; // and group, of what the import makes; none: nothing is made
    } cases[] = {
        {"through pkexec", "", nobody, 0},
        {"started by root", "", std::nullopt, 0},
        {"missing, on a way of root's alone", base + "/roots", nobody, 0},
        {"missing, through a folder that all may write", base + "/open", nobody, nobody},
        {"missing, through a link the user planted there", base + "/open/planted", nobody, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.way);
        const std::string directory = c.top.empty() ? sdks : c.top + "/new/Developer/SDKs";
        const std::string sdk = directory + "/MacOSX10.99.sdk";
        const ToolResult result = runToolAs(directory, {"Copy", incoming, sdk}, {.pkexecUid = c.user});
        if (!c.owner) {
            EXPECT_TRUE(ended(result, 1, "Permission denied"));
            EXPECT_TRUE(fs::is_empty(decoy));
            continue;
        }
        ASSERT_TRUE(ended(result, 0));
        // Root's items lose set-id bits and others' writing; the user's keep
        // their modes, but no folder made on the way is writable by others.
        std::vector<std::pair<std::string, mode_t>> made;
        for (const char *item : {"", "/run", "/group", "/open", "/open/shared"})
            made.emplace_back(sdk + item, *c.owner ? 0 : 06022);
        if (!c.top.empty()) {
            for (const std::string &onTheWay : {c.top + "/new", c.top + "/new/Developer", directory})
                made.emplace_back(onTheWay, 022);
        }
        for (const auto &[item, barred] : made) {
            const struct stat status = statusOf(item);
            EXPECT_EQ(status.st_uid, *c.owner) << item;
            EXPECT_EQ(status.st_gid, *c.owner ? nogroup : 0) << item;
            EXPECT_EQ(status.st_mode & barred, 0u) << item << " has mode " << std::oct << (status.st_mode & 07777);
        }
        EXPECT_EQ(statusOf(sdk + "/run").st_mode & 0777, 0755u) << "the other bits stay";
        fs::remove_all(sdk);
    }
}

// Whoever may change a folder on the way to the SDK directory can put any
// folder of root's in its place; here a decoy of root's with an SDK in it,
// which the lists attack.
TEST_F(RootRightsTest, RootsRightsReachOnlyBeneathAWayThatRootAloneControls)
{
    userFile(home + "/job", 0644, "* * * * * root evil\n");
    const struct {
        const char *way;
        bool rootsAlone;
        std::function<std::string(const std::string &top, const std::string &decoy)> lay; // the SDK directory
    } cases[] = {
        {"a link of root's", true,
         [](const std::string &top, const std::string &) {
             fs::create_directories(top + "/Developer");
             fs::create_directory_symlink("../system", top + "/Developer/SDKs");
             return top + "/Developer/SDKs";
         }},
        {"a link of root's to a folder the user replaced by a link", false,
         [&](const std::string &top, const std::string &decoy) {
             fs::create_directories(top + "/Developer");
             fs::create_directory_symlink(userLink(decoy, home + "/sdks-" + fs::path(top).filename().string()),
                                          top + "/Developer/SDKs");
             return top + "/Developer/SDKs";
         }},
        {"a folder above that all may write, sticky as /tmp", false,
         [](const std::string &top, const std::string &decoy) {
             folder(top + "/open", 01777);
             return userLink(decoy, top + "/open/SDKs");
         }},
        {"a folder above that the user's group may write", false,
         [](const std::string &top, const std::string &decoy) {
             folder(top + "/shared", 0775, 0, nogroup);
             return userLink(decoy, top + "/shared/SDKs");
         }},
        {"a folder above that is the user's", false,
         [](const std::string &top, const std::string &decoy) {
             folder(top + "/mine", 0755, nobody, nogroup);
             return userLink(decoy, top + "/mine/SDKs");
         }},
        {"the SDK directory the user's", false,
         [](const std::string &, const std::string &decoy) {
             EXPECT_EQ(chown(decoy.c_str(), nobody, nogroup), 0);
             return decoy;
         }},
    };
    int n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.way);
        const std::string top = base + "/way" + std::to_string(++n);
        const std::string decoy = top + "/system", etc = decoy + "/MacOSX10.9.sdk/etc";
        fs::create_directories(etc + "/cron.d");
        writeFile(etc + "/passwd", "root:x:0:0");
        writeFile(etc + "/shadow", "root:secret");
        chmod((etc + "/shadow").c_str(), 0600);
        const std::string sdks = c.lay(top, decoy), sdkEtc = sdks + "/MacOSX10.9.sdk/etc";
        const std::string stolen = home + "/stolen" + std::to_string(n);

        const ToolResult result = runToolAs(sdks,
                                            {"Copy", home + "/job", sdkEtc + "/cron.d/evil",
                                             "Copy", sdkEtc + "/shadow", stolen,
                                             "Remove", sdkEtc + "/passwd", ""},
                                            {.pkexecUid = nobody});
        if (c.rootsAlone) {
            EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
            EXPECT_TRUE(exists(etc + "/cron.d/evil"));
            continue;
        }
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError.count("Permission denied"), 3) << result.standardError.constData();
        EXPECT_FALSE(exists(etc + "/cron.d/evil"));
        EXPECT_EQ(readFile(etc + "/passwd"), "root:x:0:0");
        EXPECT_FALSE(exists(stolen));
    }
}

TEST_F(RootRightsTest, OutsideTheSdkDirectoryToolHasTheUsersRightsOnly)
{
    const std::string secret = base + "/root-only/secret";
    writeFile(secret, "secret");
    chmod(secret.c_str(), 0600);
    chmod((base + "/root-only").c_str(), 0700);
    const std::string locked = base + "/locked"; // root's, 0755
    fs::create_directories(locked);
    userFile(home + "/mine", 0644, "mine");

    // Each fails, and its destination is not made.
    for (const std::vector<std::string> &list : std::vector<std::vector<std::string>>{
             {"Copy", secret, home + "/stolen"},
             {"Copy", secret, sdks + "/Stolen.sdk"},
             {"Copy", home + "/mine", locked + "/planted"},
         }) {
        SCOPED_TRACE(list[1] + " -> " + list[2]);
        EXPECT_TRUE(ended(run(list), 1, "Permission denied"));
        EXPECT_FALSE(exists(list[2]));
    }

    // Into the SDK directory only as a new SDK or inside an SDK: anything
    // else is refused whole.
    for (const std::string &target : {sdks + "/planted", sdks + "/MacOSX10.9.SDK", sdks}) {
        EXPECT_TRUE(ended(run({"Copy", home + "/mine", target}), 2, "action 1")) << target;
    }
    EXPECT_TRUE(fs::is_empty(sdks));

    // A user who cannot be told apart from root gets nothing done.
    EXPECT_TRUE(ended(run({"Copy", secret, home + "/stolen"}, 3999999999u), 2, "cannot find the user"));
    EXPECT_FALSE(exists(home + "/stolen"));

    // Root itself, without pkexec, still has its own rights.
    EXPECT_TRUE(ended(run({"Copy", secret, home + "/copied"}, std::nullopt), 0));
    EXPECT_EQ(readFile(home + "/copied"), "secret");
}

// Held before it opens source/victim: the signals of a terminal, when Tool
// is run by hand through pkexec, and of a CPU limit, may neither end nor stop
// it between two steps of a copy; a FIFO swapped in must not hang it.
TEST_F(RootRightsTest, HeldBeforeAnOpenToolNeitherStopsForASignalNorHangsOnAFifo)
{
    userFile(incoming + "/a", 0644);
    userFile(incoming + "/victim", 0644);
    {
        QProcess tool;
        ASSERT_TRUE(startPausedCopy(tool).contains("paused"));
        const auto pid = static_cast<pid_t>(tool.processId());
        EXPECT_EQ(getsid(pid), pid) << "a session of its own, which no terminal sends signals to";
        for (const int signal : {SIGINT, SIGQUIT, SIGTSTP, SIGTTIN, SIGTTOU, SIGHUP, SIGXCPU})
            kill(pid, signal);
        ASSERT_EQ(resumeTool(tool), 0) << "Tool stopped, or a signal ended it";
        EXPECT_TRUE(exists(imported + "/victim"));
        fs::remove_all(imported);
    }

    QProcess tool;
    QByteArray errors = startPausedCopy(tool);
    ASSERT_TRUE(errors.contains("paused")) << "the test build holds before it opens the file";
    // The walk saw a regular file; a FIFO stands there now, with nobody writing.
    ASSERT_EQ(mkfifo((base + "/fifo").c_str(), 0666), 0);
    ASSERT_EQ(rename((base + "/fifo").c_str(), (incoming + "/victim").c_str()), 0);
    ASSERT_EQ(resumeTool(tool), 1) << "Tool hangs on the FIFO";
    errors += tool.readAllStandardError();
    EXPECT_NE(errors.indexOf(QByteArray::fromStdString(incoming + "/victim")), -1) << errors.constData();
    EXPECT_FALSE(exists(imported));
    EXPECT_TRUE(hiddenItems(sdks).empty());

    // A FIFO, a socket or a device that stands in a incoming from the start.
    fs::remove(incoming + "/victim");
    const std::string special = incoming + "/special";
    for (const std::string kind : {"fifo", "socket", "device"}) {
        SCOPED_TRACE(kind);
        if (kind == "fifo")
            mkfifo(special.c_str(), 0666);
        else if (kind == "device")
            mknod(special.c_str(), S_IFCHR | 0666, makedev(1, 5)); // /dev/zero
        else {
            const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            special.copy(address.sun_path, sizeof address.sun_path - 1);
            bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
            close(listener);
        }
        EXPECT_TRUE(ended(run({"Copy", incoming, imported}), 1, QByteArray::fromStdString(special)));
        EXPECT_FALSE(exists(imported));
        fs::remove(special);
    }
}

// Without openat2 (an older kernel, or a filter that refuses it), a walk
// stands in for it and must hold the same line.
TEST_F(RootRightsTest, NoLinkInsideOneSdkReachesAnotherSdkOrTheSdkDirectory)
{
    const std::string sixSdk = sdks + "/MacOSX10.6.sdk";
    const std::string planted = sdks + "/MacOSX10.98.sdk";
    writeFile(planted + "/System/x", "x");
    fs::create_directory_symlink("..", planted + "/up");
    fs::create_directory_symlink(".", sdks + "/MacOSX10.97.sdk");
    fs::create_directory_symlink("MacOSX10.6.sdk", sdks + "/MacOSX10.96.sdk");
    userFile(home + "/mine", 0644, "mine");

    for (const int openat2Error : {0, ENOSYS, EPERM}) {
        SCOPED_TRACE(openat2Error);
        fs::remove_all(sixSdk + "/System");
        writeFile(sixSdk + "/System/keep", "keep");
        writeFile(sixSdk + "/System/Headers/old/file", "old");
        const TreeSnapshot six = snapshotTree(sixSdk, true);
        const std::vector<std::vector<std::string>> lists = {
            {"Remove", planted + "/up/MacOSX10.6.sdk", ""},
            {"Remove", planted + "/up/MacOSX10.6.sdk/System/keep", ""},
            {"Move", planted + "/up/MacOSX10.6.sdk/System", planted + "/taken"},
            {"Copy", planted + "/System/x", planted + "/up/MacOSX10.6.sdk/System/planted"},
            {"Remove", sdks + "/MacOSX10.97.sdk/MacOSX10.6.sdk", ""},
        };
        for (const auto &list : lists) {
            EXPECT_TRUE(ended(run(list, nobody, openat2Error), 1, "outside the SDK")) << list[1];
        }
        EXPECT_EQ(snapshotTree(sixSdk, true), six);
        EXPECT_FALSE(exists(planted + "/taken"));

        // An SDK that is a link to another beside it is still that SDK, and
        // every verb works in it.
        const std::string system = sdks + "/MacOSX10.96.sdk/System";
        const ToolResult result = run({"Move", system + "/keep", system + "/Headers/kept",
                                       "Copy", home + "/mine", system + "/Headers/mine",
                                       "Remove", system + "/Headers/old", ""},
                                      nobody, openat2Error);
        EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
        EXPECT_EQ(readFile(sixSdk + "/System/Headers/kept"), "keep");
        EXPECT_EQ(readFile(sixSdk + "/System/Headers/mine"), "mine");
        EXPECT_FALSE(exists(sixSdk + "/System/Headers/old"));
    }
}

// A further name that cannot be made a link (the destination's links run
// out, or it lies on another file system) must not become a copy of its
// own: links of the user's to one file would become root's data without end.
TEST_F(RootRightsTest, CopiesKeepHolesAndHardLinksOrFailWhereALinkCannotBeMade)
{
    constexpr off_t size = 64 << 20;
    fs::create_directories(incoming + "/sub");
    const int fd = open((incoming + "/big").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(pwrite(fd, "head", 4, 0), 4);
    ASSERT_EQ(pwrite(fd, "middle", 6, size / 2), 6);
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    EXPECT_EQ(lchown((incoming + "/big").c_str(), nobody, nogroup), 0);
    for (const char *name : {"/big2", "/big3", "/sub/big4"})
        ASSERT_EQ(link((incoming + "/big").c_str(), (incoming + name).c_str()), 0);

    for (const int error : {EMLINK, EXDEV}) {
        SCOPED_TRACE(error);
        const ToolLaunch launch{.pkexecUid = nobody, .linkatError = error};
        const ToolResult result = runToolAs(sdks, {"Copy", incoming, imported}, launch);
        EXPECT_TRUE(ended(result, 1, "cannot copy the hard link " + QByteArray::fromStdString(incoming) + "/"));
        EXPECT_TRUE(ended(result, 1, std::strerror(error)));
        EXPECT_FALSE(exists(imported));
        EXPECT_TRUE(hiddenItems(sdks).empty());
    }

    for (const int openat2Error : {0, ENOSYS}) {
        SCOPED_TRACE(openat2Error ? "without openat2" : "with openat2");
        ASSERT_TRUE(ended(run({"Copy", incoming, imported}, nobody, openat2Error), 0));
        const struct stat big = statusOf(imported + "/big");
        EXPECT_EQ(big.st_size, size);
        EXPECT_EQ(big.st_nlink, 4u) << "the four names stay one file";
        for (const char *name : {"/big2", "/big3", "/sub/big4"})
            EXPECT_EQ(statusOf(imported + name).st_ino, big.st_ino) << name;
        EXPECT_LT(big.st_blocks * 512, 1 << 20) << "the holes stay holes";
        const std::string copied = readFile(imported + "/sub/big4");
        EXPECT_EQ(copied.substr(0, 4), "head");
        EXPECT_EQ(copied.substr(size / 2, 6), "middle");
        EXPECT_EQ(copied.find_first_not_of('\0', size / 2 + 6), std::string::npos);
        fs::remove_all(imported);
    }
}

// Each first name of a file with several was once kept as its whole path:
// a crafted tree of long, deep names drove Tool's memory up without end.
TEST_F(RootRightsTest, FilesWithSeveralNamesDeepInATreeCostLittleMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory would hide Tool's";
#endif
    constexpr int depth = 200, files = 5000;
    const std::string deep = base + "/deep"; // a tmpfs of its own: paths this long outgrow the removal
    fs::create_directories(deep);
    ASSERT_EQ(mount("tmpfs", deep.c_str(), "tmpfs", 0, "mode=0755"), 0) << std::strerror(errno);
    const std::string source = deep + "/MacOSX10.99.sdk";
    fs::create_directories(source);
    const std::string name(200, 'n');
    const int folder = folderChain(source, depth, name);
    for (int i = 0; i < files; ++i) {
        const std::string file = "f" + std::to_string(i), further = "g" + std::to_string(i);
        close(openat(folder, file.c_str(), O_WRONLY | O_CREAT, 0644));
        ASSERT_EQ(linkat(folder, file.c_str(), folder, further.c_str(), 0), 0);
    }
    close(folder);

    const ToolMemory idle = execTool(sdks, {}, nobody);
    const ToolMemory copy = execTool(sdks, {"Copy", source, imported}, nobody);
    EXPECT_EQ(copy.exitCode, 0);
    struct stat copied {};
    const int copiedBottom = folderChain(imported, depth, name);
    fstatat(copiedBottom, "g0", &copied, 0);
    close(copiedBottom);
    EXPECT_EQ(copied.st_nlink, 2u) << "the names stay one file";
    EXPECT_LT(copy.peakKiB - idle.peakKiB, 64 * 1024) << "peak " << copy.peakKiB << " KiB, idle " << idle.peakKiB;
    umount2(deep.c_str(), MNT_DETACH);
    fs::remove_all(imported + "/" + name); // a tree this deep is left to the tmpfs below
}

TEST_F(RootRightsTest, HiddenNamesCannotBeForeseenAndCleanupTakesOnlyWhatTheRunMade)
{
    // Tool is held between fork and exec, so that its process id is known
    // before it runs: the hidden names of a run must not follow from it.
    // An export into a folder shared with others, where a hidden item of
    // somebody else's bears the name the copy would have had.
    writeFile(sdks + "/MacOSX10.9.sdk/System/x", "x");
    const std::string shared = base + "/shared";
    folder(shared, 01777);
    std::string theirs;
    const std::vector<std::string> copy{"Copy", sdks + "/MacOSX10.9.sdk", shared + "/MacOSX10.9.sdk"};
    EXPECT_EQ(execTool(sdks, copy, nobody, [&](pid_t pid) {
        theirs = shared + "/.MacOSX10.9.sdk.tarnwick-copy-" + std::to_string(pid) + "-1";
        writeFile(theirs + "/precious", "theirs");
    }).exitCode, 0);
    EXPECT_EQ(readFile(theirs + "/precious"), "theirs");
    EXPECT_EQ(readFile(shared + "/MacOSX10.9.sdk/System/x"), "x");

    // A Remove sets the item aside under a hidden name, never over one.
    EXPECT_EQ(execTool(sdks, {"Remove", sdks + "/MacOSX10.9.sdk/System/x", ""}, nobody, [&](pid_t pid) {
        theirs = sdks + "/MacOSX10.9.sdk/System/.x.tarnwick-remove-" + std::to_string(pid) + "-1";
        writeFile(theirs, "theirs");
    }).exitCode, 0);
    EXPECT_FALSE(exists(sdks + "/MacOSX10.9.sdk/System/x"));
    EXPECT_EQ(readFile(theirs), "theirs");
}

// The address sanitizer's own start-up takes milliseconds of processor time
// before Tool's first line can leave a real-time policy; the plain build
// keeps 5 ms.
#ifdef __SANITIZE_ADDRESS__
constexpr rlim_t realTimeBudget = 200000; // microseconds
#else
constexpr rlim_t realTimeBudget = 5000;
#endif

TEST_F(RootRightsTest, TheCallersLimitsCannotStopToolHalfway)
{
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    fs::create_directories(sdk);
    const std::string large(64 * 1024, 'x');
    userFile(home + "/large", 0644, large);

    // A file size limit would kill root Tool in the middle of a copy. Root
    // lifts a lowered hard limit too where it may (not in every container):
    // then the copy is done, else it fails cleanly and the next action runs.
    for (const bool hardToo : {false, true}) {
        SCOPED_TRACE(hardToo ? "soft and hard limit" : "soft limit");
        const ToolResult result = runToolAs(sdks, {"Copy", home + "/large", sdk + "/large", "Remove", sdk + "/large", ""},
                                            {.pkexecUid = nobody, .limits = {{RLIMIT_FSIZE, 1024, hardToo}}});
        if (hardToo && result.exitCode == 1) {
            EXPECT_TRUE(ended(result, 1, "File too large"));
        } else {
            EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
            EXPECT_TRUE(result.standardOutput.endsWith("progress 65536 1\n")) << result.standardOutput.constData();
        }
        EXPECT_TRUE(fs::is_empty(sdk));
    }

    // A tree deeper than any walk goes, under a small stack: the actions
    // fail, nothing is left, and the next action runs. On a tmpfs of its
    // own, as a chain this deep takes minutes to make and remove on a busy
    // disk; the fixture's own tmpfs shows one may be mounted.
    const std::string deep = base + "/deep";
    fs::create_directories(deep);
    ASSERT_EQ(mount("tmpfs", deep.c_str(), "tmpfs", 0, "mode=0755"), 0) << std::strerror(errno);
    const std::string deepSdks = deep + "/SDKs";
    fs::create_directories(deepSdks + "/MacOSX10.9.sdk");
    fs::create_directories(deepSdks + "/MacOSX10.8.sdk");
    close(folderChain(deep + "/source", 100000));
    close(folderChain(deepSdks + "/MacOSX10.9.sdk/deep", 100000));
    // Each in an SDK of its own, so that each failure is its own.
    const ToolResult result = runToolAs(deepSdks,
                                        {"Copy", deep + "/source", deepSdks + "/MacOSX10.9.sdk/copied",
                                         "Copy", home + "/large", deepSdks + "/MacOSX10.8.sdk/after",
                                         "Remove", deepSdks + "/MacOSX10.9.sdk/deep", ""},
                                        {.pkexecUid = nobody, .limits = {{RLIMIT_STACK, 64 * 1024}}});
    EXPECT_EQ(result.exitCode, 1) << "ended by a signal";
    EXPECT_EQ(result.standardError.count("levels deep"), 2) << result.standardError.constData();
    EXPECT_FALSE(exists(deepSdks + "/MacOSX10.9.sdk/copied"));
    EXPECT_TRUE(exists(deepSdks + "/MacOSX10.8.sdk/after"));
    // The removal is done as far as the SDK shows; the item it set aside
    // waits, named in the journal, for the undo that finishes it.
    EXPECT_FALSE(exists(deepSdks + "/MacOSX10.9.sdk/deep"));
    EXPECT_EQ(hiddenItems(deepSdks + "/MacOSX10.9.sdk").size(), 1u);
    EXPECT_TRUE(exists(deepSdks + "/.MacOSX10.9.sdk.tarnwick-journal"));
    umount2(deep.c_str(), MNT_DETACH);

    // Under a real-time policy, RLIMIT_RTTIME sends SIGXCPU, then SIGKILL, to
    // a process that computes too long without waiting: the caller would
    // choose the moment of the copy at which root Tool ends.
    if (!realTimeAllowed())
        GTEST_SKIP() << "no real-time policy may be taken here";
    for (int i = 0; i < 4; ++i)
        userFile(incoming + "/large" + std::to_string(i), 0644, std::string(32 << 20, 'x'));
    const ToolLaunch realTimeLaunch{
        .pkexecUid = nobody, .limits = {{RLIMIT_RTTIME, realTimeBudget, true}}, .realTime = true};
    const ToolResult realTime = runToolAs(sdks, {"Copy", incoming, imported}, realTimeLaunch);
    EXPECT_EQ(realTime.exitCode, 0) << "ended by a signal";
    EXPECT_EQ(statusOf(imported + "/large3").st_size, 32 << 20);
    EXPECT_TRUE(hiddenItems(sdks).empty());
}

TEST_F(RootRightsTest, ADestinationInsideItsOwnSourceIsRefused)
{
    writeFile(home + "/tree/inner/file", "f");
    fs::create_directory_symlink("tree", home + "/link");
    for (const auto &entry : fs::recursive_directory_iterator(home))
        EXPECT_EQ(lchown(entry.path().c_str(), nobody, nogroup), 0);
    const TreeSnapshot tree = snapshotTree(home + "/tree", true);
    for (const std::string &destination : {home + "/link/copy", home + "/link/inner/copy"}) {
        EXPECT_TRUE(ended(run({"Copy", home + "/tree", destination}), 1, "into itself"));
        EXPECT_EQ(snapshotTree(home + "/tree", true), tree);
    }
    EXPECT_EQ(run({"Copy", home + "/tree", home + "/tree/inner/copy"}).exitCode, 2) << "seen in the list already";
}

TEST_F(RootRightsTest, ExportedItemsBelongToTheUserWhoAsked)
{
    const std::string sdk = sdks + "/MacOSX10.9.sdk";
    writeFile(sdk + "/System/header.h", "h");
    writeFile(sdk + "/System/tool", "t");
    chmod((sdk + "/System/tool").c_str(), 04755);
    fs::create_symlink("header.h", sdk + "/System/link.h");
    // Folders shared with everybody: owned by root, or by a third user.
    for (const uid_t owner : {uid_t(0), uid_t(12345)}) {
        SCOPED_TRACE(owner);
        const std::string shared = base + "/shared" + std::to_string(owner);
        folder(shared, 01777, owner, owner);
        ASSERT_TRUE(ended(run({"Copy", sdk, shared + "/MacOSX10.9.sdk"}), 0));
        for (const auto &entry : fs::recursive_directory_iterator(shared)) {
            const struct stat status = statusOf(entry.path());
            EXPECT_EQ(status.st_uid, nobody) << entry.path();
            EXPECT_EQ(status.st_gid, nogroup) << entry.path();
        }
        EXPECT_EQ(statusOf(shared + "/MacOSX10.9.sdk/System/tool").st_mode & 07777, 0755u)
            << "root's set-id program becomes the user's plain one";
    }
}
