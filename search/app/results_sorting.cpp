#include "results_sorting.h"

#include "my_table_view.h"
#include "my_window.h"

#include <QAction>
#include <QHeaderView>

ResultsSorting::ResultsSorting(MyWindow *window, ResultsModel *tableData, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_tableData(tableData)
{
    connect(window->tableView->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &ResultsSorting::columnHeaderClicked);
    connect(window->sortByNameAction, &QAction::triggered, this, [this] { sortByColumn(QStringLiteral("Name")); });
    connect(window->sortByPathAction, &QAction::triggered, this, [this] { sortByColumn(QStringLiteral("Path")); });
    connect(window->sortDescendingAction, &QAction::triggered, this, &ResultsSorting::setSortDescending);
    showSortOrder();
}

void ResultsSorting::clearSortDescriptors()
{
    m_sortDescriptors.clear();
    showSortOrder();
}

// A second click on the same header reverses the order.
void ResultsSorting::columnHeaderClicked(int section)
{
    const QString key = ResultsModel::columnIdentifiers.value(section);
    if (!m_sortDescriptors.isEmpty() && m_sortDescriptors.first().key == key)
        setSortDescending(m_sortDescriptors.first().ascending);
    else
        sortByColumn(key);
}

void ResultsSorting::sortByColumn(const QString &key)
{
    if (!m_sortDescriptors.isEmpty() && m_sortDescriptors.first().key == key)
        return;
    m_sortDescriptors.removeIf([&](const SortDescriptor &d) { return d.key == key; });
    m_sortDescriptors.prepend({key, true});
    showSortOrder();
    tableViewSortDescriptorsDidChange();
}

void ResultsSorting::setSortDescending(bool descending)
{
    if (!m_sortDescriptors.isEmpty())
        m_sortDescriptors.first().ascending = !descending;
    showSortOrder();
    tableViewSortDescriptorsDidChange();
}

// In the column headers and in the menu that stands for them.
void ResultsSorting::showSortOrder()
{
    QHeaderView *header = m_window->tableView->horizontalHeader();
    const bool sorted = !m_sortDescriptors.isEmpty();
    header->setSortIndicatorShown(sorted);
    if (sorted) {
        header->setSortIndicator(static_cast<int>(ResultsModel::columnIdentifiers.indexOf(m_sortDescriptors.first().key)),
                                 m_sortDescriptors.first().ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    const QString key = sorted ? m_sortDescriptors.first().key : QString();
    m_window->sortByNameAction->setChecked(key == QLatin1String("Name"));
    m_window->sortByPathAction->setChecked(key == QLatin1String("Path"));
    m_window->sortDescendingAction->setChecked(sorted && !m_sortDescriptors.first().ascending);
    m_window->sortDescendingAction->setEnabled(sorted);
}

// The selected records stay selected where the order takes them, and the
// one the preview shows stays in view.
void ResultsSorting::tableViewSortDescriptorsDidChange()
{
    m_tableData->sortUsingDescriptors(m_sortDescriptors);
    const int row = m_window->tableView->selectedRow();
    if (row >= 0)
        m_window->tableView->scrollTo(m_tableData->index(row, 0));
}
