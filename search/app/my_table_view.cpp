#include "my_table_view.h"

#include <QKeyEvent>

void MyTableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return && !event->modifiers().testFlag(Qt::KeypadModifier)) {
        emit doubleAction();
        return;
    }
    QTableView::keyPressEvent(event);
}
