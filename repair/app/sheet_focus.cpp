#include "sheet_focus.h"

#include <QDialog>
#include <QPointer>

void returnFocusWhenClosed(QDialog *sheet, QWidget *window)
{
    const QPointer<QWidget> opener = window->focusWidget();
    QObject::connect(sheet, &QDialog::finished, window, [opener] {
        for (QWidget *target = opener; target && !target->isWindow(); target = target->parentWidget()) {
            if (target->isVisible() && target->isEnabled() && (target->focusPolicy() & Qt::TabFocus)) {
                target->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    });
}
