#include "search_field.h"

#include <QKeyEvent>

#include <algorithm>

void SearchField::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+Alt is AltGr on some systems, which types characters.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier) && !event->text().isEmpty()
        && event->text().front().isPrint()) {
        event->ignore();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QSize SearchField::sizeHint() const
{
    const QSize hint = QLineEdit::sizeHint();
    return {std::max(hint.width(), fontMetrics().averageCharWidth() * 40), hint.height()};
}
