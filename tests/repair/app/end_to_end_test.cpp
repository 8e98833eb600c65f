// The window with the real Tool: what Tool writes about a run reaches the
// window, a fix that cannot run whole leaves its SDK as it was, a change
// cut short is offered only to be put back, and an import makes a missing
// SDK directory.

#include "tarnwick_fixture.h"

#include "fix_plan.h"

#include <sys/stat.h>

using EndToEndTest = TarnwickTest;

// No SDK directory at all: the 10.6 SDK is imported into it all the same,
// since the tool makes the folder for the copy.
TEST_F(EndToEndTest, AnImportMakesTheMissingSdkDirectory)
{
    QDir(sdks).removeRecursively();
    makeSampleSdks({"10.6"}, elsewhere);
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);
    dismiss(delegate->missing10_6Sheet());

    import({elsewhere + "/MacOSX10.6.sdk"});
    // A copy this small may end before the window hears that it began; then
    // no hand-over is told.
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->alertSheet() || !delegate->importExportInProgress(); }, 30000));
    if (delegate->alertSheet()) {
        EXPECT_EQ(lastMessage(), "Importing SDKs...");
        dismiss(delegate->alertSheet());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress(); }, 30000));
    EXPECT_FALSE(delegate->failureSheet());
    // The new folder's mode and owner are the tool tests' to check.
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.6.sdk").toStdString(), true),
              snapshotTree((elsewhere + "/MacOSX10.6.sdk").toStdString(), true));
    EXPECT_EQ(window->sdkTable->numberOfRows(), 1);
}

// A fix that cannot run whole is not started, or is undone by Tool: the
// row still offers the fix, and the outcome names the SDK and the reason,
// the paths only in the details. A failed copy of an export ends in one
// sheet too, with Tool's words as it wrote them.
TEST_F(EndToEndTest, AFixThatCannotRunWholeLeavesTheSdkAsItWasAndSaysWhy)
{
    makeSampleSdks({"10.6", "10.7", "10.9"});
    link("gone.sdk", sdks + "/MacOSX10.10.sdk");
    const FrameworkLayout layout(sdks);
    const QString headers6 = layout.qdFrameworkPathToHeaderDirectory("Headers", "MacOSX10.6.sdk");
    const TreeSnapshot seven = snapshotTree((sdks + "/MacOSX10.7.sdk").toStdString(), true);
    const TreeSnapshot nine = snapshotTree((sdks + "/MacOSX10.9.sdk").toStdString(), true);
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);

    // Checked before the run: the tool is not even asked.
    chmod(QFile::encodeName(headers6), 0);
    click(rowButton("MacOSX10.7.sdk"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->failureSheet(); }, 10000));
    const QString reason = "MacOSX10.6.sdk/…/QD.framework/Versions/A/Headers cannot be read";
    EXPECT_EQ(delegate->failureSheet()->text(), "MacOSX10.7.sdk was not fixed: " + reason + ".");
    EXPECT_EQ(delegate->failureSheet()->detailedText(), headers6 + " cannot be read");
    EXPECT_EQ(statusLine(), "MacOSX10.7.sdk was not fixed: " + reason + ".");
    dismiss(delegate->failureSheet());
    chmod(QFile::encodeName(headers6), 0755);
    EXPECT_EQ(rowState("MacOSX10.7.sdk").title, "Fix");
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.7.sdk").toStdString(), true), seven);

    // Failed inside the tool (here by its test hook, at the Copy after the
    // Move of the QuickDraw headers): undone there.
    qputenv("TARNWICK_TEST_FAIL_ACTION", "3");
    click(rowButton("MacOSX10.9.sdk"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->failureSheet(); }, 30000));
    qunsetenv("TARNWICK_TEST_FAIL_ACTION");
    EXPECT_EQ(delegate->failureSheet()->text(),
              "MacOSX10.9.sdk could not be fixed and was left as it was: failed as the test asked.");
    EXPECT_TRUE(delegate->failureSheet()->detailedText().contains(headers6)) << delegate->failureSheet()->detailedText().toStdString();
    dismiss(delegate->failureSheet());
    EXPECT_EQ(rowState("MacOSX10.9.sdk").title, "Fix");
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.9.sdk").toStdString(), true), nine);

    exportAll(elsewhere);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->failureSheet(); }, 30000));
    EXPECT_EQ(delegate->failureSheet()->text(), "1 of 4 SDKs could not be exported.");
    EXPECT_EQ(delegate->failureSheet()->informativeText(),
              QString("Copy \"%1/gone.sdk\" to \"%2/MacOSX10.10.sdk\" failed: source: No such file or directory")
                  .arg(sdks, elsewhere));
    EXPECT_EQ(delegate->failureSheet()->windowModality(), Qt::WindowModal);
    EXPECT_FALSE(delegate->alertSheet()) << "\"Exporting SDKs...\" gave way to what really happened";
    EXPECT_EQ(statusLine(), "1 of 4 SDKs could not be exported.") << "no claim of success";
    EXPECT_FALSE(busy());
    EXPECT_FALSE(window->progressBar->isVisible());
    EXPECT_TRUE(QFileInfo(elsewhere + "/MacOSX10.9.sdk").isDir()) << "the other actions were done";
    dismiss(delegate->failureSheet());
}

// A change cut short: the row offers only to put the SDK back, fix all
// passes it over, and putting back brings it back as it was.
TEST_F(EndToEndTest, AnInterruptedChangeIsOfferedOnlyToBePutBack)
{
    makeSampleSdks({"10.6", "10.8", "10.12"});
    const std::string twelve = (sdks + "/MacOSX10.12.sdk").toStdString();
    const TreeSnapshot before = snapshotTree(twelve, true);
    QStringList fix;
    addFixActions(fix, "MacOSX10.12.sdk", FrameworkLayout(sdks));
    qputenv("TARNWICK_TEST_KILL_AT", "12");
    EXPECT_EQ(runTool(sdks, fix).exitCode, -1) << "killed";
    qunsetenv("TARNWICK_TEST_KILL_AT");

    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);
    EXPECT_EQ(rowState("MacOSX10.12.sdk").title, "Put Back");
    EXPECT_TRUE(rowState("MacOSX10.12.sdk").enabled);
    click(window->fixAllButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusLine() == "MacOSX10.8.sdk fixed."; }, 30000)) << statusLine().toStdString();
    EXPECT_EQ(rowState("MacOSX10.12.sdk").title, "Put Back") << "fix all passed it over";

    click(rowButton("MacOSX10.12.sdk"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return statusLine() == "MacOSX10.12.sdk was put back as it was."; }, 30000))
        << statusLine().toStdString();
    EXPECT_FALSE(delegate->failureSheet());
    EXPECT_EQ(rowState("MacOSX10.12.sdk").title, "Fix");
    EXPECT_EQ(snapshotTree(twelve, true), before);
}
