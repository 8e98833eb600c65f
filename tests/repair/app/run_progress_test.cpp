// Runs of Tool, or of a stand-in that reports as Tool does but can be held
// halfway: progress below the table while a run is under way, how it
// ended, and runs that overlap.

#include "tarnwick_fixture.h"

#include "framework_layout.h"

#include <QRegularExpression>
#include <QSignalSpy>

using RunProgressTest = TarnwickTest;

// The fix of one SDK ends before the second click of a double-click on its
// "Fix": that click meets "Restore", and must not restore.
TEST_F(RunProgressTest, ADoubleClickOnFixLeavesTheSdkFixed)
{
    makeSampleSdks({"10.6", "10.9"});
    ToolRunner standIn(standInToolPath(), {});
    launchWith(standIn);
    const FrameworkLayout layout(sdks);

    doubleClick(rowButton("MacOSX10.9.sdk"), [&] {
        return rowState("MacOSX10.9.sdk").title == "Restore" && rowState("MacOSX10.9.sdk").enabled;
    });
    EXPECT_FALSE(busy()) << "no second run";
    EXPECT_EQ(statusLine(), "MacOSX10.9.sdk fixed.");
    EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK("MacOSX10.9.sdk"));

    // A click of its own, later, does restore.
    QTest::qWait(QApplication::doubleClickInterval());
    click(rowButton("MacOSX10.9.sdk"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusLine() == "MacOSX10.9.sdk restored."; }, 10000));
    EXPECT_FALSE(layout.doesQDHeaderOrigExistInSDK("MacOSX10.9.sdk"));
}

// A fix is under way when an export starts; the fix ends first. The export
// is still copying, and shows how far it is: the window must stay busy
// until the export itself ends. Meanwhile only what the fix touches is off,
// and the main buttons.
TEST_F(RunProgressTest, TheEndOfAnEarlierFixLeavesAnExportBusy)
{
    makeSampleSdks({"10.6", "10.9"});
    ToolRunner standIn(standInToolPath(), {});
    launchWith(standIn);
    EXPECT_FALSE(window->progressBar->isVisible());

    holdNextRun("first");
    click(rowButton("MacOSX10.9.sdk"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->progressLabel->text().startsWith("Fixing 1 SDK"); }, 10000));
    EXPECT_TRUE(busy());
    EXPECT_FALSE(rowState("MacOSX10.9.sdk").enabled);
    rowView("MacOSX10.9.sdk")->setFocus();
    QMenu *menu = openMenuOfFocus();
    ASSERT_NE(menu, nullptr);
    for (const QAction *item : menu->actions())
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    menu->close();

    holdNextRun("second");
    exportRow("MacOSX10.6.sdk", elsewhere);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->progressBar->isVisible() && window->progressBar->value() >= 500; },
                                10000))
        << "held halfway";
    EXPECT_LT(window->progressBar->value(), 1000);
    const QString text = window->progressLabel->text();
    EXPECT_TRUE(QRegularExpression("^Exporting 1 SDK: \\d+\\.\\d of \\d+\\.\\d kB$").match(text).hasMatch())
        << text.toStdString();
    EXPECT_EQ(lastMessage(), "Exporting SDKs...");
    EXPECT_TRUE(busy());

    // Waits for the fix's end itself: activating the window may reload the
    // table at any time.
    const int reloads = window->sdkTable->reloadCount();
    QSignalSpy ends(&standIn, &ActionRunner::toolQuitNotification);
    release("first");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 10000)) << "the fix ended";
    EXPECT_GT(window->sdkTable->reloadCount(), reloads) << "the table was built again";
    EXPECT_TRUE(FrameworkLayout(sdks).doesQDHeaderOrigExistInSDK("MacOSX10.9.sdk"));
    EXPECT_TRUE(delegate->importExportInProgress());
    EXPECT_TRUE(busy());
    EXPECT_FALSE(rowState("MacOSX10.9.sdk").enabled);
    EXPECT_TRUE(window->progressLabel->text().startsWith("Exporting 1 SDK:"));

    release("second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress(); }, 10000));
    EXPECT_FALSE(busy());
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    EXPECT_FALSE(window->progressBar->isVisible());
    EXPECT_FALSE(delegate->failureSheet()) << "all done: no sheet";
    EXPECT_EQ(lastMessage(), "Exporting SDKs...") << "its sheet stays until dismissed";
    EXPECT_EQ(statusLine(), "MacOSX10.9.sdk fixed. Exported MacOSX10.6.sdk to " + elsewhere + ".");
    EXPECT_TRUE(QFileInfo(elsewhere + "/MacOSX10.6.sdk").isDir());
}
