#pragma once

#include "tool_process.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <vector>

// A resource limit set before exec, as a caller's `ulimit -S` or `ulimit`.
struct ToolLimit {
    int resource;
    rlim_t value;
    bool hardToo = false;
};

// How a test starts the test build of Tool: as pkexec would for a user, as
// that user, on a system that refuses openat2 or hard links, under limits
// and a scheduling policy a caller chose, or held at a point of its run.
struct ToolLaunch {
    std::optional<uid_t> pkexecUid = {};
    std::optional<uid_t> user = {}; // its user and group, without other groups
    int openat2Error = 0;           // openat2 fails with it, as under a seccomp filter
    int linkatError = 0;            // linkat fails with it, as where links run out
    std::vector<ToolLimit> limits = {};
    bool realTime = false; // under SCHED_FIFO, which RLIMIT_RTTIME limits
    std::string pause = {}; // TARNWICK_TEST_PAUSE
    int failAction = 0;     // TARNWICK_TEST_FAIL_ACTION: that action fails
    int killAt = 0;         // TARNWICK_TEST_KILL_AT: killed at that kill point
    int output = -1;        // its standard output, instead of a pipe to the test
    int errors = -1;        // its standard error, likewise
};

// Starts Tool on the SDK directory sdks; the test then drives it (standard
// input resumes a pause).
void startTool(QProcess &tool, const std::string &sdks, const std::vector<std::string> &arguments,
               const ToolLaunch &launch = {});

// Starts Tool and waits for its end.
ToolResult runToolAs(const std::string &sdks, const std::vector<std::string> &arguments, const ToolLaunch &launch = {});

// Runs Tool as pkexec would for the user, its output thrown away, without
// Qt, and held between fork and exec while whileHeld runs (its process id
// is known before Tool runs); answers its exit status (-1 for a signal) and
// its peak resident memory.
struct ToolMemory {
    int exitCode = -1;
    long peakKiB = 0;
};
ToolMemory execTool(const std::string &sdks, const std::vector<std::string> &arguments, uid_t pkexecUid,
                    const std::function<void(pid_t)> &whileHeld = {});

// Lets a Tool held at a pause go on, and waits for its end: its exit
// status, or -1 if a signal ended it or it did not end in time (then it is
// killed).
int resumeTool(QProcess &tool);

// Whether the run ended with the exit status code, its standard error (or
// the stream told) telling what; if not, what it did say.
testing::AssertionResult ended(const ToolResult &result, int code, const QByteArray &what = {},
                               QByteArray ToolResult::*told = &ToolResult::standardError);

std::vector<std::string> words(const QStringList &list);

// Whatever is still to read from fd, to its end.
std::string readToEnd(int fd);

// Whether this process may start a child under a real-time policy.
bool realTimeAllowed();

// The bottom of a chain of folders of that name, depth levels below top,
// opened (for the caller to close), and made where missing in time linear
// in its depth.
int folderChain(const std::string &top, int depth, const std::string &name = "d");

// Each test works in a fresh folder that every user may enter (some run
// Tool as nobody), with an empty SDK directory in it. As root, the way to
// it is root's alone, so that Tool may use root's rights there.
class ToolTreeTest : public testing::Test
{
protected:
    std::string base = openTemporaryFolder();
    std::string sdks = base + "/SDKs";

    void SetUp() override { std::filesystem::create_directories(sdks); }
    void TearDown() override;

    ToolResult run(const std::vector<std::string> &arguments, const ToolLaunch &launch = {}) const
    {
        return runToolAs(sdks, arguments, launch);
    }

    static std::string openTemporaryFolder();
    // Why the way to the folders is not root's alone, or "".
    static const std::string &whyNotRootsAlone();
    static bool exists(const std::string &path);
    // The hidden items of Tool's work in progress directly in folder.
    static std::vector<std::string> hiddenItems(const std::string &folder);
};
