#include "tarnwick_fixture.h"

#include "fix_plan.h"
#include "restore_plan.h"

// A listed folder without an SDK's name (minor number 9 here) would have
// the whole list refused, every other SDK with it.
TEST_F(TarnwickTest, FixAllTakesEveryUnfixedSdkOfTheRangeInOneList)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.11.sdk", "MacOSX10.13.sdk", "MacOSX10.14.sdk",
            "Backup1.9.zip"},
           {"MacOSX10.11.sdk"});
    pressAlt(true);
    click(delegate->fixAllBtn);
    const FrameworkLayout layout(sdks);
    QStringList expected;
    for (const char *sdk : {"MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk"})
        addFixActions(expected, sdk, layout);
    EXPECT_EQ(runner.calls, QList<QStringList>{expected});
    EXPECT_FALSE(window->altKeyDown());
}

TEST_F(TarnwickTest, RestoreAllSkipsSdksOutsideTheRange)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk", "Backup1.9.zip"},
           {"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk", "Backup1.9.zip"});
    click(delegate->restoreAllBtn);
    const FrameworkLayout layout(sdks);
    QStringList expected;
    addRestoreActions(expected, "MacOSX10.8.sdk", layout);
    addRestoreActions(expected, "MacOSX10.12.sdk", layout);
    EXPECT_EQ(runner.calls, QList<QStringList>{expected});
}

// The table shows the SDK directory as it was at the last end of a tool;
// when something else has changed it since, the buttons may offer what is
// no longer there to do.
TEST_F(TarnwickTest, NothingToDoCallsNothing)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk", "MacOSX10.14.sdk"}, {"MacOSX10.9.sdk"});
    const FrameworkLayout layout(sdks);
    makeSdks({}, {"MacOSX10.8.sdk"});
    pressAlt(true);
    click(delegate->fixAllBtn);
    EXPECT_FALSE(window->altKeyDown()) << "cleared even with nothing to do";
    for (const char *sdk : {"MacOSX10.8.sdk", "MacOSX10.9.sdk"})
        QDir(layout.qdFrameworkPathToHeaderDirectory("Headers_orig", sdk)).removeRecursively();
    click(delegate->restoreAllBtn);
    EXPECT_TRUE(runner.calls.isEmpty());
    EXPECT_FALSE(window->progressBar->isVisible());
}

TEST_F(TarnwickTest, RowButtonsFixRestoreBeepOrExport)
{
    launch({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.10.sdk", "MacOSX11.1.sdk"}, {"MacOSX10.10.sdk"});
    const FrameworkLayout layout(sdks);
    QStringList fix, restore;
    addFixActions(fix, "MacOSX10.8.sdk", layout);
    addRestoreActions(restore, "MacOSX10.10.sdk", layout);

    click(rowButton("MacOSX10.8.sdk"));
    click(rowButton("MacOSX10.10.sdk"));
    EXPECT_EQ(runner.calls, (QList<QStringList>{fix, restore}));

    // Their buttons are hidden, so only the rule itself can be tried.
    delegate->tableButtonAction(rowButton("MacOSX10.6.sdk"));
    delegate->tableButtonAction(rowButton("MacOSX11.1.sdk"));
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(runner.calls.size(), 2);

    pressAlt(true);
    click(rowButton("MacOSX10.6.sdk"));
    EXPECT_FALSE(window->altKeyDown()) << "the Alt state is spent on the export";
    EXPECT_EQ(runner.calls.size(), 2);
}

// The administrator dialog dismissed, through the real runner: no tool runs,
// the SDKs stay as they are, and the window shows no run under way, no
// busy state and no message.
TEST_F(TarnwickTest, RefusedAuthorizationChangesNothing)
{
    makeSampleSdks({"10.6", "10.9"});
    QDir().mkpath(root.filePath("in/MacOSX10.7.sdk"));
    const TreeSnapshot before = snapshotTree(root.path().toStdString());
    ToolRunner dismissing(toolForTestsPath(), {"/bin/sh", "-c", "exit 126", "pkexec"});
    launchWith(dismissing);

    click(delegate->fixAllBtn);
    click(rowButton("MacOSX10.9.sdk"));
    exportRow("MacOSX10.9.sdk", elsewhere);
    import({root.filePath("in/MacOSX10.7.sdk")});
    QCoreApplication::processEvents();

    EXPECT_EQ(snapshotTree(root.path().toStdString()), before);
    EXPECT_FALSE(delegate->importExportInProgress);
    EXPECT_FALSE(window->progressBar->isVisible());
    EXPECT_FALSE(delegate->alertSheet);
    EXPECT_FALSE(delegate->failureSheet);
    EXPECT_TRUE(delegate->fixAllBtn->isEnabled());
    EXPECT_FALSE(delegate->restoreAllBtn->isEnabled());
    EXPECT_TRUE(delegate->exportAllBtn->isEnabled());
    EXPECT_TRUE(delegate->importBtn->isEnabled());
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix");
    EXPECT_TRUE(rowState("MacOSX10.9.sdk").enabled);
}

TEST_F(TarnwickTest, ShowInFilesOpensTheSdkDirectory)
{
    launch();
    window->showInFilesButton->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(sdks));
}
