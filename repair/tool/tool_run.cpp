#include "tool_run.h"

#include "action_group.h"
#include "action_list.h"
#include "file_identity.h"
#include "item_operations.h"
#include "line_output.h"
#include "process_limits.h"
#include "test_pause.h"
#include "tool_output.h"
#include "tool_quit.h"

#include <cstdlib>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

namespace {

std::string droppedLine(std::uint64_t dropped)
{
    return "Tool: " + std::to_string(dropped) + " lines were dropped here, as nobody read them in time\n";
}

// For people: on standard error, and in the system log.
class Reports
{
public:
    Reports() : m_errors(STDERR_FILENO, droppedLine) {}
    void report(const std::string &message)
    {
        m_errors.send(outputLine("Tool:", message));
        syslog(LOG_ERR, "%s", message.c_str());
    }
    void finish() { m_errors.finish(); }

private:
    LineOutput m_errors;
};

std::string perform(const Action &action, SdkDirectory &sdkDirectory, CopyProgress &progress)
{
    switch (action.verb) {
    case Verb::copy:
        return copyItem(action.first, action.second, sdkDirectory, progress);
    case Verb::move:
        return moveItem(action.first, action.second, sdkDirectory, progress);
    case Verb::remove:
        return removeItem(action.first, sdkDirectory);
    case Verb::undo:
        break; // an SDK is put back as a group, never here
    }
    return {};
}

// Checks the list and who asked; "" or why nothing may be done.
std::string refusalOf(const std::variant<std::vector<Action>, Refusal> &checked)
{
    const std::string identity = adoptInvokingUser(std::getenv("PKEXEC_UID"));
    keepOnlyFileCapabilities();
    if (const auto *refusal = std::get_if<Refusal>(&checked))
        return refusal->reason;
    return identity;
}

std::string describe(const Action &action)
{
    std::string what = wordOf(action.verb) + " " + quoted(action.first);
    if (!action.second.empty())
        what += " to " + quoted(action.second);
    return what;
}

// Reports a group's end; true when it changed the SDK as asked.
bool reportGroup(const std::vector<Action> &actions, std::size_t first, std::size_t last, const GroupOutcome &outcome,
                 ToolOutput &output, Reports &reports)
{
    static const char *const words[] = {"done", "unchanged", "interrupted"};
    if (outcome.kind != GroupOutcome::done) {
        const std::string what = describe(actions[outcome.failedAt]) + " failed: " + outcome.reason;
        reports.report(what);
        output.failed(outcome.failedAt + 1, what);
    }
    output.group(first + 1, last, words[outcome.kind], outcome.reason);
    return outcome.kind == GroupOutcome::done;
}

int carryOut(const std::vector<Action> &actions, SdkDirectory &sdks, ToolOutput &output, Reports &reports)
{
    CopyTotals totals;
    for (const Action &action : actions) {
        if (action.verb == Verb::copy)
            addCopySize(action.first, sdks, totals);
    }
    output.total(totals);
    ProgressLines progress(output, totals);
    int status = 0;
    for (std::size_t i = 0; i < actions.size();) {
        const Action &action = actions[i];
        if (action.verb == Verb::undo) {
            GroupOutcome outcome = undoChange(action.first.substr(action.first.rfind('/') + 1), sdks);
            outcome.failedAt = i;
            actAs(Rights::root);
            if (!reportGroup(actions, i, i + 1, outcome, output, reports))
                status = 1;
            ++i;
            continue;
        }
        if (const std::string sdk = sdkChangedBy(action, sdks.path()); !sdk.empty()) {
            std::size_t last = i + 1;
            while (last < actions.size() && sdkChangedBy(actions[last], sdks.path()) == sdk)
                ++last;
            const GroupOutcome outcome = runGroup(actions, i, last, sdk, sdks, progress);
            actAs(Rights::root);
            if (!reportGroup(actions, i, last, outcome, output, reports))
                status = 1;
            i = last;
            continue;
        }
        const std::string error = failsForTest(i + 1) ? "failed as the test asked" : perform(action, sdks, progress);
        actAs(Rights::root);
        ++i;
        if (error.empty())
            continue;
        const std::string what = describe(action) + " failed: " + error;
        reports.report(what);
        output.failed(i, what);
        status = 1;
    }
    progress.finish();
    return status;
}

} // namespace

int runTool(const std::vector<std::string> &arguments, const std::string &sdkDirectory)
{
    undoCallersSetUp();
    umask(077); // every new item gets its mode explicitly
    ToolOutput output(STDOUT_FILENO);
    Reports reports;
    output.started();
    openlog("tarnwick-tool", LOG_PID, LOG_USER);

    const auto checked = validateActionList(arguments, sdkDirectory);
    int status = 2;
    if (const std::string refusal = refusalOf(checked); !refusal.empty()) {
        reports.report("refused the list, nothing done: " + refusal);
        output.refused(refusal);
    } else {
        SdkDirectory sdks(sdkDirectory);
        status = carryOut(std::get<std::vector<Action>>(checked), sdks, output, reports);
    }
    output.finish();
    reports.finish();
    actAs(Rights::root);
    postToolQuit();
    closelog();
    return status;
}
