#include "sdk_path_delegate.h"

#include <QApplication>
#include <QStyle>

void SdkPathDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QString text = option->text;
    const qsizetype slash = text.indexOf(u'/');
    if (slash <= 0)
        return; // a full path, outside the SDK directory
    const QStyle *style = option->widget ? option->widget->style() : QApplication::style();
    // The text margins of a cell, and a little more for rounding.
    const int margins = (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget) + 1) * 2 + 2;
    const int room = option->rect.width() - margins;
    const QFontMetrics &metrics = option->fontMetrics;
    if (metrics.horizontalAdvance(text) <= room)
        return;
    const QString sdk = text.left(slash + 1);
    const int rest = room - metrics.horizontalAdvance(sdk);
    if (rest < metrics.horizontalAdvance(QStringLiteral("…/x.h")))
        return; // too narrow even for that: the table's own eliding
    option->text = sdk + metrics.elidedText(text.mid(slash + 1), Qt::ElideLeft, rest);
}
