#pragma once

#include <QMainWindow>
#include <QPointer>

class MyTableView;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QThread;

// Scoutmark's one window: a toolbar with the search field, the SDK pop-up
// and the two options; the results table; a status line with the progress
// indicator, the count and the cancelled notice. Escape cancels a search.
class MyWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MyWindow(QWidget *parent = nullptr);

    // Not owned: the delegate owns the thread and clears this first.
    void setSearchThread(QThread *thread) { m_searchThread = thread; }
    QThread *searchThread() const { return m_searchThread; }

    void cancelOperation();

    // The controls of the layout.
    QLineEdit *searchField = nullptr;
    QWidget *toolbarItemView = nullptr;
    QComboBox *sdkPopUp = nullptr;
    QCheckBox *ignoreCommentsCheck = nullptr;
    QCheckBox *caseSensitiveCheck = nullptr;
    MyTableView *tableView = nullptr;
    QProgressBar *progInd = nullptr;
    QLabel *fileCountLabel = nullptr;
    QLabel *searchCancelledLabel = nullptr;
    QAction *findAction = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QThread *m_searchThread = nullptr;
};
