// A fix or a restore changes each SDK completely or not at all: when an
// action fails, and when Tool is killed at any point, after which the
// "Undo" the row offers puts the SDK back byte for byte.

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"
#include "sample_sdks.h"
#include "tool_launch.h"
#include "tree_snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using PlanWriter = void (*)(QStringList &, const QString &, const FrameworkLayout &);

class AllOrNothingTest : public ToolTreeTest
{
protected:
    const FrameworkLayout layout{QString::fromStdString(sdks)};

    static std::string sdkName(int minor) { return "MacOSX10." + std::to_string(minor) + ".sdk"; }
    std::string pathOf(int minor) const { return sdks + "/" + sdkName(minor); }

    std::vector<std::string> plan(PlanWriter write, const std::vector<int> &minors) const
    {
        QStringList actions;
        for (const int minor : minors)
            write(actions, QString::fromStdString(sdkName(minor)), layout);
        return words(actions);
    }

    // Fresh SDKs, fixed when asked.
    void reset(const std::vector<int> &minors, bool fixed)
    {
        fs::remove_all(sdks);
        fs::create_directories(sdks);
        makeSampleSdk(sdks, "10.6");
        for (const int minor : minors)
            makeSampleSdk(sdks, "10." + std::to_string(minor));
        if (fixed) {
            ASSERT_EQ(run(plan(addFixActions, minors)).exitCode, 0);
        }
    }

    std::map<int, TreeSnapshot> snapshots(const std::vector<int> &minors, bool withTimes) const
    {
        std::map<int, TreeSnapshot> trees;
        for (const int minor : minors)
            trees[minor] = snapshotTree(pathOf(minor), withTimes);
        return trees;
    }

    // The SDK whose group holds the action at position (1 for the first).
    int minorOfAction(const std::vector<std::string> &actions, std::size_t position) const
    {
        const std::string &verb = actions[3 * (position - 1)];
        const std::string &changed = actions[3 * (position - 1) + (verb == "Copy" ? 2 : 1)];
        const std::string below = changed.substr(sdks.size() + 1);
        const std::string sdk = below.substr(0, below.find('/'));
        return std::stoi(sdk.substr(sdk.find('.') + 1));
    }
};

struct Case {
    const char *name;
    PlanWriter write;
    bool fixedBefore;
    std::vector<int> minors;
};

std::vector<Case> cases()
{
    std::vector<Case> all;
    for (int minor = 7; minor <= 13; ++minor) {
        all.push_back({"fix", addFixActions, false, {minor}});
        all.push_back({"restore", addRestoreActions, true, {minor}});
    }
    all.push_back({"fix all", addFixActions, false, {7, 8, 9, 10, 11, 12, 13}});
    all.push_back({"restore all", addRestoreActions, true, {7, 8, 9, 10, 11, 12, 13}});
    return all;
}

} // namespace

TEST_F(AllOrNothingTest, EachFailedActionLeavesItsSdkAsItWasAndTheOthersChanged)
{
    for (const Case &test : cases()) {
        SCOPED_TRACE(std::string(test.name) + " 10." + std::to_string(test.minors.front()));
        reset(test.minors, test.fixedBefore);
        const std::vector<std::string> actions = plan(test.write, test.minors);
        ASSERT_EQ(run(actions).exitCode, 0);
        const std::map<int, TreeSnapshot> changed = snapshots(test.minors, false);

        for (std::size_t failing = 1; failing <= actions.size() / 3; ++failing) {
            SCOPED_TRACE(failing);
            reset(test.minors, test.fixedBefore);
            const std::map<int, TreeSnapshot> before = snapshots(test.minors, true);
            const ToolResult result = run(actions, {.failAction = static_cast<int>(failing)});
            EXPECT_TRUE(ended(result, 1, " unchanged ", &ToolResult::standardOutput));
            const int failed = minorOfAction(actions, failing);
            for (const int minor : test.minors) {
                if (minor == failed) {
                    EXPECT_EQ(snapshotTree(pathOf(minor), true), before.at(minor)) << "10." << minor << " as it was";
                } else {
                    EXPECT_EQ(snapshotTree(pathOf(minor)), changed.at(minor)) << "10." << minor << " fully changed";
                }
            }
            EXPECT_EQ(hiddenItems(sdks), std::vector<std::string>{}) << "nothing of Tool's own is left";
        }
    }
}

TEST_F(AllOrNothingTest, AMissingSourceChangesNothingAndTheNextSdkIsStillFixed)
{
    reset({7, 12}, false);
    fs::remove_all(sdks + "/MacOSX10.6.sdk/System/Library/Frameworks/QuickTime.framework");
    const TreeSnapshot twelve = snapshotTree(pathOf(12), true);
    const ToolResult result = run(plan(addFixActions, {12, 7}));
    EXPECT_EQ(snapshotTree(pathOf(12), true), twelve) << "no action of 10.12 ran, as its last one could not";
    const auto output = &ToolResult::standardOutput;
    EXPECT_TRUE(ended(result, 1, "QuickTime.framework\" failed: source: No such file", output));
    EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK("MacOSX10.7.sdk"));
    EXPECT_TRUE(ended(result, 1, "group 17 18 done", output));
}

// Kill points: every write of the journal, before and after it is synced,
// and every item a copy makes, so mid-copy too; a stride keeps the count
// within reason on a large SDK.
TEST_F(AllOrNothingTest, KilledAnywhereTheUndoPutsTheSdkBackAsItWas)
{
    int pointsTried = 0;
    for (const bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "restore" : "fix");
        const auto prepare = [&] {
            reset({12}, restore);
            const std::string headers = layout.qdFrameworkPathToHeaderDirectory("", "MacOSX10.6.sdk").toStdString();
            for (int i = 0; !restore && i < 150; ++i)
                writeFile(headers + "/Extra" + std::to_string(i) + ".h", std::string(100, 'h'));
        };
        prepare();
        const std::vector<std::string> actions = plan(restore ? addRestoreActions : addFixActions, {12});
        ASSERT_EQ(run(actions).exitCode, 0);
        const TreeSnapshot changed = snapshotTree(pathOf(12));

        bool finished = false;
        for (int point = 1; !finished; point += 2) {
            SCOPED_TRACE(point);
            prepare();
            const TreeSnapshot before = snapshotTree(pathOf(12), true);
            const ToolResult killed = run(actions, {.killAt = point});
            finished = killed.exitCode == 0;
            if (finished)
                break;
            ++pointsTried;
            const std::string journal = readFile(sdks + "/.MacOSX10.12.sdk.tarnwick-journal");
            const bool committed = journal.find("\ncommit\n") != std::string::npos;
            EXPECT_TRUE(ended(run({"Undo", pathOf(12), ""}), 0));
            if (committed) {
                EXPECT_EQ(snapshotTree(pathOf(12)), changed) << "a committed change is finished";
            } else {
                EXPECT_EQ(snapshotTree(pathOf(12), true), before) << "put back as it was";
            }
            EXPECT_EQ(hiddenItems(sdks), std::vector<std::string>{}) << "nothing of Tool's own is left";
        }
    }
    std::cout << "kill points tried: " << pointsTried << std::endl;
    EXPECT_GT(pointsTried, 80);
}

TEST_F(AllOrNothingTest, AnInterruptedChangeBlocksTheNextUntilItIsUndone)
{
    reset({9}, false);
    const std::vector<std::string> actions = plan(addFixActions, {9});
    writeFile(sdks + "/.MacOSX10.9.sdk.tarnwick-journal", "tarnwick-journal 1\n");
    const TreeSnapshot before = snapshotTree(pathOf(9), true);
    EXPECT_TRUE(ended(run(actions), 1, "was interrupted or is still under way", &ToolResult::standardOutput));
    EXPECT_EQ(snapshotTree(pathOf(9), true), before);

    EXPECT_TRUE(ended(run({"Undo", pathOf(9), ""}), 0));
    EXPECT_EQ(hiddenItems(sdks), std::vector<std::string>{}) << "nothing of Tool's own is left";
    EXPECT_EQ(run(actions).exitCode, 0);
    EXPECT_EQ(run({"Undo", sdks + "/MacOSX10.9.sdk", "", "Undo", sdks + "/Other", ""}).exitCode, 2)
        << "only SDKs of the SDK directory";

    // A journal is the SDK owner's to write: it moves nothing of another SDK.
    const std::string six = layout.qdFrameworkPathToHeaderDirectory("Headers", "MacOSX10.6.sdk").toStdString();
    const TreeSnapshot sixBefore = snapshotTree(sdks + "/MacOSX10.6.sdk", true);
    writeFile(sdks + "/.MacOSX10.9.sdk.tarnwick-journal",
              "tarnwick-journal 1\nMove \"" + six + "\" \"" + pathOf(9) + "/stolen\"\ndone\n");
    EXPECT_TRUE(ended(run({"Undo", pathOf(9), ""}), 1, "names items outside the SDK", &ToolResult::standardOutput));
    EXPECT_EQ(snapshotTree(sdks + "/MacOSX10.6.sdk", true), sixBefore);
}
