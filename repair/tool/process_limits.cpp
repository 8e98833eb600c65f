#include "process_limits.h"

#include <csignal>
#include <initializer_list>
#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Descriptors: far more than any walk holds, within what the kernel allows
// without further settings.
constexpr rlim_t enoughFiles = 65536;

void raise(int resource, rlim_t wanted)
{
    rlimit limit;
    if (getrlimit(resource, &limit) != 0)
        return;
    if (limit.rlim_max != RLIM_INFINITY && (wanted == RLIM_INFINITY || limit.rlim_max < wanted)) {
        const rlimit lifted{wanted, wanted};
        if (setrlimit(resource, &lifted) == 0)
            return;
    }
    limit.rlim_cur = limit.rlim_max;
    setrlimit(resource, &limit);
}

} // namespace

void undoCallersSetUp()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) < 0 && open("/dev/null", O_RDWR) != fd)
            _exit(2);
    }
    for (const int resource : {RLIMIT_FSIZE, RLIMIT_CPU, RLIMIT_RTTIME, RLIMIT_STACK, RLIMIT_AS, RLIMIT_DATA})
        raise(resource, RLIM_INFINITY);
    raise(RLIMIT_NOFILE, enoughFiles);
    const sched_param normal{};
    sched_setscheduler(0, SCHED_OTHER, &normal);
    for (const int signal : {SIGXFSZ, SIGPIPE, SIGINT, SIGQUIT, SIGTSTP, SIGTTIN, SIGTTOU, SIGHUP, SIGXCPU})
        std::signal(signal, SIG_IGN);
    setsid(); // fails for a process group's leader, which the ignored signals cover
}
