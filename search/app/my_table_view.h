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

    // The row selected last, or -1.
    int selectedRow() const;

    // Shown where the rows would be while there are none: why there are
    // none. Empty shows nothing.
    void setEmptyText(const QString &text);
    const QString &emptyText() const { return m_emptyText; }

signals:
    void doubleAction();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitFirstColumn();

    QString m_emptyText;
    int m_preferredWidth = 0;
    bool m_fitting = false;
};
