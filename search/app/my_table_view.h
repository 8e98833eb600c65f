#pragma once

#include <QTableView>

// The results table: Return on the main keyboard opens the selected header;
// the keypad's Enter and every other key do what a table does.
class MyTableView : public QTableView
{
    Q_OBJECT

public:
    using QTableView::QTableView;

signals:
    void doubleAction();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
