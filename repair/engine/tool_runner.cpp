#include "tool_runner.h"

#include <QDBusConnection>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool readStartedLine(int fd)
{
    QByteArray received;
    char buffer[64];
    while (!received.contains('\n')) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        received.append(buffer, n);
    }
    return received.startsWith("started\n");
}

void reap(pid_t pid)
{
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

ToolRunner::ToolRunner(QString toolPath, QStringList elevationCommand, QObject *parent)
    : ActionRunner(parent)
    , m_toolPath(std::move(toolPath))
    , m_elevationCommand(std::move(elevationCommand))
{
}

ToolRunner::~ToolRunner()
{
    for (const Run &run : m_runs) {
        delete run.notifier;
        close(run.fd);
    }
}

QStringList ToolRunner::defaultElevationCommand()
{
    if (geteuid() == 0)
        return {};
    return {QStringLiteral("pkexec"), QStringLiteral("--disable-internal-agent")};
}

bool ToolRunner::performActions(const QStringList &actions)
{
    QStringList command = m_elevationCommand;
    command << m_toolPath << actions;
    if (!QDir::isAbsolutePath(command.first()))
        command.first() = QStandardPaths::findExecutable(command.first());
    if (command.first().isEmpty())
        return false;

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

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0)
        return false;
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);

    const pid_t pid = fork();
    if (pid == 0) {
        setsid(); // keep the terminal's signals away from the tool
        dup2(output[1], STDOUT_FILENO);
        if (devNull >= 0)
            dup2(devNull, STDIN_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    if (devNull >= 0)
        close(devNull);
    if (pid < 0) {
        close(output[0]);
        return false;
    }
    if (!readStartedLine(output[0])) {
        close(output[0]);
        reap(pid);
        return false;
    }
    watch(pid, output[0]);
    return true;
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
        emit toolQuitNotification();
}

void ToolRunner::watch(pid_t pid, int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, fd] { runOutputReady(fd); });
    m_runs.push_back({pid, fd, notifier});
}

void ToolRunner::runOutputReady(int fd)
{
    char buffer[256];
    ssize_t n;
    do {
        n = read(fd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n > 0 || (n < 0 && errno == EAGAIN))
        return;

    const auto run = std::find_if(m_runs.begin(), m_runs.end(),
                                  [fd](const Run &r) { return r.fd == fd; });
    if (run == m_runs.end())
        return;
    const pid_t pid = run->pid;
    run->notifier->setEnabled(false);
    run->notifier->deleteLater();
    close(fd);
    m_runs.erase(run);
    reap(pid);
    emit toolQuitNotification();
}
