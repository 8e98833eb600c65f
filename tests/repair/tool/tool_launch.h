#pragma once

#include <QByteArray>
#include <QProcess>

#include <optional>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

// A resource limit set before exec, as a caller's `ulimit -S` or `ulimit`.
struct ToolLimit {
    int resource;
    rlim_t value;
    bool hardToo = false;
};

// How a test starts the test build of Tool: as pkexec would for a user,
// under limits a caller chose, or on a system that refuses openat2.
struct ToolLaunch {
    std::string sdkDirectory;
    std::vector<std::string> arguments;
    std::optional<uid_t> pkexecUid;
    std::vector<ToolLimit> limits;
    int openat2Error = 0;                       // openat2 fails with it, as under a seccomp filter
    std::string pause;                          // TARNWICK_TEST_PAUSE
};

struct ToolOutcome {
    int exitCode = -1; // -1: killed by a signal, or did not end
    QByteArray standardOutput;
    QByteArray standardError;
};

// Starts Tool; the test then drives it (standard input resumes a pause).
void startTool(QProcess &tool, const ToolLaunch &launch);

// Starts Tool and waits for its end.
ToolOutcome runToolAs(const ToolLaunch &launch);

// Whether this test process is root: what Tool under pkexec is.
bool isRoot();

// A fresh folder that every user may enter, as /tmp/<prefix>-XXXXXX.
std::string openTemporaryFolder(const char *prefix);

// Deletes a tree.
void removeAll(const std::string &path);

// A chain of folders named "d", depth levels below top, made and deleted
// in time linear in its depth.
void makeFolderChain(const std::string &top, int depth);
void removeFolderChain(const std::string &top);
