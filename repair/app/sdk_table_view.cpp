#include "sdk_table_view.h"

#include "elided_label.h"
#include "sdk_table_accessibility.h"
#include "sdk_table_model.h"
#include "table_cell_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyledItemDelegate>

namespace {

// The rows' widgets draw the rows; the delegate only gives them their height.
class RowDelegate : public QStyledItemDelegate
{
public:
    explicit RowDelegate(QObject *parent)
        : QStyledItemDelegate(parent)
    {
        const TableCellView prototype;
        m_size = {prototype.minimumSizeHint().width(), prototype.sizeHint().height()};
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override { return m_size; }
    void paint(QPainter *, const QStyleOptionViewItem &, const QModelIndex &) const override {}

private:
    QSize m_size;
};

} // namespace

SdkTableView::SdkTableView(QWidget *parent)
    : QListView(parent)
{
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The rows take the focus; the area around them would show none.
    setFocusPolicy(Qt::NoFocus);
    installSdkTableAccessibility();
}

void SdkTableView::setSdkModel(SdkTableModel *model)
{
    m_model = model;
    setModel(model);
    if (numberOfRows() > 0 && !viewAtRow(0))
        addRowViews(0, numberOfRows() - 1);
}

void SdkTableView::reloadData()
{
    ++m_reloads;
    if (m_model)
        m_model->refresh();
    orderTabChain();
    // The window starts with the first row, not with the buttons below:
    // they come first in its chain, which is a circle.
    if (!window()->focusWidget() && numberOfRows() > 0)
        viewAtRow(0)->setFocus(Qt::OtherFocusReason);
}

// The rows as wide as the list at once: a wider row would hide its button.
void SdkTableView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        doItemsLayout();
}

void SdkTableView::addRowViews(int start, int end)
{
    for (int row = start; row <= end; ++row) {
        auto *view = new TableCellView;
        connect(view->button(), &QPushButton::clicked, this, [this, view] { emit buttonPressed(view); });
        connect(view, &TableCellView::menuRequested, this,
                [this, view](const QPoint &globalPos) { emit menuRequested(view, globalPos); });
        setIndexWidget(m_model->index(row), view);
        fixButtonForTableCellView(view, row);
    }
    for (int row = end + 1; row < numberOfRows(); ++row)
        viewAtRow(row)->moved();
    orderTabChain();
}

void SdkTableView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QListView::rowsInserted(parent, start, end);
    addRowViews(start, end);
}

void SdkTableView::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    for (int row = end + 1; row < numberOfRows(); ++row)
        viewAtRow(row)->moved();
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

// The views go with the rows they showed.
void SdkTableView::reset()
{
    QListView::reset();
    if (m_model && numberOfRows() > 0)
        addRowViews(0, numberOfRows() - 1);
}

void SdkTableView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles)
{
    QListView::dataChanged(topLeft, bottomRight, roles);
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row)
        if (TableCellView *view = viewAtRow(row))
            fixButtonForTableCellView(view, row);
}

// "Black" and "gray" text are the palette's normal and dimmed text, so
// that rows read in dark themes as in light ones.
void SdkTableView::fixButtonForTableCellView(TableCellView *view, int row)
{
    const SdkEntry &entry = m_model->entries().at(row);
    view->textField()->setText(entry.name);
    view->setEntry(entry);
    view->setDimmed(m_model->isDimmed(row));
    view->setBackgroundRole(row % 2 ? QPalette::AlternateBase : QPalette::Base);
    const SdkTableModel::Button look = m_model->button(row);
    QPushButton *button = view->button();
    if (look.hidden)
        button->setHidden(*look.hidden);
    if (look.title)
        button->setText(*look.title);
    // Qt would hand the focus of a button turned off to the next control,
    // another row's button: its own row keeps it instead.
    if (!look.enabled && button->hasFocus())
        view->setFocus(Qt::OtherFocusReason);
    button->setEnabled(look.enabled);
    // Read out of its row, a button says what it does to which SDK.
    button->setAccessibleName(tr("%1 %2", "a row button read out: what it does, to which SDK").arg(button->text(), entry.name));
    const QString why = m_model->data(m_model->index(row), Qt::AccessibleDescriptionRole).toString();
    view->setAccessibleDescription(why);
    view->setToolTip(why);
}

// New rows join the window's chain at its end, after the controls below
// them: put everything back in reading order.
void SdkTableView::orderTabChain()
{
    QList<QWidget *> chain;
    for (int row = 0; row < numberOfRows(); ++row)
        if (TableCellView *view = viewAtRow(row))
            chain << view << static_cast<QWidget *>(view->button());
    chain << m_afterRows;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void SdkTableView::keyPressEvent(QKeyEvent *event)
{
    const int focused = rowForView(QApplication::focusWidget());
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        target = focused - 1;
        break;
    case Qt::Key_Down:
        target = focused + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = numberOfRows() - 1;
        break;
    default:
        break;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (focused < 0 || target < 0 || target >= numberOfRows() || !plain) {
        // Scrolling by pages, not the item view's moves of a current item.
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    viewAtRow(target)->setFocus(Qt::OtherFocusReason);
    scrollTo(m_model->index(target));
}

int SdkTableView::numberOfRows() const
{
    return m_model ? m_model->rowCount() : 0;
}

int SdkTableView::rowForView(const QWidget *view) const
{
    for (; view; view = view->parentWidget()) {
        if (!qobject_cast<const TableCellView *>(view))
            continue;
        for (int row = 0; row < numberOfRows(); ++row)
            if (viewAtRow(row) == view)
                return row;
    }
    return -1;
}

TableCellView *SdkTableView::viewAtRow(int row) const
{
    return row >= 0 && row < numberOfRows() ? qobject_cast<TableCellView *>(indexWidget(m_model->index(row))) : nullptr;
}
