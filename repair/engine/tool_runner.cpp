#include "tool_runner.h"

#include <QDBusConnection>
#include <QDir>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The tool's lines are at most this long; anything longer is not its.
constexpr qsizetype maximumLine = 4096;

// The exit status, or minus the signal that ended the process.
int reap(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

// In the child, after fork: nothing the application holds reaches the
// tool but the three standard descriptors. Only async-signal-safe calls.
void closeInheritedDescriptors(int limit)
{
    if (close_range(3, ~0U, 0) == 0)
        return;
    for (int fd = 3; fd < limit; ++fd)
        close(fd);
}

int descriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > 1 << 20)
        return 1 << 20;
    return static_cast<int>(limit.rlim_cur);
}

} // namespace

ToolRunner::ToolRunner(QString toolPath, QStringList elevationCommand, QObject *parent)
    : ActionRunner(parent)
    , m_toolPath(std::move(toolPath))
    , m_elevationCommand(std::move(elevationCommand))
{
    qRegisterMetaType<RunReport>();
}

ToolRunner::~ToolRunner()
{
    for (const Run &run : m_runs) {
        delete run.notifier;
        close(run.fd);
    }
}

QString ToolRunner::elevationProgram()
{
    return QStringLiteral(PKEXEC_PATH);
}

QStringList ToolRunner::defaultElevationCommand()
{
    if (geteuid() == 0)
        return {};
    return {elevationProgram(), QStringLiteral("--disable-internal-agent")};
}

RunId ToolRunner::performActions(const QStringList &actions)
{
    QStringList command = m_elevationCommand;
    command << m_toolPath << actions;
    // Never a search through PATH: whatever stands first there would be
    // asked for the administrator's password.
    if (!QDir::isAbsolutePath(command.first()))
        return 0;

    // Before the start, so that the end of a quick run is not missed.
    registerToolQuitObserver();

    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls are allowed.
    std::vector<QByteArray> arguments;
    arguments.reserve(command.size());
    for (const QString &argument : command)
        arguments.push_back(argument.toUtf8());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const int limit = descriptorLimit();

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return 0;
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t pid = fork();
    if (pid == 0) {
        setsid(); // keep the terminal's signals away from the tool
        if (dup2(output[1], STDOUT_FILENO) < 0 || (devNull >= 0 && dup2(devNull, STDIN_FILENO) < 0))
            _exit(127);
        closeInheritedDescriptors(limit);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    if (devNull >= 0)
        close(devNull);
    if (pid < 0) {
        close(output[0]);
        return 0;
    }
    return watch(pid, output[0]);
}

void ToolRunner::registerToolQuitObserver()
{
    // Empty service and path: a ToolQuit from any sender and any path counts.
    // Qt keeps one connection per slot, however often this runs.
    QDBusConnection::systemBus().connect(QString(), QString(),
                                         QStringLiteral("org.tarnwick.Tool"),
                                         QStringLiteral("ToolQuit"), this,
                                         SLOT(toolQuitReceived()));
}

// While a run of ours is under way, its own end comes through its output;
// a ToolQuit then is most likely an earlier run's late announcement, which
// must not end the run under way (it would clear the busy state of an
// export or import still copying).
void ToolRunner::toolQuitReceived()
{
    if (m_runs.empty())
        emit toolQuitNotification(0);
}

RunId ToolRunner::watch(pid_t pid, int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const RunId id = ++m_lastRun;
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, id] { runOutputReady(id); });
    m_runs.push_back({id, pid, fd, notifier, {}, false, {}});
    return id;
}

ToolRunner::Run *ToolRunner::findRun(RunId id)
{
    const auto run = std::find_if(m_runs.begin(), m_runs.end(), [id](const Run &r) { return r.id == id; });
    return run == m_runs.end() ? nullptr : &*run;
}

void ToolRunner::runOutputReady(RunId id)
{
    Run *run = findRun(id);
    if (!run)
        return;
    bool ended = false;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(run->fd, buffer, sizeof buffer);
        if (n > 0) {
            run->unread.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        ended = n == 0 || errno != EAGAIN;
        break;
    }
    const bool changed = takeLines(*run);
    if (ended) {
        endRun(id);
    } else if (changed) {
        const RunReport report = run->report;
        emit runReported(id, report);
    }
}

// Every complete line into the run's report; true when it changed. Until
// "started" the lines are not the tool's: nothing but the answer counts.
bool ToolRunner::takeLines(Run &run)
{
    const RunReport before = run.report;
    qsizetype start = 0;
    for (qsizetype end; (end = run.unread.indexOf('\n', start)) >= 0; start = end + 1) {
        if (!run.skippingLine && end - start <= maximumLine) {
            const QByteArrayView line = QByteArrayView(run.unread).sliced(start, end - start);
            if (run.report.rights == RunReport::Granted)
                readToolLine(line, run.report);
            else if (line == "started")
                run.report.rights = RunReport::Granted;
        }
        run.skippingLine = false;
    }
    run.unread.remove(0, start);
    if (run.unread.size() > maximumLine) {
        run.unread.clear();
        run.skippingLine = true;
    }
    return run.report != before;
}

void ToolRunner::endRun(RunId id)
{
    Run *run = findRun(id);
    run->notifier->setEnabled(false);
    run->notifier->deleteLater();
    close(run->fd);
    RunReport report = std::move(run->report);
    report.ended = true;
    report.exitStatus = reap(run->pid);
    if (report.rights == RunReport::Asking)
        report.rights = report.exitStatus == dialogDismissedStatus ? RunReport::Dismissed : RunReport::NotGranted;
    m_runs.erase(m_runs.begin() + (run - m_runs.data()));
    emit runReported(id, report);
    emit toolQuitNotification(id);
}
