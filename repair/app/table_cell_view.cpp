#include "table_cell_view.h"

#include "dimmed_text.h"
#include "elided_label.h"

#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

TableCellView::TableCellView(QWidget *parent)
    : QWidget(parent)
    , m_textField(new ElidedLabel(this))
    , m_button(new QPushButton(tr("Fix"), this))
{
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 3, 6, 3);
    layout->addWidget(m_textField, 1);
    layout->addWidget(m_button);
    // Return presses the button that has the focus, as Space does.
    m_button->setAutoDefault(true);
    // Rows without a button keep the height of those with one.
    QSizePolicy policy = m_button->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_button->setSizePolicy(policy);
    // Wide enough for the longest title, so rows line up whatever they say.
    m_button->setMinimumWidth(m_button->fontMetrics().horizontalAdvance(tr("Restore")) + 40);
    setAutoFillBackground(true);
    makeDimmedTextReadable();
    setDimmed(false);
}

void TableCellView::setDimmed(bool dimmed)
{
    m_textField->setForegroundRole(dimmed ? QPalette::PlaceholderText : QPalette::Text);
}

bool TableCellView::isDimmed() const
{
    return m_textField->foregroundRole() == QPalette::PlaceholderText;
}

// A view's first offer is no change: nothing stood under the pointer
// before. Nor is a button that is only turned off or on again: a press does
// the same as before, or nothing.
void TableCellView::setEntry(const SdkEntry &entry)
{
    if (m_offered && (entry.name != m_entry.name || entry.fixed != m_entry.fixed || entry.interrupted != m_entry.interrupted))
        m_offerChanged.start();
    m_entry = entry;
    m_offered = true;
}

bool TableCellView::offerChangedWithin(int msecs) const
{
    return m_offerChanged.isValid() && !m_offerChanged.hasExpired(msecs);
}

void TableCellView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        makeDimmedTextReadable();
    QWidget::changeEvent(event);
}

// Rows lie on Base and AlternateBase by turns: the text reads on both.
void TableCellView::makeDimmedTextReadable()
{
    makePlaceholderTextReadable(m_textField, palette(), QPalette::Text, {QPalette::Base, QPalette::AlternateBase});
}

void TableCellView::contextMenuEvent(QContextMenuEvent *event)
{
    emit menuRequested(event->reason() == QContextMenuEvent::Mouse ? event->globalPos() : keyboardMenuPosition());
}

// Below the focused control, where the menu hides neither it nor its row.
QPoint TableCellView::keyboardMenuPosition() const
{
    const QWidget *anchor = m_button->hasFocus() ? static_cast<const QWidget *>(m_button) : m_textField;
    return anchor->mapToGlobal(QPoint(0, anchor->height()));
}

void TableCellView::keyPressEvent(QKeyEvent *event)
{
    // The other key for a menu, where the keyboard has no menu key; that
    // key itself reaches contextMenuEvent().
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        emit menuRequested(keyboardMenuPosition());
        return;
    }
    QWidget::keyPressEvent(event);
}

void TableCellView::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void TableCellView::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void TableCellView::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    // A frame in the highlight colour, as list views mark their current row.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}
