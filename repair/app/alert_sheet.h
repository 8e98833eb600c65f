#pragma once

#include <QMessageBox>

class QString;
class QWidget;

// A message with one OK button, window-modal on window, shown at once and
// deleted when dismissed. Nothing waits for it.
QMessageBox *openAlertSheet(const QString &message, const QString &informativeText, QWidget *window,
                            QMessageBox::Icon icon = QMessageBox::Information);
