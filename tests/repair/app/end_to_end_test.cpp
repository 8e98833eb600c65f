// The window with the real Tool: what Tool writes about a run reaches the
// window, and an import makes a missing SDK directory.

#include "tarnwick_fixture.h"

#include "sample_sdks.h"

#include <QRegularExpression>

#include <sys/stat.h>

using EndToEndTest = TarnwickTest;

TEST_F(EndToEndTest, AnExportShowsTheToolsProgress)
{
    makeSampleSdks({"10.6", "10.13"});
    writeFile((sdks + "/MacOSX10.13.sdk/usr/lib/big").toStdString(), std::string(4'000'000, 'x'));
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);
    QStringList shown;
    QObject::connect(&tool, &ActionRunner::runReported, window.get(),
                     [&] { shown << window->progressLabel->text(); });

    exportRow("MacOSX10.13.sdk", elsewhere);
    dismiss(delegate->alertSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress; }, 30000));
    EXPECT_FALSE(delegate->failureSheet);

    // Tool counts before it copies and reports once more at the end.
    const QRegularExpression amounts("^Exporting 1 SDK: ([\\d.]+) of ([\\d.]+) MB$");
    const QStringList withAmounts = shown.filter(amounts);
    ASSERT_FALSE(withAmounts.isEmpty()) << shown.join(" | ").toStdString();
    const auto last = amounts.match(withAmounts.last());
    EXPECT_EQ(last.captured(1), last.captured(2)) << "all of it copied";
    EXPECT_EQ(last.captured(2), "4.0");
}

TEST_F(EndToEndTest, AFailedCopyReachesTheFailureSheet)
{
    makeSampleSdks({"10.6"});
    link("gone.sdk", sdks + "/MacOSX10.14.sdk");
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);

    exportRow("MacOSX10.14.sdk", elsewhere);
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->failureSheet; }, 30000));
    EXPECT_EQ(delegate->failureSheet->text(), "1 of 1 SDK could not be exported.");
    EXPECT_TRUE(delegate->failureSheet->informativeText().contains(sdks + "/gone.sdk"))
        << delegate->failureSheet->informativeText().toStdString();
    EXPECT_FALSE(delegate->importExportInProgress);
}

// No SDK directory at all: the 10.6 SDK is imported into it all the same,
// since the tool makes the folder for the copy.
TEST_F(EndToEndTest, AnImportMakesTheMissingSdkDirectory)
{
    QDir(sdks).removeRecursively();
    makeSampleSdks({"10.6"}, elsewhere);
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);
    dismiss(delegate->missing10_6Sheet);

    import({elsewhere + "/MacOSX10.6.sdk"});
    EXPECT_EQ(lastMessage(), "Importing SDKs...");
    dismiss(delegate->alertSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress; }, 30000));
    EXPECT_FALSE(delegate->failureSheet);
    struct stat status;
    ASSERT_EQ(stat(sdks.toUtf8().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.6.sdk").toStdString()),
              snapshotTree((elsewhere + "/MacOSX10.6.sdk").toStdString()));
    EXPECT_EQ(window->sdkTable->numberOfRows(), 1);
}
