#pragma once

#include "search_types.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <functional>

class MyWindow;
class QTimer;
class ResultRow;
class ResultsModel;
class SearchThread;

// One search run at a time, from the window's side: starts the worker,
// takes what it finds into the results table, shows the count and how the
// run ended, and lets the controls rest meanwhile. Only the main thread
// touches it; the worker reaches it only by its resultsWaiting() signal,
// queued to drainSearchResults().
class SearchControl : public QObject
{
    Q_OBJECT

public:
    SearchControl(MyWindow *window, ResultsModel *tableData, QString sdkDirectory, QObject *parent = nullptr);
    ~SearchControl() override;

    // How the process ends when a search will not stop at quit.
    std::function<void(int status)> exitProcess;
    // What a run does on the worker thread, when not the engine's search.
    std::function<bool(const SearchRequest &, SearchSink &)> searchBody;

    // What a search looks through, read once at launch: the installed SDKs,
    // oldest first, and the frameworks never entered.
    void loadSdkNums();
    void loadSkipFrameworksArray();
    const QStringList &sdkNums() const { return m_sdkNums; }

    // Clears the results and, for a search text, starts the run.
    void start(const SearchRequest &request);
    // Asks a running search to stop, and waits no longer than quitGrace.
    void stopAtQuit();

    // The run under way, or null.
    SearchThread *searchThread() const { return m_searchThread; }
    // The search that listed the rows.
    const SearchRequest &rowsSearch() const { return m_rowsSearch; }

private:
    static constexpr int quitGrace = 500; // milliseconds

    // Main thread: takes what the worker has found so far, or, while the
    // run streams, at most once every drainInterval, so that the rows and
    // the count come in a few large updates and the cores stay the search's.
    void drainSearchResults();
    static constexpr int drainInterval = 50; // milliseconds
    void drainNow();
    // Appends the records that arrived together, in the order found, and
    // shows the new count: one table update for the lot.
    void arrayAddObjects(QList<ResultRow> records);
    void threadFinished();

    void toolbarItemsSetEnabled(bool enabled);
    void updateFileCountLabel();
    QString nothingFoundText() const;

    MyWindow *m_window;
    ResultsModel *m_tableData;
    QString m_sdkDirectory;
    QStringList m_sdkNums;
    QStringList m_skipFrameworks;
    SearchThread *m_searchThread = nullptr;
    bool m_threadCancelled = false;
    SearchRequest m_rowsSearch;
    QTimer *m_drainTimer;
    QElapsedTimer m_sinceDrain; // invalid until the run's first rows
};
