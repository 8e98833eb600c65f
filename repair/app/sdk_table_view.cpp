#include "sdk_table_view.h"

#include "sdk_table_accessibility.h"
#include "table_cell_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

SdkTableView::SdkTableView(QWidget *parent)
    : QScrollArea(parent)
    , m_content(new QWidget)
    , m_layout(new QVBoxLayout(m_content))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    m_content->setBackgroundRole(QPalette::Base);
    m_content->setAutoFillBackground(true);
    setWidget(m_content);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The rows take the focus; the area around them would show none.
    setFocusPolicy(Qt::NoFocus);
    installSdkTableAccessibility();
}

void SdkTableView::reloadData()
{
    ++m_reloads;
    for (TableCellView *view : std::as_const(m_rows))
        m_layout->removeWidget(view);
    m_reusable = m_rows;
    m_rows.clear();

    const int rows = m_dataSource ? m_dataSource->numberOfRowsInTableView(this) : 0;
    for (int row = 0; row < rows; ++row) {
        for (const QString &column : std::as_const(m_columns)) {
            auto *view = qobject_cast<TableCellView *>(
                m_dataSource->tableViewViewForTableColumnRow(this, column, row));
            if (!view)
                continue;
            view->setBackgroundRole(row % 2 ? QPalette::AlternateBase : QPalette::Base);
            m_layout->insertWidget(static_cast<int>(m_rows.size()), view);
            view->show();
            m_rows.append(view);
        }
    }
    // Later: a row's own button may have asked for this reload.
    for (TableCellView *view : std::as_const(m_reusable)) {
        view->hide();
        view->deleteLater();
    }
    m_reusable.clear();
    orderTabChain();
    // The window starts with the first row, not with the buttons below:
    // they come first in its chain, which is a circle.
    if (!window()->focusWidget() && !m_rows.isEmpty())
        m_rows.first()->setFocus(Qt::OtherFocusReason);
}

// New rows join the window's chain at its end, after the controls below
// them: put everything back in reading order.
void SdkTableView::orderTabChain()
{
    QList<QWidget *> chain;
    for (TableCellView *view : std::as_const(m_rows))
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
        QScrollArea::keyPressEvent(event);
        return;
    }
    viewAtRow(target)->setFocus(Qt::OtherFocusReason);
    ensureWidgetVisible(viewAtRow(target), 0, 0);
}

TableCellView *SdkTableView::makeViewWithIdentifier(const QString &identifier)
{
    for (qsizetype i = 0; i < m_reusable.size(); ++i) {
        if (m_reusable[i]->identifier() == identifier)
            return m_reusable.takeAt(i);
    }
    return new TableCellView(identifier, m_content);
}

int SdkTableView::rowForView(const QWidget *view) const
{
    for (; view; view = view->parentWidget()) {
        const auto row = m_rows.indexOf(const_cast<TableCellView *>(qobject_cast<const TableCellView *>(view)));
        if (row >= 0)
            return static_cast<int>(row);
    }
    return -1;
}

TableCellView *SdkTableView::viewAtRow(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row] : nullptr;
}
