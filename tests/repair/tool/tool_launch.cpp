#include "tool_launch.h"

#include <QProcessEnvironment>

#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Where the tests' trees lie. Tool grants root's rights only beneath a way
// that root alone controls, which /tmp (writable by all) is not; so the
// program, as root, takes a mount namespace of its own and a tmpfs of
// root's over /mnt in it, nothing of which outlives the program. Made
// before main, while no thread exists that would stay behind in the old
// namespace. The bus's socket under /tmp stays where it is.
struct TreeRoot {
    std::string folder = "/tmp";
    std::string notRootsAlone; // why folder is not root's alone, if it is not
};

const TreeRoot treeRoot = [] {
    TreeRoot root;
    if (geteuid() != 0) {
        root.notRootsAlone = "not root";
        return root;
    }
    umask(022);
    struct stat mnt;
    if (stat("/mnt", &mnt) != 0 || !S_ISDIR(mnt.st_mode) || mnt.st_uid != 0) {
        root.notRootsAlone = "there is no folder /mnt of root's to mount a tmpfs over";
    } else if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
               || mount("tarnwick-tool-tests", "/mnt", "tmpfs", 0, "mode=0755") != 0) {
        root.notRootsAlone = std::string("no private tmpfs can be mounted here: ") + std::strerror(errno);
    } else {
        root.folder = "/mnt";
    }
    return root;
}();

// Makes the system call number fail with error. Tool is built for the
// test's own architecture, so the filter need not look at it.
void refuseCall(long number, int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(number), 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0
        || syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0)
        _exit(127);
}

void takeRealTimePolicy()
{
    const sched_param priority{1};
    if (syscall(SYS_sched_setscheduler, 0, SCHED_FIFO, &priority) != 0)
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
    if (launch.failAction)
        environment.insert("TARNWICK_TEST_FAIL_ACTION", QString::number(launch.failAction));
    if (launch.killAt)
        environment.insert("TARNWICK_TEST_KILL_AT", QString::number(launch.killAt));
    tool.setProcessEnvironment(environment);
    tool.setChildProcessModifier([launch] {
        if ((launch.output >= 0 && dup2(launch.output, STDOUT_FILENO) < 0)
            || (launch.errors >= 0 && dup2(launch.errors, STDERR_FILENO) < 0))
            _exit(127);
        for (const ToolLimit &wanted : launch.limits) {
            rlimit limit;
            getrlimit(wanted.resource, &limit);
            limit.rlim_cur = wanted.value;
            if (wanted.hardToo)
                limit.rlim_max = wanted.value;
            setrlimit(wanted.resource, &limit);
        }
        // Raw calls: the child may share the parent's memory until exec,
        // and the library's calls would reach out to the parent's threads.
        const std::optional<uid_t> user = launch.user;
        if (user && (syscall(SYS_setgroups, 0, nullptr) != 0 || syscall(SYS_setresgid, *user, *user, *user) != 0
                     || syscall(SYS_setresuid, *user, *user, *user) != 0))
            _exit(127);
        if (launch.realTime)
            takeRealTimePolicy();
        if (launch.openat2Error)
            refuseCall(SYS_openat2, launch.openat2Error);
        if (launch.linkatError)
            refuseCall(SYS_linkat, launch.linkatError);
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

ToolMemory execTool(const std::string &sdks, const std::vector<std::string> &arguments, uid_t pkexecUid,
                    const std::function<void(pid_t)> &whileHeld)
{
    std::vector<std::string> words{toolForTestsPath().toStdString()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> settings{"TARNWICK_TEST_SDK_DIRECTORY=" + sdks, "PKEXEC_UID=" + std::to_string(pkexecUid)};
    std::vector<char *> argv, environment;
    for (std::string &word : words)
        argv.push_back(word.data());
    for (std::string &setting : settings)
        environment.push_back(setting.data());
    argv.push_back(nullptr);
    environment.push_back(nullptr);
    const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    int gate[2];
    EXPECT_EQ(pipe2(gate, O_CLOEXEC), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        char byte;
        if (read(gate[0], &byte, 1) == 1 && dup2(quiet, STDOUT_FILENO) >= 0 && dup2(quiet, STDERR_FILENO) >= 0)
            execve(argv[0], argv.data(), environment.data());
        _exit(127);
    }
    close(quiet);
    if (whileHeld && pid > 0)
        whileHeld(pid);
    EXPECT_EQ(write(gate[1], "x", 1), 1);
    close(gate[0]);
    close(gate[1]);
    ToolMemory result;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.peakKiB = usage.ru_maxrss;
    }
    return result;
}

int resumeTool(QProcess &tool)
{
    tool.write("x");
    tool.closeWriteChannel();
    if (!tool.waitForFinished(60000)) {
        tool.kill();
        tool.waitForFinished();
        return -1;
    }
    return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

testing::AssertionResult ended(const ToolResult &result, int code, const QByteArray &what,
                               QByteArray ToolResult::*told)
{
    if (result.exitCode == code && (result.*told).contains(what))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "exit status " << result.exitCode << " where " << code << " was due, "
                                       << "and \"" << what.constData() << "\" is to be told in: "
                                       << (result.*told).constData();
}

std::vector<std::string> words(const QStringList &list)
{
    std::vector<std::string> words;
    for (const QString &word : list)
        words.push_back(word.toStdString());
    return words;
}

std::string readToEnd(int fd)
{
    std::string text;
    char buffer[65536];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

bool realTimeAllowed()
{
    const pid_t pid = fork();
    if (pid == 0) {
        takeRealTimePolicy();
        _exit(0);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int folderChain(const std::string &top, int depth, const std::string &name)
{
    mkdir(top.c_str(), 0755);
    int folder = open(top.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth && folder >= 0; ++level) {
        mkdirat(folder, name.c_str(), 0755);
        const int next = openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(folder);
        folder = next;
    }
    return folder;
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
    std::string pattern = treeRoot.folder + "/tarnwick-tool-XXXXXX";
    const std::string folder = mkdtemp(pattern.data());
    chmod(folder.c_str(), 0755);
    return folder;
}

const std::string &ToolTreeTest::whyNotRootsAlone()
{
    return treeRoot.notRootsAlone;
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
