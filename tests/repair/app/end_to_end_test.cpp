// The window with the real Tool: what Tool writes about a run reaches the
// window, and an import makes a missing SDK directory.

#include "tarnwick_fixture.h"

#include "elided_label.h"
#include "qt_printers.h"
#include "sample_sdks.h"
#include "tool_process.h"
#include "tool_runner.h"
#include "tree_snapshot.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <filesystem>
#include <sys/stat.h>

namespace {

class EndToEndTest : public TarnwickTest
{
protected:
    QString elsewhere = root.filePath("elsewhere");
    ToolRunner tool{toolForTestsPath(), {}};

    void SetUp() override
    {
        TarnwickTest::SetUp();
        QDir().mkpath(elsewhere);
        useSdkDirectoryForTools();
    }
};

} // namespace

TEST_F(EndToEndTest, AnExportShowsTheToolsProgress)
{
    makeSampleSdk(sdks.toStdString(), "10.6");
    makeSampleSdk(sdks.toStdString(), "10.13");
    writeFile((sdks + "/MacOSX10.13.sdk/usr/lib/big").toStdString(), std::string(4'000'000, 'x'));
    launchWith(tool);
    QStringList shown;
    QObject::connect(&tool, &ActionRunner::runReported, window.get(),
                     [&] { shown << window->progressLabel->text(); });

    pressAlt(true);
    click(rowButton("MacOSX10.13.sdk"));
    choose({elsewhere});
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
    makeSampleSdk(sdks.toStdString(), "10.6");
    std::filesystem::create_symlink("gone.sdk", (sdks + "/MacOSX10.14.sdk").toStdString());
    launchWith(tool);

    pressAlt(true);
    click(rowButton("MacOSX10.14.sdk"));
    choose({elsewhere});
    ASSERT_TRUE(QTest::qWaitFor([&] { return delegate->failureSheet; }, 30000));
    EXPECT_EQ(delegate->failureSheet->text(), "1 of 1 SDK could not be exported.");
    EXPECT_TRUE(delegate->failureSheet->informativeText().contains(sdks + "/gone.sdk"))
        << delegate->failureSheet->informativeText().toStdString();
    EXPECT_FALSE(delegate->importExportInProgress);
}

TEST_F(EndToEndTest, AnImportMakesTheMissingSdkDirectory)
{
    QDir(sdks).removeRecursively();
    const QString incoming = root.filePath("incoming");
    makeSampleSdk(incoming.toStdString(), "10.6");
    launchWith(tool);
    dismiss(delegate->missing10_6Sheet);

    click(delegate->importBtn);
    choose({incoming + "/MacOSX10.6.sdk"});
    dismiss(delegate->alertSheet);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !delegate->importExportInProgress; }, 30000));
    EXPECT_FALSE(delegate->failureSheet);
    struct stat status;
    ASSERT_EQ(stat(sdks.toUtf8().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0755u);
    EXPECT_EQ(snapshotTree((sdks + "/MacOSX10.6.sdk").toStdString()),
              snapshotTree((incoming + "/MacOSX10.6.sdk").toStdString()));
    EXPECT_EQ(window->sdkTable->numberOfRows(), 1);
}
