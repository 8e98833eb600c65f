#pragma once

#include "preferences.h"
#include "results_model.h"
#include "results_sorting.h"
#include "row_actions.h"
#include "search_control.h"

#include <QObject>

#include <memory>

class MyWindow;

// Scoutmark's controller: wires the window to the parts that do the work —
// the search run, the order of the results, what can be done with a row,
// and the preferences — and answers the window's entry points. Only the
// main thread touches it.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    AppDelegate(MyWindow *window, QString sdkDirectory, QObject *parent = nullptr);

    // Start-up and preferences.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    void loadPrefs();
    void savePrefs();
    void loadSkipFrameworksArray();

    // The window's commands.
    void searchFieldAction();
    void findAction();
    void tableViewDoubleAction();

    const ResultsModel &tableData() const { return m_tableData; }
    SearchThread *searchThread() const { return m_search->searchThread(); }
    const QList<SortDescriptor> &sortDescriptors() const { return m_sorting->sortDescriptors(); }
    // Where tests put their stand-ins for the desktop, the process's end
    // and the engine.
    RowActions &rowActions() { return *m_rowActions; }
    SearchControl &searchControl() { return *m_search; }

private:
    void previewSelectedRow();

    MyWindow *m_window;
    Preferences m_prefs;
    ResultsModel m_tableData;
    // Made once the table has its model, whose selection they follow.
    std::unique_ptr<ResultsSorting> m_sorting;
    std::unique_ptr<SearchControl> m_search;
    std::unique_ptr<RowActions> m_rowActions;
};
