#include "alert_sheet.h"

#include "sheet_focus.h"

#include <QCoreApplication>
#include <QMessageBox>

QMessageBox *openAlertSheet(const QString &message, const QString &informativeText, QWidget *window,
                            QMessageBox::Icon icon)
{
    auto *alert = new QMessageBox(icon, QCoreApplication::translate("AlertSheet", "Tarnwick"), message,
                                  QMessageBox::Ok, window);
    alert->setInformativeText(informativeText);
    // Left to itself the box wraps a sentence into a narrow column.
    alert->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 320px; }"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    returnFocusWhenClosed(alert, window);
    alert->open();
    return alert;
}
