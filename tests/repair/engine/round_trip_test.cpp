// Fix and restore carried out by the real Tool on realistic SDK trees: a
// restore must give back exactly the SDK that was fixed.

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"
#include "sample_sdks.h"
#include "tool_process.h"
#include "tree_snapshot.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class RoundTripTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.path();
    std::string sdkDirectory = sdks.toStdString();
    FrameworkLayout layout{sdks};

    void SetUp() override { makeSampleSdk(sdkDirectory, "10.6"); }

    static QString sdkOf(int minor) { return QStringLiteral("MacOSX10.%1.sdk").arg(minor); }
    std::string pathOf(const QString &sdk) const { return sdkDirectory + '/' + sdk.toStdString(); }

    ToolResult carryOut(const QStringList &actions) { return runTool(sdks, actions); }

    // Every "Copy" and "Move" of the fix leaves its destination as its
    // source was before; the restore gives back the SDK as it was.
    void fixAndRestore(const QString &sdk);
};

void RoundTripTest::fixAndRestore(const QString &sdk)
{
    const TreeSnapshot original = snapshotTree(pathOf(sdk));
    QStringList fix;
    addFixActions(fix, sdk, layout);
    std::map<QString, TreeSnapshot> before; // every first operand
    for (qsizetype i = 0; i < fix.size(); i += 3)
        before[fix[i + 1]] = snapshotItem(fix[i + 1].toStdString());
    ToolResult result = carryOut(fix);
    ASSERT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK(sdk));
    for (qsizetype i = 0; i < fix.size(); i += 3) {
        if (fix[i] != "Remove") {
            EXPECT_EQ(snapshotItem(fix[i + 2].toStdString()), before.at(fix[i + 1])) << fix[i + 2].toStdString();
        }
    }

    QStringList restore;
    addRestoreActions(restore, sdk, layout);
    EXPECT_EQ(restore.size(), fix.size());
    result = carryOut(restore);
    ASSERT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(snapshotTree(pathOf(sdk)), original) << "and so no set-aside item either";
}

} // namespace

// An SDK may also hold its own copies of the headers that a fix adds (one
// of them as a link that leads nowhere): the fix sets them aside like every
// item it replaces, and the restore gives back the identical SDK.
TEST_F(RoundTripTest, FixThenRestoreGivesBackTheSdkForEveryMinorNumber)
{
    const TreeSnapshot source = snapshotTree(pathOf("MacOSX10.6.sdk"));
    for (int minor = 7; minor <= 13; ++minor) {
        SCOPED_TRACE(minor);
        const QString sdk = sdkOf(minor);
        makeSampleSdk(sdkDirectory, "10." + std::to_string(minor));
        fixAndRestore(sdk);

        const QString added[] = {
            layout.colorSyncFrameworkPathToHeader("ColorSyncDeprecated.h", sdk),
            layout.printCoreFrameworkPathToHeader("PMCoreDeprecated.h", sdk),
            layout.printFrameworkPathToHeader("PMApplicationDeprecated.h", sdk),
        };
        for (const QString &header : added)
            writeFile(header.toStdString(), "the SDK's own\n");
        std::filesystem::create_symlink("nowhere.h", layout.printCoreFrameworkPathToHeader("PMDefinitionsDeprecated.h", sdk).toStdString());
        fixAndRestore(sdk);
    }
    EXPECT_EQ(snapshotTree(pathOf("MacOSX10.6.sdk")), source) << "the source SDK is never changed";
}
