// The window with the real Tool: what Tool writes about a run reaches the
// window, an export copies what a row's link names, and an import makes a
// missing SDK directory.

#include "tarnwick_fixture.h"

#include "sample_sdks.h"

#include <QRegularExpression>

#include <sys/stat.h>

using EndToEndTest = TarnwickTest;

TEST_F(EndToEndTest, AnExportShowsTheToolsProgress)
{
    makeSampleSdks({"10.6", "10.13"});
    writeFile((sdks + "/MacOSX10.13.sdk/usr/lib/big").toStdString(), std::string(4'000'000, 'x'));
    link("MacOSX10.13.sdk/", sdks + "/MacOSX10.12.sdk");
    ToolRunner tool(toolForTestsPath(), {});
    launchWith(tool);
    QStringList shown;
    QObject::connect(&tool, &ActionRunner::runReported, window.get(),
                     [&] { shown << window->progressLabel->text(); });

    exportRow("MacOSX10.12.sdk", elsewhere);
    EXPECT_FALSE(delegate->importBtn->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->alertSheet; }, 10000));
    dismiss(delegate->alertSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress; }, 30000));
    EXPECT_FALSE(delegate->failureSheet);
    EXPECT_EQ(snapshotTree((elsewhere + "/MacOSX10.12.sdk").toStdString(), true),
              snapshotTree((sdks + "/MacOSX10.13.sdk").toStdString(), true))
        << "the linked SDK's folder, complete, under the row's name";

    // Tool counts before it copies and reports once more at the end.
    const QRegularExpression amounts("^Exporting 1 SDK: ([\\d.]+) of ([\\d.]+) MB$");
    const QStringList withAmounts = shown.filter(amounts);
    ASSERT_FALSE(withAmounts.isEmpty()) << shown.join(" | ").toStdString();
    const auto last = amounts.match(withAmounts.last());
    EXPECT_EQ(last.captured(1), last.captured(2)) << "all of it copied";
    EXPECT_EQ(last.captured(2), "4.0");
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->alertSheet; }, 10000));
    EXPECT_EQ(lastMessage(), "Importing SDKs...");
    dismiss(delegate->alertSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress; }, 30000));
    EXPECT_FALSE(delegate->failureSheet);
    struct stat status;
    ASSERT_EQ(stat(sdks.toUtf8().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.6.sdk").toStdString(), true),
              snapshotTree((elsewhere + "/MacOSX10.6.sdk").toStdString(), true));
    EXPECT_EQ(window->sdkTable->numberOfRows(), 1);
}
