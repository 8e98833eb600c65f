#pragma once

#include <QMainWindow>
#include <QPointer>

class MyTableView;
class PreviewPane;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSplitter;
class QThread;

// Scoutmark's one window: a strip at the top with the search field, the SDK pop-up
// and the two options; the results table above the preview of the selected
// header; a status line with the progress indicator, the count and the
// cancelled notice. Escape cancels a search.
class MyWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MyWindow(QWidget *parent = nullptr);

    // Not owned: the search control owns the thread and clears this first.
    void setSearchThread(QThread *thread) { m_searchThread = thread; }

    void cancelOperation();

    // Resizes to wanted, or to what fits in the screen's free area.
    void resizeWithinScreen(QSize wanted);

    // The controls of the layout.
    QLineEdit *searchField = nullptr;
    QWidget *toolbarItemView = nullptr;
    QComboBox *sdkPopUp = nullptr;
    QCheckBox *ignoreCommentsCheck = nullptr;
    QCheckBox *caseSensitiveCheck = nullptr;
    MyTableView *tableView = nullptr;
    QSplitter *splitter = nullptr; // the table above, the preview below
    PreviewPane *previewPane = nullptr;
    QProgressBar *progInd = nullptr;
    QLabel *fileCountLabel = nullptr;
    QLabel *searchCancelledLabel = nullptr;
    QAction *findAction = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *viewMenu = nullptr;
    QAction *sortByNameAction = nullptr;
    QAction *sortByPathAction = nullptr;
    QAction *sortDescendingAction = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QThread *m_searchThread = nullptr;
};
