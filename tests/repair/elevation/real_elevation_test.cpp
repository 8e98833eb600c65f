// The fix of one SDK through the real pkexec and a real polkitd. This runs
// as an ordinary user inside the private mount namespace that
// real_elevation_test.sh prepares, with the SDK directory itself on a
// tmpfs; anywhere else it skips.

#include "tarnwick_fixture.h"

#include "framework_layout.h"
#include "qt_printers.h"
#include "tool_quit_counter.h"
#include "tool_runner.h"
#include "tree_snapshot.h"

#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <unistd.h>

namespace {

class RealElevationTest : public TarnwickTest
{
protected:
    RealElevationTest() { sdks = SdkCatalogue::defaultSdkDirectory(); }

    // Before the fixture makes the SDK directory: outside the namespace
    // that would be the machine's own.
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("TARNWICK_REAL_ELEVATION"))
            GTEST_SKIP() << "runs inside the namespace that real_elevation_test.sh prepares";
        TarnwickTest::SetUp();
    }
};

} // namespace

TEST_F(RealElevationTest, AnOrdinaryUserFixesAnSdkThroughPkexec)
{
    ASSERT_NE(geteuid(), 0u) << "as an ordinary user, so that pkexec must ask polkit";
    ASSERT_EQ(ToolRunner::defaultElevationCommand().value(0), ToolRunner::elevationProgram());

    QDBusConnection bus = QDBusConnection::systemBus();
    ASSERT_TRUE(bus.isConnected()) << "the private system bus";
    ToolQuitCounter toolQuits;
    ASSERT_TRUE(bus.connect(QString(), QString(), "org.tarnwick.Tool", "ToolQuit", &toolQuits, SLOT(toolQuit())));

    // Where the application finds its tool when installed: beside bin/.
    const QString tool = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../libexec/tarnwick/Tool");
    ToolRunner runner(tool, ToolRunner::defaultElevationCommand());
    launchWith(runner);
    const FrameworkLayout layout(sdks);
    const QString sdk = "MacOSX10.9.sdk";
    ASSERT_EQ(rowState(sdk).title, "Fix");

    click(rowButton(sdk));
    // The Tool's ToolQuit and its exit reach the window one after the other:
    // the run has ended when the progress bar has gone.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return toolQuits.count > 0 && rowState(sdk).title == "Restore" && !window->progressBar->isVisible();
    }, 60000)) << "ToolQuit seen: " << toolQuits.count;

    EXPECT_TRUE(layout.doesQDHeaderOrigExistInSDK(sdk));
    const QString headers = layout.qdFrameworkPathToHeaderDirectory("Headers", sdk);
    EXPECT_EQ(snapshotTree(headers.toStdString()),
              snapshotTree(layout.qdFrameworkPathToHeaderDirectory("Headers", "MacOSX10.6.sdk").toStdString()));
    EXPECT_EQ(QFileInfo(headers).ownerId(), 0u) << "written with root's rights";
    EXPECT_TRUE(rowState(sdk).enabled);
    EXPECT_TRUE(window->restoreAllButton->isEnabled());
    EXPECT_TRUE(window->fixAllButton->isEnabled()) << "other SDKs are still to fix";
    EXPECT_TRUE(window->exportAllButton->isEnabled());
    EXPECT_TRUE(window->importButton->isEnabled());
    EXPECT_FALSE(window->progressBar->isVisible());
    EXPECT_FALSE(delegate->failureSheet());
}

