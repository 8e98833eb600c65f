#include "sdk_table_view.h"

#include "table_cell_view.h"

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
    qDeleteAll(m_reusable);
    m_reusable.clear();
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
