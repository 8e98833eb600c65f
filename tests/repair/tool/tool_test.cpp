// Tool as a black box: the test build's Tool on temporary trees.

#include "tool_process.h"
#include "qt_printers.h"
#include "tree_snapshot.h"

#include <QDBusConnection>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ToolQuitCounter : public QObject
{
    Q_OBJECT
public:
    int count = 0;
public slots:
    void toolQuit() { ++count; }
};

class ToolTest : public testing::Test
{
protected:
    QTemporaryDir root;
    std::string base = root.path().toStdString();
    std::string sdks = base + "/SDKs";
    std::string sdk = sdks + "/MacOSX10.9.sdk";
    std::string outside = base + "/outside";

    void SetUp() override
    {
        fs::create_directories(sdk + "/System");
        fs::create_directories(outside);
    }

    ToolResult run(const std::vector<std::string> &arguments)
    {
        QStringList list;
        for (const std::string &argument : arguments)
            list << QString::fromStdString(argument);
        return runTool(QString::fromStdString(sdks), list);
    }

    bool exists(const std::string &path)
    {
        struct stat status;
        return lstat(path.c_str(), &status) == 0;
    }

    // No hidden work in progress may be left beside anything.
    bool hasLeftovers()
    {
        for (const auto &entry : fs::recursive_directory_iterator(base))
            if (entry.path().filename().string().find(".tarnwick-") != std::string::npos)
                return true;
        return false;
    }
};

void makeFramework(const std::string &framework)
{
    writeFile(framework + "/Versions/A/Headers/Print.h", "#define PRINT 1\n");
    writeFile(framework + "/Versions/A/Headers/Secret.h", "private\n");
    writeFile(framework + "/Versions/A/Print", "\x7f" "ELF binary");
    fs::create_directories(framework + "/Versions/A/Locked");
    writeFile(framework + "/Versions/A/Locked/inside", "x");
    fs::create_directory_symlink("A", framework + "/Versions/Current");
    fs::create_directory_symlink("Versions/Current/Headers", framework + "/Headers");
    fs::create_symlink("Versions/Current/Print", framework + "/Print");
    chmod((framework + "/Versions/A/Headers/Secret.h").c_str(), 0640);
    chmod((framework + "/Versions/A/Print").c_str(), 0755);
    chmod((framework + "/Versions/A/Locked").c_str(), 0555);
    // Times in the past, so that a copy that forgets them shows.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 123456789}};
    for (const auto &entry : fs::recursive_directory_iterator(framework))
        utimensat(AT_FDCWD, entry.path().c_str(), old, AT_SYMLINK_NOFOLLOW);
}

} // namespace

TEST_F(ToolTest, OperandsArriveWhateverTheyContain)
{
    const std::string odd = outside + "/a b \"quoted\"\nline \xc3\xa9";
    writeFile(odd, "odd");
    const std::string target = sdk + "/System/x y\n\"\xc3\xa9\"";
    const ToolResult result = run({"Copy", odd, target, "Remove", target + " missing", ""});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(readFile(target), "odd");
    EXPECT_EQ(result.standardOutput, "started\n");
}

TEST_F(ToolTest, RemoveMoveAndAnEmptyList)
{
    makeFramework(sdk + "/System/QD.framework");
    const TreeSnapshot before = snapshotTree(base, true);
    ToolResult result = run({});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardOutput, "started\n");
    EXPECT_EQ(snapshotTree(base, true), before) << "an empty list changes nothing";

    const std::string headers = sdk + "/System/QD.framework/Versions/A/Headers";
    result = run({"Move", headers, headers + "_orig", "Remove", sdk + "/System/QD.framework", "",
                  "Remove", sdk + "/System/QD.framework", ""});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_FALSE(exists(sdk + "/System/QD.framework")) << "read-only folders go too";
    EXPECT_FALSE(hasLeftovers());
}

TEST_F(ToolTest, RefusedListsChangeNothing)
{
    writeFile(sdk + "/System/a.h", "a");
    const TreeSnapshot before = snapshotTree(base, true);
    const std::vector<std::vector<std::string>> refused = {
        {"Remove", sdk + "/System/a.h", "", "Remove"},
        {"Remove", sdk + "/System/a.h", "", "Copy", "relative", sdk + "/b"},
        {"Remove", sdk + "/System/a.h", "", "Remove", sdk, ""},
        {"Remove", sdk + "/System/a.h", "", "Remove", sdks, ""},
        {"Remove", sdk + "/System/a.h", "", "Move", sdk + "/System/a.h", outside + "/a.h"},
        {"Remove", sdk + "/System/a.h", "", "Remove", sdk + "/System/../System/a.h", ""},
        {"Remove", sdk + "/System/a.h", "", "Remove", sdk + "/System/a.h", "x"},
        {"Remove", sdk + "/System/a.h", "", "Erase", sdk + "/System/a\nb.h", ""},
    };
    for (const auto &list : refused) {
        const ToolResult result = run(list);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.standardError.indexOf("action 2"), -1) << result.standardError.constData();
        EXPECT_EQ(result.standardError.count('\n'), 1) << "one clear line";
        EXPECT_EQ(snapshotTree(base, true), before);
    }
}

TEST_F(ToolTest, NothingIsOverwritten)
{
    writeFile(outside + "/new", "new");
    writeFile(sdk + "/System/old", "old");
    writeFile(sdk + "/System/other", "other");
    fs::create_symlink("/nowhere", sdk + "/System/dangling");
    const TreeSnapshot before = snapshotTree(base, true);
    const ToolResult result = run({"Copy", outside + "/new", sdk + "/System/old",
                                   "Copy", outside + "/new", sdk + "/System/dangling",
                                   "Move", sdk + "/System/other", sdk + "/System/old",
                                   "Copy", outside + "/new", sdk + "/System/no/such/folder"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError.count('\n'), 4) << result.standardError.constData();
    EXPECT_EQ(snapshotTree(base, true), before);
}

TEST_F(ToolTest, CopiedFrameworkKeepsLinksModesAndTimes)
{
    makeFramework(outside + "/Print.framework");
    const ToolResult result = run({"Copy", outside + "/Print.framework", sdk + "/System/Print.framework"});
    ASSERT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(snapshotTree(sdk + "/System/Print.framework", true),
              snapshotTree(outside + "/Print.framework", true));
    EXPECT_FALSE(hasLeftovers());
}

TEST_F(ToolTest, FailedActionIsPassedOverAndLeavesNoPartialCopy)
{
    writeFile(outside + "/good", "good");
    const ToolResult result = run({"Copy", outside + "/missing", sdk + "/System/first",
                                   "Copy", outside + "/good", sdk + "/System/second"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.standardError.indexOf("missing"), -1);
    EXPECT_FALSE(exists(sdk + "/System/first"));
    EXPECT_EQ(readFile(sdk + "/System/second"), "good");
    EXPECT_FALSE(hasLeftovers());
}

TEST_F(ToolTest, LinksPlantedInsideAnSdkAreNotFollowedOutOfIt)
{
    writeFile(outside + "/precious", "keep");
    fs::create_directory_symlink(outside, sdk + "/System/escape");
    fs::create_directory_symlink("../../MacOSX10.9.sdk/System", sdk + "/System/inside");
    writeFile(sdk + "/System/here", "here");

    ToolResult result = run({"Remove", sdk + "/System/escape/precious", "",
                             "Move", sdk + "/System/here", sdk + "/System/escape/here",
                             "Copy", sdk + "/System/here", sdk + "/System/escape/copied"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError.count('\n'), 3) << result.standardError.constData();
    EXPECT_EQ(readFile(outside + "/precious"), "keep");
    EXPECT_FALSE(exists(outside + "/here"));
    EXPECT_FALSE(exists(outside + "/copied"));

    // A link that stays inside the SDK directory may be used.
    result = run({"Move", sdk + "/System/inside/here", sdk + "/System/inside/moved"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(readFile(sdk + "/System/moved"), "here");

    // Removing the link itself takes only the link.
    result = run({"Remove", sdk + "/System/escape", ""});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(exists(sdk + "/System/escape"));
    EXPECT_EQ(readFile(outside + "/precious"), "keep");
}

TEST_F(ToolTest, StartedLineComesBeforeAnyAction)
{
    writeFile(outside + "/source", "s");
    const std::string target = sdk + "/System/target";

    // With a full pipe as standard output, Tool can get no further than its
    // first line until the test reads.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    fcntl(pipeFds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (write(pipeFds[1], filler.data(), filler.size()) > 0) {
    }
    fcntl(pipeFds[1], F_SETFL, 0);

    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&files, pipeFds[0]);
    const std::string tool = toolForTestsPath().toStdString();
    const std::string variable = "TARNWICK_TEST_SDK_DIRECTORY=" + sdks;
    std::string verb = "Copy", from = outside + "/source", to = target;
    char *argv[] = {const_cast<char *>(tool.c_str()), verb.data(), from.data(), to.data(), nullptr};
    std::vector<char *> environment{const_cast<char *>(variable.c_str())};
    for (char **e = environ; *e; ++e)
        environment.push_back(*e);
    environment.push_back(nullptr);
    pid_t pid;
    ASSERT_EQ(posix_spawn(&pid, tool.c_str(), &files, nullptr, argv, environment.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    close(pipeFds[1]);

    usleep(300000);
    EXPECT_FALSE(exists(target)) << "an action ran before the started line was written";
    std::string output;
    char buffer[65536];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(output.substr(output.find_first_not_of('x')), "started\n");
    EXPECT_TRUE(exists(target));
}

TEST_F(ToolTest, EveryRunEndsWithOneToolQuitOnTheSystemBus)
{
    ToolQuitCounter counter;
    ASSERT_TRUE(QDBusConnection::systemBus().connect(QString(), QString(), "org.tarnwick.Tool",
                                                     "ToolQuit", &counter, SLOT(toolQuit())));
    run({});
    run({"Remove", sdk + "/System", "Remove"}); // refused, still announced
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count >= 2; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(counter.count, 2);
}

#include "tool_test.moc"
