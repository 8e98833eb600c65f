// The repair commands: a row button, fix all, restore all, and showing the
// SDK directory. Each builds one action list and hands it over in one piece.

#include "app_delegate.h"

#include "fix_plan.h"
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
    } else if (minor <= 6) {
        beep();
    } else if (shown.fixed) {
        restoreSDK(sdk);
    } else {
        tarnwick(sdk);
    }
}

void AppDelegate::tarnwick(const QString &sdk)
{
    QStringList actions;
    addFixActions(actions, sdk, m_layout);
    startRun(actions, {RunPurpose::Fix, {sdk}, static_cast<int>(actions.size() / 3), {}, {}});
}

void AppDelegate::restoreSDK(const QString &sdk)
{
    QStringList actions;
    addRestoreActions(actions, sdk, m_layout);
    startRun(actions, {RunPurpose::Restore, {sdk}, static_cast<int>(actions.size() / 3), {}, {}});
}

// One list for every SDK of the fixable range whose fixed state is as
// asked, in table order, handed over in one piece when not empty; nothing
// when the table no longer showed the disk. A row whose name has no SDK's
// form is left out: the tool would refuse the whole list for it.
void AppDelegate::performForFixableRange(bool fixed, PlanWriter addActions, RunPurpose::Kind kind)
{
    window->setAltKeyDown(false);
    if (!tableMatchesDisk())
        return;
    QStringList actions;
    QStringList sdks;
    for (const SdkRow &row : std::as_const(tableContents)) {
        const QString sdk = ::sdkOfRow(row);
        if (!SdkCatalogue::isSdkName(sdk) || !isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk))
            || m_layout.doesQDHeaderOrigExistInSDK(sdk) != fixed)
            continue;
        const qsizetype before = actions.size();
        addActions(actions, sdk, m_layout);
        if (actions.size() > before)
            sdks << sdk;
    }
    if (!actions.isEmpty())
        startRun(actions, {kind, sdks, static_cast<int>(actions.size() / 3), {}, {}});
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
