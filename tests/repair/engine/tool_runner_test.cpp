#include "tool_process.h"
#include "qt_printers.h"
#include "tool_runner.h"
#include "tree_snapshot.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// Stand-ins for pkexec: one that grants by running the rest of its command
// line, and ones that answer as pkexec does when the dialog is dismissed
// (126) or nobody may authorize (127).
const QStringList granting{"/bin/sh", "-c", "exec \"$@\"", "elevate"};
const QStringList dismissed{"/bin/sh", "-c", "exit 126", "elevate"};
const QStringList unauthorized{"/bin/sh", "-c", "exit 127", "elevate"};

class ToolRunnerTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
    std::string source = root.filePath("source").toStdString();
    QString target = sdks + "/MacOSX10.9.sdk/copied";

    void SetUp() override
    {
        std::filesystem::create_directories((sdks + "/MacOSX10.9.sdk").toStdString());
        writeFile(source, "contents");
        qputenv("TARNWICK_TEST_SDK_DIRECTORY", sdks.toUtf8());
    }

    QStringList copyAction() const { return {"Copy", QString::fromStdString(source), target}; }

    QString script(const QString &name, const QByteArray &body)
    {
        QFile file(root.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }

    bool busAvailable() { return QDBusConnection::systemBus().isConnected(); }
};

} // namespace

TEST_F(ToolRunnerTest, GrantedRunStartsTheToolAndReportsItsEnd)
{
    for (const QStringList &elevation : {granting, QStringList()}) {
        QFile::remove(target);
        ToolRunner runner(toolForTestsPath(), elevation);
        QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
        EXPECT_TRUE(runner.performActions(copyAction()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000));
        EXPECT_EQ(readFile(target.toStdString()), "contents");
    }
}

TEST_F(ToolRunnerTest, RefusedOrImpossibleStartsRunNothing)
{
    const QString marker = root.filePath("tool-ran");
    const QString fakeTool = script("Tool", "touch '" + marker.toUtf8() + "'\necho started\n");
    const struct {
        QString tool;
        QStringList elevation;
    } cases[] = {
        {fakeTool, dismissed},
        {fakeTool, unauthorized},
        {root.filePath("missing/Tool"), granting},
        {root.filePath("missing/Tool"), {}},
        {fakeTool, {"no-such-elevation-program"}},
    };
    const TreeSnapshot before = snapshotTree(root.path().toStdString());
    for (const auto &c : cases) {
        ToolRunner runner(c.tool, c.elevation);
        QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
        EXPECT_FALSE(runner.performActions(copyAction())) << c.elevation.join(' ').toStdString();
        QTest::qWait(100);
        EXPECT_TRUE(ends.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(snapshotTree(root.path().toStdString()), before);
}

TEST_F(ToolRunnerTest, ArgumentsReachTheToolOneByOne)
{
    const QString received = root.filePath("received");
    const QString fakeTool = script("Tool", "echo started\nfor a; do printf '%s|' \"$a\"; done > '"
                                                + received.toUtf8() + "'\n");
    ToolRunner runner(fakeTool, granting);
    QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
    const QStringList actions{"Remove", "/a b/\"c\"\n\xc3\xa9", "", "Copy", "/x", "/y"};
    ASSERT_TRUE(runner.performActions(actions));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000));
    EXPECT_EQ(readFile(received.toStdString()), actions.join('|').toStdString() + "|");
}

TEST_F(ToolRunnerTest, ToolQuitFromAnySenderAndPathReachesTheHandlerOnce)
{
    if (!busAvailable())
        GTEST_SKIP() << "no system bus";
    ToolRunner runner(script("Tool", "echo started\n"), granting);
    ASSERT_TRUE(runner.performActions({}));
    ASSERT_TRUE(runner.performActions({})); // registers a second time
    QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
    QTest::qWait(300); // let both runs end
    ends.clear();
    ASSERT_EQ(QProcess::execute("dbus-send", {"--system", "--type=signal", "/any/path/at/all",
                                              "org.tarnwick.Tool.ToolQuit"}),
              0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(ends.size(), 1);
}

TEST_F(ToolRunnerTest, EndOfTheToolsOutputStandsInForAMissingBus)
{
    if (busAvailable())
        GTEST_SKIP() << "runs as its own test with the system bus out of reach";
    ToolRunner runner(toolForTestsPath(), granting);
    QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
    ASSERT_TRUE(runner.performActions(copyAction()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000));
    EXPECT_EQ(readFile(target.toStdString()), "contents");
}

TEST_F(ToolRunnerTest, QuittingLeavesARunningToolAlone)
{
    const QString marker = root.filePath("finished");
    const QString slowTool =
        script("Tool", "echo started\nsleep 0.5\ntouch '" + marker.toUtf8() + "'\n");
    QElapsedTimer clock;
    clock.start();
    {
        ToolRunner runner(slowTool, granting);
        ASSERT_TRUE(runner.performActions({}));
    }
    EXPECT_LT(clock.elapsed(), 400) << "the runner waited for the tool";
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
}

TEST_F(ToolRunnerTest, ALateToolQuitDoesNotEndARunUnderWay)
{
    if (!busAvailable())
        GTEST_SKIP() << "no system bus";
    const QString marker = root.filePath("release");
    ToolRunner runner(script("Tool", "echo started\nwhile [ ! -e '" + marker.toUtf8() + "' ]; do sleep 0.05; done\n"),
                      granting);
    QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
    ASSERT_TRUE(runner.performActions({}));
    QProcess::execute("dbus-send", {"--system", "--type=signal", "/", "org.tarnwick.Tool.ToolQuit"});
    QTest::qWait(300);
    EXPECT_TRUE(ends.isEmpty()) << "the run is still under way";
    writeFile(marker.toStdString(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000)) << "its own end comes through";
}
