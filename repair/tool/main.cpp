// Tool: carries out an action list with administrator rights.
//
// Arguments: verb, operand, operand, ... as built by Tarnwick. The whole list
// is checked first; then every action runs in order, a failed one reported
// and passed over. At the end, ToolQuit is posted on the system bus.
// Exit status: 0 all done, 1 some action failed, 2 list refused.

#include "action_list.h"
#include "item_operations.h"
#include "tool_quit.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

namespace {

std::string sdkDirectory()
{
#ifdef TOOL_SDK_DIRECTORY_VARIABLE
    if (const char *folder = std::getenv(TOOL_SDK_DIRECTORY_VARIABLE); folder && *folder)
        return folder;
#endif
    return TOOL_SDK_DIRECTORY;
}

// The caller learns from this line that the rights were granted. Nobody
// need read it: a closed or full pipe must not stop the work.
void announceStart()
{
    static const char line[] = "started\n";
    const char *rest = line;
    size_t left = sizeof line - 1;
    while (left > 0) {
        const ssize_t n = write(STDOUT_FILENO, rest, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        rest += n;
        left -= static_cast<size_t>(n);
    }
}

void report(const std::string &message)
{
    std::fprintf(stderr, "Tool: %s\n", message.c_str());
    syslog(LOG_ERR, "%s", message.c_str());
}

std::string perform(const Action &action, const std::string &sdkDirectory)
{
    if (action.verb == "Copy")
        return copyItem(action.first, action.second, sdkDirectory);
    if (action.verb == "Move")
        return moveItem(action.first, action.second, sdkDirectory);
    return removeItem(action.first, sdkDirectory);
}

} // namespace

int main(int argc, char **argv)
{
    std::signal(SIGPIPE, SIG_IGN);
    fcntl(STDOUT_FILENO, F_SETFD, FD_CLOEXEC);
    umask(077); // every new item gets its mode explicitly
    announceStart();
    openlog("tarnwick-tool", LOG_PID, LOG_USER);

    const std::string sdks = sdkDirectory();
    const auto checked = validateActionList({argv + 1, argv + argc}, sdks);
    int status = 0;
    if (const auto *refusal = std::get_if<Refusal>(&checked)) {
        report("refused the list, nothing done: " + refusal->reason);
        status = 2;
    } else {
        for (const Action &action : std::get<std::vector<Action>>(checked)) {
            const std::string error = perform(action, sdks);
            if (error.empty())
                continue;
            std::string what = action.verb + " " + quoted(action.first);
            if (!action.second.empty())
                what += " to " + quoted(action.second);
            report(what + " failed: " + error);
            status = 1;
        }
    }
    postToolQuit();
    closelog();
    return status;
}
