#pragma once

#include "results_model.h"

#include <QObject>

class MyWindow;

// The order of the results table, set by a click on a column header or
// from the View menu, and shown in both.
class ResultsSorting : public QObject
{
    Q_OBJECT

public:
    ResultsSorting(MyWindow *window, ResultsModel *tableData, QObject *parent = nullptr);

    const QList<SortDescriptor> &sortDescriptors() const { return m_sortDescriptors; }
    // Back to the order found, for a new search; the rows are not touched.
    void clearSortDescriptors();

private:
    void columnHeaderClicked(int section);
    // From the menu: sorts by the column, ascending, unless it sorts already.
    void sortByColumn(const QString &key);
    void setSortDescending(bool descending);
    void tableViewSortDescriptorsDidChange();
    void showSortOrder();

    MyWindow *m_window;
    ResultsModel *m_tableData;
    QList<SortDescriptor> m_sortDescriptors;
};
