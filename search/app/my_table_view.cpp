#include "my_table_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

MyTableView::MyTableView(QWidget *parent)
    : QTableView(parent)
{
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (column == 0 && !m_fitting)
            m_preferredWidth = width;
    });
}

void MyTableView::setPreferredFirstColumnWidth(int width)
{
    m_preferredWidth = width;
    fitFirstColumn();
}

int MyTableView::selectedRow() const
{
    // Of several selected rows, the one selected last is the current one.
    const QItemSelectionModel *selection = selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), {}))
        return current.row();
    const QModelIndexList selected = selection->selectedRows();
    return selected.isEmpty() ? -1 : selected.last().row();
}

void MyTableView::setEmptyText(const QString &text)
{
    m_emptyText = text;
    // Read out with the table, where the eye sees it.
    setAccessibleDescription(text);
    viewport()->update();
}

void MyTableView::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (m_emptyText.isEmpty() || !model() || model()->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().height();
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_emptyText);
}

void MyTableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return && !event->modifiers().testFlag(Qt::KeypadModifier)) {
        emit doubleAction();
        return;
    }
    QTableView::keyPressEvent(event);
}

void MyTableView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitFirstColumn();
}

void MyTableView::fitFirstColumn()
{
    if (m_preferredWidth <= 0 || horizontalHeader()->count() < 2)
        return;
    m_fitting = true;
    setColumnWidth(0, std::min(m_preferredWidth, viewport()->width() * 2 / 5));
    m_fitting = false;
}
