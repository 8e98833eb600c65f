// A row's menu: the row button's repair and the single export, both without
// a modifier key, which some window managers keep for themselves.

#include "app_delegate.h"

#include "elided_label.h"
#include "fix_plan.h"
#include "table_cell_view.h"
#include "window.h"

#include <QMenu>

void AppDelegate::showRowMenu(TableCellView *view, const QPoint &globalPos)
{
    const QString sdk = view->textField()->text();
    auto *menu = new QMenu(window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The rules of the row button with the Alt key up, then with it down.
    if (isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk))) {
        const bool fixed = m_layout.doesQDHeaderOrigExistInSDK(sdk);
        QAction *repair = menu->addAction(fixed ? tr("&Restore") : tr("&Fix"), this, [this, sdk, fixed] {
            fixed ? restoreSDK(sdk) : tarnwick(sdk);
        });
        repair->setEnabled(!importExportInProgress && sdk10_6Exists());
    }
    QAction *exportOne = menu->addAction(tr("&Export…"), this, [this, sdk] { exportSDK(sdk); });
    exportOne->setEnabled(!importExportInProgress);
    menu->popup(globalPos);
}
