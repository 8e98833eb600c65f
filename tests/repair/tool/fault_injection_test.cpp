// Tool under faults the file system or a second process can cause: a full
// disk, a kill in the middle of a copy, unreadable and unwritable items, two
// runs at once, and links swapped in while it works. Nothing of the user's
// may be lost, and nothing may be done outside the SDK directory.

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"
#include "sample_sdks.h"
#include "tool_launch.h"
#include "tree_snapshot.h"

#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class FaultTest : public ToolTreeTest
{
protected:

    void fill(const std::string &folder, int files, std::size_t bytes)
    {
        fs::create_directories(folder);
        const std::string block(bytes, 'x');
        for (int i = 0; i < files; ++i)
            writeFile(folder + "/f" + std::to_string(i), block);
    }
};

} // namespace

TEST_F(FaultTest, CopyOntoAFullDiskLeavesNothingBehindAndGoesOn)
{
    const std::string small = base + "/small";
    fs::create_directories(small);
    if (geteuid() != 0 || mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "needs root and the right to mount a small tmpfs";
    fill(base + "/big", 4, 200 * 1024);
    writeFile(base + "/little", "little");
    const TreeSnapshot source = snapshotTree(base + "/big", true);

    const ToolResult result = run({"Copy", base + "/big", small + "/big", "Copy", base + "/little", small + "/little"});
    EXPECT_TRUE(ended(result, 1, "No space left"));
    EXPECT_FALSE(exists(small + "/big"));
    EXPECT_TRUE(hiddenItems(small).empty()) << "the partial copy is removed";
    EXPECT_EQ(readFile(small + "/little"), "little") << "the next action still ran";
    EXPECT_EQ(snapshotTree(base + "/big", true), source);
    umount(small.c_str());
}

TEST_F(FaultTest, KilledInTheMiddleOfACopyLeavesNothingUnderTheDestinationName)
{
    fill(base + "/source", 3000, 64 * 1024);
    const TreeSnapshot source = snapshotTree(base + "/source", true);
    const std::string target = base + "/target";
    fs::create_directories(target);

    QProcess tool;
    startTool(tool, sdks, {"Copy", base + "/source", target + "/copy"});
    ASSERT_TRUE(tool.waitForStarted());
    // Wait until the copy is under way, then kill without warning.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hiddenItems(target).empty() || tool.state() == QProcess::NotRunning; }, 10000));
    if (tool.state() == QProcess::NotRunning)
        GTEST_SKIP() << "the copy finished before it could be interrupted";
    kill(static_cast<pid_t>(tool.processId()), SIGKILL);
    tool.waitForFinished();

    EXPECT_FALSE(exists(target + "/copy"));
    for (const std::string &name : hiddenItems(target))
        EXPECT_EQ(name.rfind(".copy.tarnwick-copy-", 0), 0u) << "a recognisable hidden temporary: " << name;
    EXPECT_EQ(snapshotTree(base + "/source", true), source);
}

TEST_F(FaultTest, UnreadableSourcesAndUnwritableDestinationsFailCleanly)
{
    // Root reads and writes everything; the tool then runs as nobody.
    ToolLaunch launch;
    if (geteuid() == 0)
        launch.user = 65534;
    fill(base + "/source", 3, 10);
    chmod((base + "/source/f1").c_str(), 0);
    const std::string writable = base + "/writable", locked = base + "/locked";
    fs::create_directories(writable);
    fs::create_directories(locked);
    if (geteuid() == 0)
        EXPECT_EQ(chown(writable.c_str(), 65534, 65534), 0);
    else
        chmod(locked.c_str(), 0555);
    writeFile(base + "/ok", "ok");

    const ToolResult result = run({"Copy", base + "/source", writable + "/copy",
                                   "Copy", base + "/ok", locked + "/ok",
                                   "Copy", base + "/ok", writable + "/ok"},
                                  launch);
    EXPECT_TRUE(ended(result, 1, "cannot read " + QByteArray::fromStdString(base) + "/source/f1"));
    EXPECT_TRUE(ended(result, 1, "Permission denied"));
    EXPECT_FALSE(exists(writable + "/copy"));
    EXPECT_TRUE(hiddenItems(writable).empty());
    EXPECT_FALSE(exists(locked + "/ok"));
    EXPECT_EQ(readFile(writable + "/ok"), "ok");
}

TEST_F(FaultTest, TwoFixesAtOnceFixTheSdkOnceAndLoseNothing)
{
    makeSampleSdk(sdks, "10.6");
    const FrameworkLayout layout(QString::fromStdString(sdks));
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        const std::string sdk = sdks + "/MacOSX10.12.sdk";
        fs::remove_all(sdk);
        makeSampleSdk(sdks, "10.12");
        const TreeSnapshot original = snapshotTree(sdk);
        QStringList fix;
        addFixActions(fix, "MacOSX10.12.sdk", layout);

        QProcess first, second;
        for (QProcess *tool : {&first, &second})
            startTool(*tool, sdks, words(fix));
        // Each may lose some actions to the other; together they fix the SDK.
        ASSERT_TRUE(first.waitForFinished(20000) && second.waitForFinished(20000));

        EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK("MacOSX10.12.sdk"));
        EXPECT_TRUE(hiddenItems(layout.qdFrameworkPathToHeaderDirectory("", "MacOSX10.12.sdk").toStdString()).empty());

        // The restore brings back every item the fixes set aside: none was lost.
        QStringList restore;
        addRestoreActions(restore, "MacOSX10.12.sdk", layout);
        EXPECT_TRUE(ended(runTool(QString::fromStdString(sdks), restore), 0));
        EXPECT_EQ(snapshotTree(sdk), original) << "a restore brings the SDK back whole";
    }
}

TEST_F(FaultTest, LinksSwappedInDuringARunNeverLeadOutside)
{
    const std::string inside = sdks + "/MacOSX10.9.sdk/System/F";
    const std::string decoy = sdks + "/MacOSX10.9.sdk/System/decoy";
    const std::string outside = base + "/outside";
    fill(outside, 400, 8);
    const TreeSnapshot untouched = snapshotTree(outside, true);

    // With openat2, and with the walk that stands in for it.
    for (const int openat2Error : {0, ENOSYS}) {
        SCOPED_TRACE(openat2Error);
        fill(inside, 400, 8);
        if (!exists(decoy))
            fs::create_directory_symlink(outside, decoy);
        std::vector<std::string> actions;
        for (int i = 0; i < 400; ++i)
            actions.insert(actions.end(), {"Remove", inside + "/f" + std::to_string(i), ""});

        // Swap the folder and a link to the outside, back and forth,
        // atomically, for as long as the tool runs.
        std::atomic<bool> running{true};
        std::thread swapper([&] {
            while (running)
                renameat2(AT_FDCWD, inside.c_str(), AT_FDCWD, decoy.c_str(), RENAME_EXCHANGE);
        });
        const ToolResult result = run(actions, {.openat2Error = openat2Error});
        running = false;
        swapper.join();

        EXPECT_NE(result.exitCode, 2);
        EXPECT_EQ(snapshotTree(outside, true), untouched) << "nothing outside the SDK directory was removed";
        if (fs::is_symlink(inside)) // leave the folder in its place for the next round
            renameat2(AT_FDCWD, inside.c_str(), AT_FDCWD, decoy.c_str(), RENAME_EXCHANGE);
    }
}
