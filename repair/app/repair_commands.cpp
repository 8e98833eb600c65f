#include "repair_commands.h"

#include "fix_plan.h"
#include "interrupted_change.h"
#include "preflight.h"
#include "restore_plan.h"
#include "runs_under_way.h"

RepairCommands::RepairCommands(const QString &sdkDirectory, RunsUnderWay &runs,
                               std::function<void(const QUrl &)> openUrl)
    : m_catalogue(sdkDirectory)
    , m_layout(sdkDirectory)
    , m_runs(runs)
    , m_openUrl(std::move(openUrl))
{
}

// Each SDK's plan is checked on disk first: one that cannot run is left
// out, and said so, rather than left half changed by the tool.
void RepairCommands::addCheckedPlan(QStringList &actions, RunPurpose &purpose, const QString &sdk, PlanWriter addActions)
{
    QStringList own;
    addActions(own, sdk, m_layout);
    if (own.isEmpty())
        return;
    if (const auto problem = preflightProblem(own)) {
        purpose.leftOut.append({sdk, *problem});
        return;
    }
    purpose.sdks << sdk;
    purpose.firstActions << static_cast<int>(actions.size() / 3 + 1);
    actions << own;
}

// A list left empty by the checks starts nothing; the outcome tells why.
void RepairCommands::startCheckedRun(const QStringList &actions, RunPurpose purpose)
{
    purpose.actions = static_cast<int>(actions.size() / 3);
    purpose.sdkDirectory = m_catalogue.sdkDirectory();
    if (!actions.isEmpty() || purpose.leftOut.isEmpty())
        m_runs.startRun(actions, std::move(purpose));
    else
        m_runs.reportLeftOut(std::move(purpose));
}

void RepairCommands::repairOne(const QString &sdk, PlanWriter addActions, RunPurpose::Kind kind)
{
    QStringList actions;
    RunPurpose purpose{kind, {}, 0, {}, {}, {}, {}, {}};
    addCheckedPlan(actions, purpose, sdk, addActions);
    if (purpose.sdks.isEmpty() && purpose.leftOut.isEmpty())
        purpose.sdks << sdk;
    startCheckedRun(actions, std::move(purpose));
}

void RepairCommands::tarnwick(const QString &sdk)
{
    repairOne(sdk, addFixActions, RunPurpose::Fix);
}

void RepairCommands::restoreSDK(const QString &sdk)
{
    repairOne(sdk, addRestoreActions, RunPurpose::Restore);
}

// The tool replays the SDK's journal backwards.
void RepairCommands::putBackSDK(const QString &sdk)
{
    const QStringList actions{QStringLiteral("Undo"), m_catalogue.sdkPathFromSDK(sdk), QString()};
    RunPurpose purpose{RunPurpose::PutBack, {sdk}, 1, {}, {}, {}, {1}, m_catalogue.sdkDirectory()};
    m_runs.startRun(actions, std::move(purpose));
}

// One list for every SDK of the fixable range whose fixed state is as
// asked, in table order, handed over in one piece when not empty. A row
// whose name has no SDK's form is left out: the tool would refuse the whole
// list for it. So is an SDK whose change was cut short: only putting it
// back is offered.
void RepairCommands::performForFixableRange(const QList<SdkRow> &rows, bool fixed, PlanWriter addActions,
                                            RunPurpose::Kind kind)
{
    QStringList actions;
    RunPurpose purpose{kind, {}, 0, {}, {}, {}, {}, {}};
    for (const SdkRow &row : rows) {
        const QString sdk = sdkOfRow(row);
        if (!SdkCatalogue::isSdkName(sdk) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk))
            || m_layout.doesQDHeaderOrigExistInSDK(sdk) != fixed || isChangeInterrupted(m_catalogue.sdkDirectory(), sdk))
            continue;
        addCheckedPlan(actions, purpose, sdk, addActions);
    }
    if (!actions.isEmpty() || !purpose.leftOut.isEmpty())
        startCheckedRun(actions, std::move(purpose));
}

void RepairCommands::fixAll(const QList<SdkRow> &rows)
{
    performForFixableRange(rows, false, addFixActions, RunPurpose::Fix);
}

void RepairCommands::restoreAll(const QList<SdkRow> &rows)
{
    performForFixableRange(rows, true, addRestoreActions, RunPurpose::Restore);
}

void RepairCommands::showSDKsInFinderAction()
{
    m_openUrl(QUrl::fromLocalFile(m_catalogue.sdkDirectory()));
}
