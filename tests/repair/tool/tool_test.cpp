// Tool as a black box: the test build's Tool on temporary trees.

#include "qt_printers.h"
#include "tool_launch.h"
#include "tool_quit_counter.h"
#include "tree_snapshot.h"

#include <QDBusConnection>
#include <QStringDecoder>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ToolTest : public ToolTreeTest
{
protected:
    std::string sdk = sdks + "/MacOSX10.9.sdk";
    std::string outside = base + "/outside";

    void SetUp() override
    {
        ToolTreeTest::SetUp();
        fs::create_directories(sdk + "/System");
        fs::create_directories(outside);
    }
};

// 36 bytes in 12 items.
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

// Fills a pipe through its writing end, which is left non-blocking.
void fillPipe(int fd)
{
    fcntl(fd, F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (write(fd, filler.data(), filler.size()) > 0) {
    }
}

// The exit status, or -1 if it did not end within a time only a fault reaches.
int waitForEnd(QProcess &tool)
{
    return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

} // namespace

TEST_F(ToolTest, RemoveAndMove)
{
    makeFramework(sdk + "/System/QD.framework");
    const std::string headers = sdk + "/System/QD.framework/Versions/A/Headers";
    const ToolResult result = run({"Move", headers, headers + "_orig", "Remove", sdk + "/System/QD.framework", "",
                  "Remove", sdk + "/System/QD.framework", ""});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_FALSE(exists(sdk + "/System/QD.framework")) << "read-only folders go too";
    EXPECT_TRUE(hiddenItems(sdk + "/System").empty());
}

// The rules themselves are the validation's own tests; here, that a refusal
// comes before any action, as one line, and reaches the application too.
// Every run, empty or refused too, ends with one ToolQuit on the system bus.
TEST_F(ToolTest, EmptyAndRefusedListsChangeNothingAndEveryRunEndsWithOneToolQuit)
{
    ToolQuitCounter counter;
    ASSERT_TRUE(QDBusConnection::systemBus().connect(QString(), QString(), "org.tarnwick.Tool",
                                                     "ToolQuit", &counter, SLOT(toolQuit())));
    writeFile(sdk + "/System/a.h", "a");
    writeFile(sdks + "/etc/passwd", "root:x:0:0"); // a folder of the SDK directory that is no SDK
    const TreeSnapshot before = snapshotTree(base, true);
    const ToolResult empty = run({});
    EXPECT_EQ(empty.exitCode, 0);
    EXPECT_EQ(empty.standardOutput, "started\ntotal 0 0\nprogress 0 0\n");
    EXPECT_EQ(snapshotTree(base, true), before) << "an empty list changes nothing";
    for (const auto &second : std::vector<std::vector<std::string>>{
             {"Remove"},
             {"Move", sdk + "/System/a.h", outside + "/a.h"},
             {"Erase", sdk + "/System/a\nb.h", ""},
             {"Remove", sdks + "/etc/passwd", ""},
         }) {
        std::vector<std::string> list{"Remove", sdk + "/System/a.h", ""};
        list.insert(list.end(), second.begin(), second.end());
        const ToolResult result = run(list);
        EXPECT_TRUE(ended(result, 2, "action 2"));
        EXPECT_EQ(result.standardError.count('\n'), 1) << "one clear line";
        // The same reason for the application, after "started".
        const QByteArray reason = result.standardError.mid(result.standardError.indexOf("action 2"));
        EXPECT_EQ(result.standardOutput, "started\nrefused " + reason);
        EXPECT_EQ(snapshotTree(base, true), before);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count >= 5; }, 5000));
    QTest::qWait(200);
    EXPECT_EQ(counter.count, 5);
}

// Nothing is overwritten, and links planted inside an SDK are not followed
// out of it: each such action fails, and nothing changes anywhere.
TEST_F(ToolTest, NothingIsOverwrittenAndNoLinkIsFollowedOutOfAnSdk)
{
    writeFile(outside + "/new", "new");
    writeFile(sdk + "/System/old", "old");
    writeFile(sdk + "/System/other", "other");
    fs::create_symlink("/nowhere", sdk + "/System/dangling");
    fs::create_directory_symlink(outside, sdk + "/System/escape");
    fs::create_directory_symlink("../System", sdk + "/System/inside");
    const TreeSnapshot before = snapshotTree(base, true);
    // One at a time: in one list, the first failure would end the SDK's group.
    const std::vector<std::vector<std::string>> lists = {
        {"Copy", outside + "/new", sdk + "/System/old"},
        {"Copy", outside + "/new", sdk + "/System/dangling"},
        {"Move", sdk + "/System/other", sdk + "/System/old"},
        {"Copy", outside + "/new", sdk + "/System/no/such/folder"},
        {"Remove", sdk + "/System/escape/new", ""},
        {"Move", sdk + "/System/other", sdk + "/System/escape/other"},
        {"Copy", sdk + "/System/other", sdk + "/System/escape/copied"},
    };
    for (const auto &list : lists) {
        const ToolResult refused = run(list);
        EXPECT_EQ(refused.exitCode, 1) << list[2];
        EXPECT_EQ(refused.standardError.count('\n'), 1) << refused.standardError.constData();
    }
    EXPECT_EQ(snapshotTree(base, true), before);

    ToolResult result;
    // A link that stays inside its SDK may be used.
    result = run({"Move", sdk + "/System/inside/other", sdk + "/System/inside/moved"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(readFile(sdk + "/System/moved"), "other");

    // Removing the link itself takes only the link.
    result = run({"Remove", sdk + "/System/escape", ""});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(exists(sdk + "/System/escape"));
    EXPECT_EQ(readFile(outside + "/new"), "new");
}

TEST_F(ToolTest, StartedLineComesBeforeAnyAction)
{
    writeFile(outside + "/source", "s");
    const std::string target = sdk + "/System/target";
    // With a full pipe as standard output, Tool can get no further than its
    // first line until the test reads.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    fillPipe(pipeFds[1]);
    fcntl(pipeFds[1], F_SETFL, 0);
    QProcess tool;
    startTool(tool, sdks, {"Copy", outside + "/source", target}, {.output = pipeFds[1]});
    close(pipeFds[1]);

    usleep(300000);
    EXPECT_FALSE(exists(target)) << "an action ran before the started line was written";
    const std::string output = readToEnd(pipeFds[0]);
    close(pipeFds[0]);
    EXPECT_EQ(waitForEnd(tool), 0);
    EXPECT_EQ(output.substr(output.find_first_not_of('x'), 8), "started\n");
    EXPECT_TRUE(exists(target));
}

// A failed action is passed over: the next one still runs. Operands arrive
// whatever they contain.
TEST_F(ToolTest, OutputTellsTotalsProgressAndEachFailure)
{
    makeFramework(outside + "/Print.framework");
    writeFile(outside + "/big", std::string(3 << 20, 'b'));
    const std::string odd = outside + "/a b \"quoted\"\nline \xc3\xa9";
    writeFile(odd, "odd");
    const std::string target = sdk + "/System/x y\n\"\xc3\xa9\"";
    const ToolResult result = run({"Copy", outside + "/Print.framework", sdk + "/System/Print.framework",
                                   "Copy", outside + "/missing", sdks + "/MacOSX10.8.sdk/System/missing",
                                   "Copy", outside + "/big", sdk + "/System/big",
                                   "Copy", odd, target, "Remove", target + " missing", ""});
    EXPECT_EQ(result.exitCode, 1);
    const std::uint64_t bytes = 36 + (3 << 20) + 3, items = 12 + 1 + 1;
    const QList<QByteArray> lines = result.standardOutput.trimmed().split('\n');
    ASSERT_GE(lines.size(), 4) << result.standardOutput.constData();
    EXPECT_EQ(lines[0], "started");
    EXPECT_EQ(lines[1].toStdString(), "total " + std::to_string(bytes) + " " + std::to_string(items));
    EXPECT_EQ(lines.back().toStdString(), "progress " + std::to_string(bytes) + " " + std::to_string(items));
    std::uint64_t lastBytes = 0, lastItems = 0;
    QList<QByteArray> failures;
    for (const QByteArray &line : lines.mid(2)) {
        std::uint64_t doneBytes, doneItems;
        if (std::sscanf(line.constData(), "progress %lu %lu", &doneBytes, &doneItems) == 2) {
            EXPECT_TRUE(doneBytes >= lastBytes && doneItems >= lastItems && doneBytes <= bytes && doneItems <= items)
                << line.constData();
            lastBytes = doneBytes;
            lastItems = doneItems;
        } else {
            failures << line;
        }
    }
    EXPECT_EQ(failures, (QList<QByteArray>{"group 1 1 done",
                                           QByteArray::fromStdString("failed 2 Copy \"" + outside + "/missing\" to \"" + sdks
                                                                     + "/MacOSX10.8.sdk/System/missing\" failed: source: No such file or directory"),
                                           "group 2 2 unchanged source: No such file or directory", "group 3 5 done"}));
    // The copies keep links, modes and times, and leave nothing hidden.
    EXPECT_EQ(snapshotTree(sdk + "/System/Print.framework", true), snapshotTree(outside + "/Print.framework", true));
    EXPECT_EQ(readFile(sdk + "/System/big"), readFile(outside + "/big"));
    EXPECT_EQ(readFile(target), "odd");
    EXPECT_FALSE(exists(sdk + "/System/missing"));
    EXPECT_TRUE(hiddenItems(sdk + "/System").empty());
}

TEST_F(ToolTest, EveryReasonIsOneLineOfUtf8WithinTheLimit)
{
    std::string odd = "/odd\xc2\x85" "control\xff\xfe" "bytes";
    for (int i = 0; i < 20; ++i)
        odd += "/" + std::string(200, 'a' + i % 26) + "\xe2\x82";
    const ToolResult result = run({"Copy", outside + odd, outside + "/short",
                                   "Copy", outside + "/short\x01", outside + "/copy"});
    const QList<QByteArray> lines = result.standardOutput.split('\n');
    ASSERT_EQ(lines.size(), 6) << result.standardOutput.constData(); // the last one empty
    for (const QByteArray &line : {lines[2], lines[3]}) {
        ASSERT_TRUE(line.startsWith("failed ")) << line.constData();
        EXPECT_LE(line.size() + 1, 4096);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(line);
        EXPECT_FALSE(utf8.hasError()) << line.constData();
        EXPECT_FALSE(text.contains(QChar(0x85)));
        for (const char c : line)
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << line.constData();
    }
    EXPECT_EQ(lines[2].size() + 1, 4096) << "a long reason is cut, not dropped";
}

TEST_F(ToolTest, NobodyReadingTheOutputNeverHoldsUpTheWork)
{
    for (int i = 0; i < 2000; ++i)
        writeFile(outside + "/many/f" + std::to_string(i), "f");
    const std::vector<std::string> list = {"Copy", outside + "/missing", sdks + "/MacOSX10.8.sdk/missing",
                                           "Copy", outside + "/many", sdk + "/System/many"};

    // The application quit before Tool started: the pipe has no reader.
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    close(pipeFds[0]);
    QProcess first;
    startTool(first, sdks, list, {.output = pipeFds[1]});
    close(pipeFds[1]);
    EXPECT_EQ(waitForEnd(first), 1) << "a closed pipe is no error, the failed Copy is";
    EXPECT_TRUE(exists(sdk + "/System/many/f1999"));
    fs::remove_all(sdk + "/System/many");

    // The application read "started", then nothing more while the pipe is full.
    ASSERT_EQ(pipe(pipeFds), 0);
    QProcess second;
    startTool(second, sdks, list, {.output = pipeFds[1]});
    char started[8];
    ASSERT_EQ(read(pipeFds[0], started, sizeof started), 8);
    fillPipe(pipeFds[1]);
    close(pipeFds[1]);
    EXPECT_EQ(waitForEnd(second), 1);
    EXPECT_TRUE(exists(sdk + "/System/many/f1999"));
    close(pipeFds[0]);
}

// A full pipe on standard error that nobody reads held Tool at its first
// report, between two actions, for as long as somebody wished.
TEST_F(ToolTest, AFullPipeOnStandardErrorNeverHoldsUpTheWork)
{
    writeFile(outside + "/folder/f", "f");
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    fillPipe(pipeFds[1]);
    fcntl(pipeFds[1], F_SETFL, 0); // as the caller left it: blocking
    QProcess tool;
    // Each in an SDK of its own, so that each failure is its own.
    startTool(tool, sdks, {"Copy", outside + "/missing1", sdks + "/MacOSX10.7.sdk/m1",
                           "Copy", outside + "/missing2", sdks + "/MacOSX10.8.sdk/m2",
                           "Copy", outside + "/folder", sdk + "/System/folder",
                           "Copy", outside + "/missing3", sdks + "/MacOSX10.10.sdk/m3"},
              {.pause = "open f", .errors = pipeFds[1]});
    close(pipeFds[1]);
    QByteArray output;
    const bool reported = QTest::qWaitFor([&] {
        output += tool.readAllStandardOutput();
        return output.contains("failed 2 ") || tool.state() == QProcess::NotRunning;
    }, 20000);
    // Room appears while the third action runs: what was dropped is told first.
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    readToEnd(pipeFds[0]);
    const int status = resumeTool(tool);
    EXPECT_TRUE(reported) << "held up at the first failure: " << output.constData();
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(exists(sdk + "/System/folder/f"));
    const std::string errors = readToEnd(pipeFds[0]);
    close(pipeFds[0]);
    const auto dropped = errors.find("Tool: 2 lines were dropped");
    EXPECT_NE(dropped, std::string::npos) << errors;
    EXPECT_LT(dropped, errors.find("missing3")) << errors;
    EXPECT_EQ(errors.find("missing1"), std::string::npos) << errors;
}

TEST_F(ToolTest, AnImportMakesAMissingSdkDirectory)
{
    const std::string missing = base + "/new/Developer/SDKs";
    writeFile(outside + "/MacOSX10.6.sdk/System/x", "x");
    // Nothing but an import makes it.
    ToolResult result = runToolAs(missing, {"Remove", missing + "/MacOSX10.6.sdk/x", "",
                                            "Copy", outside + "/MacOSX10.6.sdk/System/x", missing + "/MacOSX10.6.sdk/x"});
    EXPECT_EQ(result.exitCode, 1) << "the Remove finds nothing to do, the Copy no SDK";
    EXPECT_FALSE(exists(base + "/new"));

    result = runToolAs(missing, {"Copy", outside + "/MacOSX10.6.sdk", missing + "/MacOSX10.6.sdk"});
    EXPECT_EQ(result.exitCode, 0) << result.standardError.constData();
    EXPECT_EQ(readFile(missing + "/MacOSX10.6.sdk/System/x"), "x");
    for (const std::string &folder : {base + "/new", base + "/new/Developer", missing}) {
        struct stat status;
        ASSERT_EQ(stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0755u) << folder;
        EXPECT_EQ(status.st_uid, geteuid()) << folder; // root in CI, as under pkexec
    }
}

