#include "tarnwick_fixture.h"

#include "fix_plan.h"
#include "qt_printers.h"
#include "restore_plan.h"
#include "sample_sdks.h"
#include "tool_process.h"
#include "tool_runner.h"

#include <QPushButton>
#include <QTest>

TEST_F(TarnwickTest, FixAllTakesEveryUnfixedSdkOfTheRangeInOneList)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.11.sdk",
              "MacOSX10.13.sdk", "MacOSX10.14.sdk"},
             {"MacOSX10.11.sdk"});
    launch();
    window->setAltKeyDown(true);
    delegate->fixAllBtn->click();
    const FrameworkLayout layout(sdks);
    QStringList expected;
    for (const char *sdk : {"MacOSX10.7.sdk", "MacOSX10.9.sdk", "MacOSX10.13.sdk"})
        addFixActions(expected, sdk, layout);
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0], expected);
    EXPECT_FALSE(window->altKeyDown());
}

TEST_F(TarnwickTest, RestoreAllSkipsSdksOutsideTheRange)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk"},
             {"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.12.sdk", "MacOSX10.14.sdk", "MacOSX11.1.sdk"});
    launch();
    delegate->restoreAllBtn->click();
    const FrameworkLayout layout(sdks);
    QStringList expected;
    addRestoreActions(expected, "MacOSX10.8.sdk", layout);
    addRestoreActions(expected, "MacOSX10.12.sdk", layout);
    ASSERT_EQ(runner.calls.size(), 1);
    EXPECT_EQ(runner.calls[0], expected);
}

TEST_F(TarnwickTest, NothingToDoCallsNothing)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.14.sdk"}, {"MacOSX10.8.sdk"});
    launch();
    delegate->fixAllAction();
    window->setAltKeyDown(true);
    makeSdks({}, {});
    QDir(sdks + "/MacOSX10.8.sdk").removeRecursively();
    delegate->restoreAllAction();
    EXPECT_TRUE(runner.calls.isEmpty());
    EXPECT_FALSE(window->altKeyDown()) << "cleared even with nothing to do";
}

TEST_F(TarnwickTest, RowButtonsFixRestoreBeepOrExport)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.10.sdk", "MacOSX11.1.sdk"}, {"MacOSX10.10.sdk"});
    launch();
    const FrameworkLayout layout(sdks);
    QStringList fix, restore;
    addFixActions(fix, "MacOSX10.8.sdk", layout);
    addRestoreActions(restore, "MacOSX10.10.sdk", layout);

    rowButton("MacOSX10.8.sdk")->click();
    rowButton("MacOSX10.10.sdk")->click();
    ASSERT_EQ(runner.calls.size(), 2);
    EXPECT_EQ(runner.calls[0], fix);
    EXPECT_EQ(runner.calls[1], restore);

    delegate->tableButtonAction(rowButton("MacOSX10.6.sdk"));
    delegate->tableButtonAction(rowButton("MacOSX11.1.sdk"));
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(runner.calls.size(), 2);

    pressAlt(true);
    rowButton("MacOSX10.6.sdk")->click();
    EXPECT_FALSE(window->altKeyDown()) << "the Alt state is spent on the export";
    EXPECT_EQ(runner.calls.size(), 2);
}

TEST_F(TarnwickTest, RefusedAuthorizationChangesNothing)
{
    makeSdks({"MacOSX10.6.sdk", "MacOSX10.8.sdk", "MacOSX10.9.sdk"});
    launch();
    runner.granted = false;
    delegate->fixAllAction();
    EXPECT_EQ(runner.calls.size(), 1);
    EXPECT_FALSE(delegate->importExportInProgress);
    EXPECT_TRUE(delegate->fixAllBtn->isEnabled());
    EXPECT_FALSE(delegate->restoreAllBtn->isEnabled());
    EXPECT_TRUE(delegate->importBtn->isEnabled());
    EXPECT_EQ(rowState("MacOSX10.8.sdk").title, "Fix");
}

TEST_F(TarnwickTest, ShowInFilesOpensTheSdkDirectory)
{
    launch();
    window->showInFilesButton->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(sdks));
}

TEST_F(TarnwickTest, FixAndRestoreThroughTheRealTool)
{
    makeSampleSdk(sdks.toStdString(), "10.6");
    makeSampleSdk(sdks.toStdString(), "10.9");
    qputenv("TARNWICK_TEST_SDK_DIRECTORY", sdks.toUtf8());
    ToolRunner tool(toolForTestsPath(), {});
    window = std::make_unique<Window>();
    delegate = std::make_unique<AppDelegate>(window.get(), sdks, &tool);
    window->show();
    delegate->applicationDidFinishLaunching();

    ASSERT_EQ(rowState("MacOSX10.9.sdk").title, "Fix");
    QTest::mouseClick(rowButton("MacOSX10.9.sdk"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return delegate->restoreAllBtn->isEnabled(); }, 10000));
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Restore");
    EXPECT_FALSE(delegate->fixAllBtn->isEnabled());
    QTest::mouseClick(rowButton("MacOSX10.9.sdk"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return rowState("MacOSX10.9.sdk").title == "Fix"; }, 10000));
}
