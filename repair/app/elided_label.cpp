#include "elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

bool ElidedLabel::isElided() const
{
    return shownText() != text();
}

QSize ElidedLabel::minimumSizeHint() const
{
    // Room for the ellipsis and a few letters on either side of it.
    const QSize full = QLabel::minimumSizeHint();
    return {std::min(full.width(), fontMetrics().horizontalAdvance(QStringLiteral("Mac…sdk"))), full.height()};
}

QString ElidedLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideMiddle, contentsRect().width());
}

bool ElidedLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        if (isElided())
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        else
            event->ignore(); // the row's own tooltip, if any
        return isElided();
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shownText(), foregroundRole());
}
