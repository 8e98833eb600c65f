#pragma once

#include <QScrollArea>
#include <QStringList>

class QVBoxLayout;
class SdkTableView;
class TableCellView;

class TableViewDataSource
{
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfRowsInTableView(SdkTableView *tableView) = 0;
    virtual QWidget *tableViewViewForTableColumnRow(SdkTableView *tableView, const QString &column,
                                                    int row) = 0;
};

// A one-column table whose rows are real widgets, so that every row's label
// and button reach the keyboard and assistive technology as they are.
// Rows come from the data source at each reloadData(); their views are
// recycled through makeViewWithIdentifier(). Assistive technology sees a
// list with one item per row; Up and Down move between the rows.
class SdkTableView : public QScrollArea
{
    Q_OBJECT

public:
    explicit SdkTableView(QWidget *parent = nullptr);

    void setDataSource(TableViewDataSource *dataSource) { m_dataSource = dataSource; }

    void reloadData();
    // A recycled view for the identifier, or a new one.
    TableCellView *makeViewWithIdentifier(const QString &identifier);
    // The row that holds view (or a widget inside it), or -1.
    int rowForView(const QWidget *view) const;
    TableCellView *viewAtRow(int row) const;
    int numberOfRows() const { return static_cast<int>(m_rows.size()); }
    int reloadCount() const { return m_reloads; }

    // The controls that follow the rows in the window's Tab order; each
    // row comes before its own button.
    void setTabOrderAfterRows(const QList<QWidget *> &widgets) { m_afterRows = widgets; orderTabChain(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TableViewDataSource *m_dataSource = nullptr;
    const QStringList m_columns{QStringLiteral("Col0")};
    QWidget *m_content;
    QVBoxLayout *m_layout;
    QList<TableCellView *> m_rows;
    QList<TableCellView *> m_reusable;
    int m_reloads = 0;
    QList<QWidget *> m_afterRows;

    void orderTabChain();
};
