#pragma once

#include <QTableView>

// The results table: Return on the main keyboard opens the selected header;
// the keypad's Enter and every other key do what a table does. The first
// column takes at most two fifths of a narrow table, so that the paths keep
// room to show their SDK.
class MyTableView : public QTableView
{
    Q_OBJECT

public:
    explicit MyTableView(QWidget *parent = nullptr);

    // The first column's width where the table is wide enough; also what
    // the user makes it by dragging.
    void setPreferredFirstColumnWidth(int width);

signals:
    void doubleAction();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitFirstColumn();

    int m_preferredWidth = 0;
    bool m_fitting = false;
};
