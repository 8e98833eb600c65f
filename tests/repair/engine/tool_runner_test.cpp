#include "qt_printers.h"
#include "tool_runner.h"
#include "tree_snapshot.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

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

    QString script(const QString &name, const QByteArray &body)
    {
        QFile file(root.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return file.fileName();
    }

    bool busAvailable() { return QDBusConnection::systemBus().isConnected(); }

    // A file whose appearance lets a stand-in tool go on.
    QByteArray waitFor(const QString &name)
    {
        return "while [ ! -e '" + root.filePath(name).toUtf8() + "' ]; do sleep 0.02; done\n";
    }
    void release(const QString &name) { writeFile(root.filePath(name).toStdString(), ""); }
};

// Every report and end the runner passes on, by run.
struct RunLog {
    std::map<RunId, QList<RunReport>> reports;
    QList<RunId> ends;

    explicit RunLog(ActionRunner &runner)
    {
        QObject::connect(&runner, &ActionRunner::runReported,
                         [this](RunId run, const RunReport &report) { reports[run].append(report); });
        QObject::connect(&runner, &ActionRunner::toolQuitNotification, [this](RunId run) { ends.append(run); });
    }
    RunReport last(RunId run) const { return reports.count(run) ? reports.at(run).last() : RunReport(); }
};

} // namespace

// The administrator dialog is up until the test answers: the runner has
// returned long before, and the run's report tells the answer when it
// comes, before anything the tool says.
TEST_F(ToolRunnerTest, TheAnswerToTheDialogComesWithoutWaitingForIt)
{
    const QString toolRan = root.filePath("tool-ran");
    const QStringList answeredLater{"/bin/sh", "-c",
                                    "for i in $(seq 500); do [ -e \"$0\" ] && break; sleep 0.02; done; exec \"$@\"",
                                    root.filePath("answer")};
    ToolRunner runner(script("Tool", "touch '" + toolRan.toUtf8() + "'\necho started\necho 'total 8 1'\n"),
                      answeredLater);
    RunLog log(runner);
    const RunId run = runner.performActions({});
    ASSERT_NE(run, 0u);
    EXPECT_FALSE(QFile::exists(toolRan)) << "the runner waited for the answer";
    QTest::qWait(100);
    EXPECT_TRUE(log.reports[run].isEmpty()) << "no answer yet";
    EXPECT_TRUE(log.ends.isEmpty());

    release("answer");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.ends.isEmpty(); }, 5000));
    EXPECT_EQ(log.reports[run].first().rights, RunReport::Granted);
    EXPECT_TRUE(log.last(run).counted && log.last(run).ended);
}

// Refused rights, or no tool to start, end the run at once with the reason;
// a program that could stand anywhere in PATH is not even started.
TEST_F(ToolRunnerTest, RefusedOrImpossibleStartsRunNothing)
{
    const QString marker = root.filePath("tool-ran");
    const QString fakeTool = script("Tool", "touch '" + marker.toUtf8() + "'\necho started\n");
    const struct {
        QString tool;
        QStringList elevation;
        RunReport::Rights rights;
    } cases[] = {
        {fakeTool, dismissed, RunReport::Dismissed},
        {fakeTool, unauthorized, RunReport::NotGranted},
        {root.filePath("missing/Tool"), granting, RunReport::NotGranted},
        {root.filePath("missing/Tool"), {}, RunReport::NotGranted},
        {fakeTool, {"no-such-elevation-program"}, RunReport::Asking},
    };
    const TreeSnapshot before = snapshotTree(root.path().toStdString());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.elevation.join(' ').toStdString());
        ToolRunner runner(c.tool, c.elevation);
        RunLog log(runner);
        const RunId run = runner.performActions({"Copy", root.filePath("a"), root.filePath("b")});
        if (c.rights == RunReport::Asking) {
            EXPECT_EQ(run, 0u);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log.ends.isEmpty(); }, 5000));
        EXPECT_EQ(log.ends, QList<RunId>{run});
        EXPECT_EQ(log.last(run).rights, c.rights);
        EXPECT_TRUE(log.last(run).ended);
    }
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(snapshotTree(root.path().toStdString()), before);
}

// A ToolQuit from any sender and path reaches the handler once, however
// often the runner registered; while a run of its own is under way, it is
// most likely an earlier run's late one and ends nothing.
TEST_F(ToolRunnerTest, ToolQuitFromAnySenderEndsNothingUnderWay)
{
    if (!busAvailable())
        GTEST_SKIP() << "no system bus";
    const auto toolQuit = [](const QString &path) {
        return QProcess::execute("dbus-send", {"--system", "--type=signal", path, "org.tarnwick.Tool.ToolQuit"});
    };
    ToolRunner runner(script("Tool", "echo started\n" + waitFor("release")), granting);
    QSignalSpy ends(&runner, &ToolRunner::toolQuitNotification);
    ASSERT_TRUE(runner.performActions({}));
    ASSERT_TRUE(runner.performActions({})); // registers a second time
    ASSERT_EQ(toolQuit("/"), 0);
    QTest::qWait(300);
    EXPECT_TRUE(ends.isEmpty()) << "the runs are still under way";
    release("release");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ends.size() == 2; }, 5000)) << "their own ends come through";

    ends.clear();
    ASSERT_EQ(toolQuit("/any/path/at/all"), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.isEmpty(); }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(ends.size(), 1);
}

TEST_F(ToolRunnerTest, QuittingLeavesARunningToolAlone)
{
    // The tool finishes only once released, or on its own after ten
    // seconds: a runner that waited for it would find the marker made.
    // Like Tool, it goes on when nobody reads its output any more.
    const QString release = root.filePath("release"), marker = root.filePath("finished");
    const QString slowTool = script("Tool", "trap '' PIPE\necho started 2>/dev/null\nfor i in $(seq 200); do [ -e '" + release.toUtf8()
                                                + "' ] && break; sleep 0.05; done\ntouch '" + marker.toUtf8() + "'\n");
    {
        ToolRunner runner(slowTool, granting);
        ASSERT_TRUE(runner.performActions({}));
    }
    EXPECT_FALSE(QFile::exists(marker)) << "the runner waited for the tool";
    writeFile(release.toStdString(), "");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));
}

// Two runs at once, each with its own lines; what comes with "started" in
// one piece, what comes split, lines too long to be the tool's, lines of
// later tools, and an end by a signal.
TEST_F(ToolRunnerTest, EachRunsLinesReachItsOwnReport)
{
    const QByteArray longLine(5000, 'x');
    ToolRunner first(script("first", "printf 'started\ntotal 4800 3\nprogress 1200 1\n'\n" + waitFor("go-first")
                                         + "printf 'progr'; sleep 0.1; printf 'ess 4800 3\\nfailed 2 Copy \"/a b\" failed: "
                                           "No space left on device\\nnews 1 2\\n'\n"
                                         + "printf '" + longLine + "\\nfailed 3 " + longLine + "\\n'\nexit 1\n"),
                     granting);
    ToolRunner second(script("second", "echo started\necho 'total 10 1'\n" + waitFor("go-second")
                                           + "echo 'progress 10 1'\nkill -9 $$\n"),
                      granting);
    RunLog firstLog(first), secondLog(second);
    const RunId a = first.performActions({});
    const RunId b = second.performActions({});
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstLog.last(a).counted && secondLog.last(b).counted; }, 5000));
    EXPECT_EQ(firstLog.last(a).doneBytes, 1200) << "the lines that came with \"started\"";
    EXPECT_EQ(secondLog.last(b).totalBytes, 10);

    release("go-second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return secondLog.ends.size() == 1; }, 5000));
    EXPECT_EQ(secondLog.ends, QList<RunId>{b});
    EXPECT_TRUE(secondLog.last(b).ended);
    EXPECT_EQ(secondLog.last(b).exitStatus, -9) << "an abrupt end too";
    EXPECT_EQ(secondLog.last(b).doneBytes, 10);
    EXPECT_TRUE(firstLog.ends.isEmpty()) << "one run's end is not the other's";

    release("go-first");
    ASSERT_TRUE(QTest::qWaitFor([&] { return firstLog.ends.size() == 1; }, 5000));
    const RunReport report = firstLog.last(a);
    EXPECT_TRUE(report.ended);
    EXPECT_EQ(report.exitStatus, 1);
    EXPECT_EQ(report.doneBytes, 4800);
    EXPECT_EQ(report.failures, (QList<ActionFailure>{{2, "Copy \"/a b\" failed: No space left on device"}}));
    EXPECT_EQ(firstLog.ends, QList<RunId>{a});
}

// A program named pkexec early in PATH must never be the one asked for the
// administrator's password. (A command not given by its absolute path is
// refused: see RefusedOrImpossibleStartsRunNothing.)
TEST_F(ToolRunnerTest, ElevationIsNeverLookedUpInPath)
{
    QDir().mkpath(root.filePath("bin"));
    const QString impostor = script("bin/pkexec", "shift\nexec \"$@\"\n");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", root.filePath("bin").toUtf8() + ':' + path);
    EXPECT_TRUE(QDir::isAbsolutePath(ToolRunner::elevationProgram()));
    EXPECT_NE(ToolRunner::elevationProgram(), impostor);
    if (geteuid() != 0) {
        EXPECT_EQ(ToolRunner::defaultElevationCommand().first(), ToolRunner::elevationProgram());
    }
    qputenv("PATH", path);
}

// The tool gets its arguments one by one, whatever they contain, and the
// answer pipe, /dev/null and the standard error, nothing else the
// application holds open.
TEST_F(ToolRunnerTest, TheToolGetsItsArgumentsAndNoOtherDescriptor)
{
    const int inherited = fcntl(open("/dev/null", O_RDONLY), F_DUPFD, 200);
    ASSERT_GE(inherited, 200);
    const QString received = root.filePath("received"), seen = root.filePath("seen");
    ToolRunner runner(script("Tool", "echo started\nfor a; do printf '%s|' \"$a\"; done > '" + received.toUtf8()
                                         + "'\ncd /proc/$$/fd && echo * > '" + seen.toUtf8() + "'\n"),
                      granting);
    RunLog log(runner);
    const QStringList actions{"Remove", "/a b/\"c\"\n\xc3\xa9", "", "Copy", "/x", "/y"};
    ASSERT_NE(runner.performActions(actions), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !log.ends.isEmpty(); }, 5000));
    close(inherited);
    EXPECT_EQ(readFile(received.toStdString()), actions.join('|').toStdString() + "|");
    const QStringList descriptors = QString::fromStdString(readFile(seen.toStdString())).simplified().split(' ');
    EXPECT_TRUE(descriptors.contains("0") && descriptors.contains("1") && descriptors.contains("2"));
    EXPECT_FALSE(descriptors.contains(QString::number(inherited))) << descriptors.join(' ').toStdString();
}
