// The repair commands: a row button, fix all, restore all, and showing the
// SDK directory. Each builds one action list and hands it over in one piece.

#include "app_delegate.h"

#include "fix_plan.h"
#include "interrupted_change.h"
#include "preflight.h"
#include "restore_plan.h"
#include "table_cell_view.h"
#include "window.h"

#include <QApplication>
#include <QPushButton>

// A row's button acts on what the disk holds at the press, and only when
// that is what the row showed.
void AppDelegate::tableButtonAction(QPushButton *sender)
{
    const TableCellView *view = tableView->viewAtRow(tableView->rowForView(sender));
    // The second click of a double-click, on what has just changed under it.
    if (!view || view->offerChangedWithin(QApplication::doubleClickInterval()))
        return;
    // The Alt state stored at the click decides, not the title shown.
    const TableCellView::Offer shown = view->offer();
    if (!rowMatchesDisk(shown, window->altKeyDown()))
        return;
    const QString &sdk = shown.sdk;
    const qint64 minor = SdkCatalogue::osMinorNumFromSDK(sdk);
    if (window->altKeyDown()) {
        window->setAltKeyDown(false);
        exportSDK(sdk);
    } else if (shown.interrupted) {
        putBackSDK(sdk);
    } else if (minor <= 6) {
        beep();
    } else if (shown.fixed) {
        restoreSDK(sdk);
    } else {
        tarnwick(sdk);
    }
}

// Each SDK's plan is checked on disk first: one that cannot run is left
// out, and said so, rather than left half changed by the tool.
void AppDelegate::addCheckedPlan(QStringList &actions, RunPurpose &purpose, const QString &sdk, PlanWriter addActions)
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
void AppDelegate::startCheckedRun(const QStringList &actions, RunPurpose purpose)
{
    purpose.actions = static_cast<int>(actions.size() / 3);
    purpose.sdkDirectory = m_catalogue.sdkDirectory();
    if (!actions.isEmpty() || purpose.leftOut.isEmpty()) {
        startRun(actions, std::move(purpose));
        return;
    }
    if (m_runsUnderWay.empty())
        m_outcomes.clear();
    RunUnderWay notRun{std::move(purpose), {}, {}, {}, {}};
    notRun.report.rights = RunReport::Granted;
    notRun.report.ended = true;
    reportRunOutcome(notRun);
    showRunProgress();
}

void AppDelegate::tarnwick(const QString &sdk)
{
    QStringList actions;
    RunPurpose purpose{RunPurpose::Fix, {}, 0, {}, {}, {}, {}, {}};
    addCheckedPlan(actions, purpose, sdk, addFixActions);
    if (purpose.sdks.isEmpty() && purpose.leftOut.isEmpty())
        purpose.sdks << sdk;
    startCheckedRun(actions, std::move(purpose));
}

void AppDelegate::restoreSDK(const QString &sdk)
{
    QStringList actions;
    RunPurpose purpose{RunPurpose::Restore, {}, 0, {}, {}, {}, {}, {}};
    addCheckedPlan(actions, purpose, sdk, addRestoreActions);
    if (purpose.sdks.isEmpty() && purpose.leftOut.isEmpty())
        purpose.sdks << sdk;
    startCheckedRun(actions, std::move(purpose));
}

// The tool replays the SDK's journal backwards.
void AppDelegate::putBackSDK(const QString &sdk)
{
    const QStringList actions{QStringLiteral("Undo"), m_catalogue.sdkPathFromSDK(sdk), QString()};
    RunPurpose purpose{RunPurpose::PutBack, {sdk}, 1, {}, {}, {}, {1}, m_catalogue.sdkDirectory()};
    startRun(actions, std::move(purpose));
}

// One list for every SDK of the fixable range whose fixed state is as
// asked, in table order, handed over in one piece when not empty; nothing
// when the table no longer showed the disk. A row whose name has no SDK's
// form is left out: the tool would refuse the whole list for it. So is an
// SDK whose change was cut short: only putting it back is offered.
void AppDelegate::performForFixableRange(bool fixed, PlanWriter addActions, RunPurpose::Kind kind)
{
    window->setAltKeyDown(false);
    if (!tableMatchesDisk())
        return;
    QStringList actions;
    RunPurpose purpose{kind, {}, 0, {}, {}, {}, {}, {}};
    for (const SdkRow &row : std::as_const(tableContents)) {
        const QString sdk = ::sdkOfRow(row);
        if (!SdkCatalogue::isSdkName(sdk) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk))
            || m_layout.doesQDHeaderOrigExistInSDK(sdk) != fixed || isChangeInterrupted(m_catalogue.sdkDirectory(), sdk))
            continue;
        addCheckedPlan(actions, purpose, sdk, addActions);
    }
    if (!actions.isEmpty() || !purpose.leftOut.isEmpty())
        startCheckedRun(actions, std::move(purpose));
}

void AppDelegate::fixAllAction()
{
    performForFixableRange(false, addFixActions, RunPurpose::Fix);
}

void AppDelegate::restoreAllAction()
{
    performForFixableRange(true, addRestoreActions, RunPurpose::Restore);
}

void AppDelegate::showSDKsInFinderAction()
{
    openUrl(QUrl::fromLocalFile(m_catalogue.sdkDirectory()));
}
