#include "flow_layout.h"

#include <QWidget>

#include <algorithm>

FlowLayout::FlowLayout(QWidget *parent, int horizontalSpacing, int verticalSpacing)
    : QLayout(parent)
    , m_horizontalSpacing(horizontalSpacing)
    , m_verticalSpacing(verticalSpacing)
{
}

FlowLayout::~FlowLayout()
{
    qDeleteAll(m_items);
}

void FlowLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
}

int FlowLayout::count() const
{
    return static_cast<int>(m_items.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return Qt::Horizontal;
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

// As narrow as the widest item, and as high as the rows are then.
QSize FlowLayout::minimumSize() const
{
    const QMargins margins = contentsMargins();
    int width = 0;
    for (const QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            width = std::max(width, item->minimumSize().width());
    }
    width += margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

// Everything in one row.
QSize FlowLayout::sizeHint() const
{
    const QMargins margins = contentsMargins();
    int width = 0;
    int visible = 0;
    for (const QLayoutItem *item : m_items) {
        if (!item->isEmpty()) {
            width += item->sizeHint().width();
            ++visible;
        }
    }
    width += std::max(0, visible - 1) * m_horizontalSpacing + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem *> visible;
    for (QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            visible << item;
    }
    int y = area.y();
    qsizetype first = 0;
    while (first < visible.size()) {
        // The row takes items at their preferred width while they fit,
        // and always at least one.
        qsizetype end = first + 1;
        int used = std::min(visible[first]->sizeHint().width(), area.width());
        while (end < visible.size() && used + m_horizontalSpacing + visible[end]->sizeHint().width() <= area.width()) {
            used += m_horizontalSpacing + visible[end]->sizeHint().width();
            ++end;
        }
        int height = 0;
        int growing = 0;
        for (qsizetype i = first; i < end; ++i) {
            height = std::max(height, visible[i]->sizeHint().height());
            if (visible[i]->expandingDirections() & Qt::Horizontal)
                ++growing;
        }
        if (apply) {
            int spare = std::max(0, area.width() - used);
            int x = area.x();
            for (qsizetype i = first; i < end; ++i) {
                QLayoutItem *item = visible[i];
                int width = std::min(item->sizeHint().width(), area.width());
                if (growing > 0 && (item->expandingDirections() & Qt::Horizontal)) {
                    const int share = spare / growing--;
                    width += share;
                    spare -= share;
                }
                width = std::min(std::max(width, item->minimumSize().width()), item->maximumSize().width());
                const int itemHeight = std::min(height, item->sizeHint().height());
                item->setGeometry(QRect(x, y + (height - itemHeight) / 2, width, itemHeight));
                x += width + m_horizontalSpacing;
            }
        }
        y += height + m_verticalSpacing;
        first = end;
    }
    if (!visible.isEmpty())
        y -= m_verticalSpacing;
    const QMargins margins = contentsMargins();
    return y - area.y() + margins.top() + margins.bottom();
}
