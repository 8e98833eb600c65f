#include "tool_launch.h"

#include "tool_process.h"

#include <QProcessEnvironment>

#include <cstddef>
#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// openat2 has the same number on every architecture (it is newer than the
// unified numbering), so the filter need not look at the architecture.
void refuseOpenat2(int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
        || syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0)
        _exit(127);
}

} // namespace

void startTool(QProcess &tool, const ToolLaunch &launch)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNWICK_TEST_SDK_DIRECTORY", QString::fromStdString(launch.sdkDirectory));
    if (launch.pkexecUid)
        environment.insert("PKEXEC_UID", QString::number(*launch.pkexecUid));
    if (!launch.pause.empty())
        environment.insert("TARNWICK_TEST_PAUSE", QString::fromStdString(launch.pause));
    tool.setProcessEnvironment(environment);
    const auto limits = launch.limits;
    const int openat2Error = launch.openat2Error;
    tool.setChildProcessModifier([limits, openat2Error] {
        for (const ToolLimit &wanted : limits) {
            rlimit limit;
            getrlimit(wanted.resource, &limit);
            limit.rlim_cur = wanted.value;
            if (wanted.hardToo)
                limit.rlim_max = wanted.value;
            setrlimit(wanted.resource, &limit);
        }
        if (openat2Error)
            refuseOpenat2(openat2Error);
    });
    QStringList arguments;
    for (const std::string &argument : launch.arguments)
        arguments << QString::fromStdString(argument);
    tool.start(toolForTestsPath(), arguments);
}

ToolOutcome runToolAs(const ToolLaunch &launch)
{
    QProcess tool;
    startTool(tool, launch);
    tool.closeWriteChannel();
    ToolOutcome outcome;
    if (!tool.waitForFinished(120000))
        tool.kill();
    tool.waitForFinished();
    if (tool.exitStatus() == QProcess::NormalExit)
        outcome.exitCode = tool.exitCode();
    outcome.standardOutput = tool.readAllStandardOutput();
    outcome.standardError = tool.readAllStandardError();
    return outcome;
}

bool isRoot()
{
    return geteuid() == 0;
}

std::string openTemporaryFolder(const char *prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    const std::string folder = mkdtemp(pattern.data());
    chmod(folder.c_str(), 0755);
    return folder;
}

void removeAll(const std::string &path)
{
    QProcess::execute("chmod", {"-R", "u+rwx", QString::fromStdString(path)});
    QProcess::execute("rm", {"-rf", QString::fromStdString(path)});
}

void makeFolderChain(const std::string &top, int depth)
{
    mkdir(top.c_str(), 0755);
    int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth && folder >= 0; ++level) {
        mkdirat(folder, "d", 0755);
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = next;
    }
    close(folder);
}

// Down to the bottom, then up through "..", deleting on the way: rm takes
// minutes over a chain this deep.
void removeFolderChain(const std::string &top)
{
    int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    int depth = 0;
    for (int next; folder >= 0 && (next = openat(folder, "d", O_RDONLY | O_DIRECTORY)) >= 0; ++depth) {
        close(folder);
        folder = next;
    }
    for (; folder >= 0 && depth > 0; --depth) {
        const int parent = openat(folder, "..", O_RDONLY | O_DIRECTORY);
        close(folder);
        unlinkat(parent, "d", AT_REMOVEDIR);
        folder = parent;
    }
    close(folder);
    rmdir(top.c_str());
}
