#include "disclaimer_sheet.h"

#include <QKeyEvent>
#include <QPushButton>

DisclaimerSheet::DisclaimerSheet(const QString &text, QWidget *parent)
    : QMessageBox(parent)
{
    setWindowTitle(tr("Tarnwick"));
    m_agree = addButton(tr("I Agree to all of the above"), QMessageBox::AcceptRole);
    m_disagree = addButton(tr("Disagree and Quit"), QMessageBox::RejectRole);
    setEscapeButton(m_disagree);
    setText(tr("Use of this Program is at your own risk"));
    setInformativeText(text);
    setIcon(QMessageBox::Warning);
    // The buttons get Return first when they have the focus.
    for (QObject *target : {static_cast<QObject *>(this), static_cast<QObject *>(m_agree),
                            static_cast<QObject *>(m_disagree)})
        target->installEventFilter(this);
}

bool DisclaimerSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            event->accept();
            return true;
        }
    }
    return QMessageBox::eventFilter(watched, event);
}
