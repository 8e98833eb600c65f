#pragma once

#include <QListView>
#include <QPointer>

class SdkTableModel;
class TableCellView;

// The SDK table: a list of the model's rows, each shown by a row widget
// with the SDK's name and the row's button, so that both reach the keyboard
// and assistive technology as they are. Up and Down, Home and End move
// between the rows; Tab goes through each row and then its button.
class SdkTableView : public QListView
{
    Q_OBJECT

public:
    explicit SdkTableView(QWidget *parent = nullptr);

    void setSdkModel(SdkTableModel *model);

    // Reads every row again and shows it.
    void reloadData();
    // The row that holds view (or a widget inside it), or -1.
    int rowForView(const QWidget *view) const;
    TableCellView *viewAtRow(int row) const;
    int numberOfRows() const;
    int reloadCount() const { return m_reloads; }

    // The controls that follow the rows in the window's Tab order; each
    // row comes before its own button.
    void setTabOrderAfterRows(const QList<QWidget *> &widgets) { m_afterRows = widgets; orderTabChain(); }

signals:
    // A row's button was pressed, or its menu asked for at a point of the screen.
    void buttonPressed(TableCellView *view);
    void menuRequested(TableCellView *view, const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void reset() override;

private:
    void addRowViews(int start, int end);
    void fixButtonForTableCellView(TableCellView *view, int row);
    void orderTabChain();

    // The window may outlive the delegate that owns the model, as at the
    // process's end; the table is then empty.
    QPointer<SdkTableModel> m_model;
    int m_reloads = 0;
    QList<QWidget *> m_afterRows;
};
