#include "tool_launch.h"

#include <QProcessEnvironment>

#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

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

void startTool(QProcess &tool, const std::string &sdks, const std::vector<std::string> &arguments,
               const ToolLaunch &launch)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNWICK_TEST_SDK_DIRECTORY", QString::fromStdString(sdks));
    if (launch.pkexecUid)
        environment.insert("PKEXEC_UID", QString::number(*launch.pkexecUid));
    if (!launch.pause.empty())
        environment.insert("TARNWICK_TEST_PAUSE", QString::fromStdString(launch.pause));
    tool.setProcessEnvironment(environment);
    tool.setChildProcessModifier([limits = launch.limits, user = launch.user, openat2Error = launch.openat2Error,
                                  output = launch.output] {
        if (output >= 0 && dup2(output, STDOUT_FILENO) < 0)
            _exit(127);
        for (const ToolLimit &wanted : limits) {
            rlimit limit;
            getrlimit(wanted.resource, &limit);
            limit.rlim_cur = wanted.value;
            if (wanted.hardToo)
                limit.rlim_max = wanted.value;
            setrlimit(wanted.resource, &limit);
        }
        // Raw calls: the child may share the parent's memory until exec,
        // and the library's calls would reach out to the parent's threads.
        if (user && (syscall(SYS_setgroups, 0, nullptr) != 0 || syscall(SYS_setresgid, *user, *user, *user) != 0
                     || syscall(SYS_setresuid, *user, *user, *user) != 0))
            _exit(127);
        if (openat2Error)
            refuseOpenat2(openat2Error);
    });
    QStringList list;
    for (const std::string &argument : arguments)
        list << QString::fromStdString(argument);
    tool.start(toolForTestsPath(), list);
}

ToolResult runToolAs(const std::string &sdks, const std::vector<std::string> &arguments, const ToolLaunch &launch)
{
    QProcess tool;
    startTool(tool, sdks, arguments, launch);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(120000))
        tool.kill();
    tool.waitForFinished();
    ToolResult result;
    if (tool.exitStatus() == QProcess::NormalExit)
        result.exitCode = tool.exitCode();
    result.standardOutput = tool.readAllStandardOutput();
    result.standardError = tool.readAllStandardError();
    return result;
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

// Tests leave folders nobody may write; their owner may open them again.
void ToolTreeTest::TearDown()
{
    QProcess::execute("chmod", {"-R", "u+rwx", QString::fromStdString(base)});
    std::error_code ignored;
    fs::remove_all(base, ignored);
}

std::string ToolTreeTest::openTemporaryFolder()
{
    char pattern[] = "/tmp/tarnwick-tool-XXXXXX";
    const std::string folder = mkdtemp(pattern);
    chmod(folder.c_str(), 0755);
    return folder;
}

bool ToolTreeTest::exists(const std::string &path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

std::vector<std::string> ToolTreeTest::hiddenItems(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".tarnwick-") != std::string::npos)
            names.push_back(entry.path().filename().string());
    return names;
}
