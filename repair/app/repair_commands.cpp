// The repair commands: a row button, fix all, restore all, and showing the
// SDK directory. Each builds one action list and hands it over in one piece.

#include "app_delegate.h"

#include "fix_plan.h"
#include "restore_plan.h"
#include "window.h"

#include <QPushButton>

void AppDelegate::tableButtonAction(QPushButton *sender)
{
    const QString sdk = sdkOfRow(tableView->rowForView(sender));
    const qint64 minor = SdkCatalogue::osMinorNumFromSDK(sdk);
    // The Alt state stored at the click decides, not the title shown.
    if (window->altKeyDown()) {
        window->setAltKeyDown(false);
        exportSDK(sdk);
    } else if (minor <= 6) {
        beep();
    } else if (m_layout.doesQDHeaderOrigExistInSDK(sdk)) {
        restoreSDK(sdk);
    } else {
        tarnwick(sdk);
    }
}

void AppDelegate::tarnwick(const QString &sdk)
{
    QStringList actions;
    addFixActions(actions, sdk, m_layout);
    startRun(actions, {RunPurpose::Fix, 1, static_cast<int>(actions.size() / 3)});
}

void AppDelegate::restoreSDK(const QString &sdk)
{
    QStringList actions;
    addRestoreActions(actions, sdk, m_layout);
    startRun(actions, {RunPurpose::Restore, 1, static_cast<int>(actions.size() / 3)});
}

// One list for every SDK of the fixable range whose fixed state is as
// asked, in table order, handed over in one piece when not empty. A row
// whose name has no SDK's form is left out: the tool would refuse the
// whole list for it.
void AppDelegate::performForFixableRange(bool fixed, PlanWriter addActions, RunPurpose::Kind kind)
{
    window->setAltKeyDown(false);
    QStringList actions;
    int sdks = 0;
    for (const SdkRow &row : std::as_const(tableContents)) {
        const QString sdk = ::sdkOfRow(row);
        if (!SdkCatalogue::isSdkName(sdk) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk))
            || m_layout.doesQDHeaderOrigExistInSDK(sdk) != fixed)
            continue;
        const qsizetype before = actions.size();
        addActions(actions, sdk, m_layout);
        sdks += actions.size() > before;
    }
    if (!actions.isEmpty())
        startRun(actions, {kind, sdks, static_cast<int>(actions.size() / 3)});
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
