// A row's menu: the row button's repair and the single export, both without
// a modifier key, which some window managers keep for themselves.

#include "app_delegate.h"

#include "fix_plan.h"
#include "table_cell_view.h"
#include "window.h"

#include <QMenu>

// The rules of the row button with the Alt key up, then with it down; an
// item acts only if the disk still holds what the row showed.
void AppDelegate::showRowMenu(TableCellView *view, const QPoint &globalPos)
{
    const SdkEntry shown = view->entry();
    auto *menu = new QMenu(m_window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (shown.interrupted) {
        // Nothing else is offered until the SDK is as it was.
        QAction *putBack = menu->addAction(tr("&Put Back"), this, [this, shown] {
            if (rowMatchesDisk(shown, false))
                m_repairs.putBackSDK(shown.name);
        });
        putBack->setEnabled(shown.pressable);
        menu->popup(globalPos);
        return;
    }
    if (isInFixableRange(shown.minor)) {
        QAction *repair = menu->addAction(shown.fixed ? tr("&Restore") : tr("&Fix"), this, [this, shown] {
            if (rowMatchesDisk(shown, false))
                shown.fixed ? m_repairs.restoreSDK(shown.name) : m_repairs.tarnwick(shown.name);
        });
        repair->setEnabled(shown.pressable);
    }
    QAction *exportOne = menu->addAction(tr("&Export…"), this, [this, shown] {
        if (rowMatchesDisk(shown, true))
            m_exportImport.exportSDK(shown.name);
    });
    exportOne->setEnabled(!m_runs.sdkIsBusy(shown.name));
    menu->popup(globalPos);
}
