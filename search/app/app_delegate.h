#pragma once

#include "preferences.h"
#include "results_model.h"
#include "results_sorting.h"
#include "search_types.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class MyTableView;
class MyWindow;
class RowActions;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTimer;
class QWidget;
class SearchThread;

// Scoutmark's controller: the window side of a search, the results table,
// and the preferences. Only the main thread touches it; the worker reaches
// it only by its resultsWaiting() signal, queued to drainSearchResults().
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    AppDelegate(MyWindow *window, QString sdkDirectory, QObject *parent = nullptr);
    ~AppDelegate() override;

    // Outlets.
    MyWindow *window;
    QLineEdit *searchField;
    QProgressBar *progInd;
    QWidget *toolbarItemView;
    QComboBox *sdkPopUp;
    QCheckBox *ignoreCommentsCheck;
    QCheckBox *caseSensitiveCheck;
    MyTableView *tableView;
    QLabel *fileCountLabel;
    QLabel *searchCancelledLabel;

    // State.
    QStringList sdkNums;
    ResultsModel tableData;
    QStringList skipFrameworks;
    SearchThread *searchThread = nullptr;
    bool threadCancelled = false;

    // How the process ends when a search will not stop at quit.
    std::function<void(int status)> exitProcess;
    // What a run does on the worker thread, when not the engine's search.
    std::function<bool(const SearchRequest &, SearchSink &)> searchBody;
    // How long quitting waits for a search asked to stop.
    static constexpr int quitGrace = 500; // milliseconds
    // The context menu and keys of the rows.
    RowActions *rowActions = nullptr;

    // Start-up and preferences.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    void loadPrefs();
    void savePrefs();
    void loadSkipFrameworksArray();

    // The window side of a search.
    void searchFieldAction();
    void findAction();
    void toolbarItemsSetEnabled(bool enabled);
    void updateFileCountLabel();
    void tableViewDoubleAction();
    const QList<SortDescriptor> &sortDescriptors() const { return m_sorting->sortDescriptors(); }
    // Appends the records that arrived together, in the order found, and
    // shows the new count: one table update for the lot.
    void arrayAddObjects(QList<ResultRow> records);
    void threadFinished();

    // Main thread: takes what the worker has found so far, or, while the
    // run streams, at most once every drainInterval, so that the rows and
    // the count come in a few large updates and the cores stay the search's.
    void drainSearchResults();
    static constexpr int drainInterval = 50; // milliseconds

private:
    void previewSelectedRow();
    QString nothingFoundText() const;

    void drainNow();

    QString m_sdkDirectory;
    Preferences m_prefs;
    SearchRequest m_rowsSearch; // the search that listed the rows
    QTimer *m_drainTimer;
    QElapsedTimer m_sinceDrain; // invalid until the run's first rows
    std::unique_ptr<ResultsSorting> m_sorting;
};
