#include "app_delegate.h"

#include "sdk_table_view.h"
#include "table_cell_view.h"
#include "window.h"

#include <QApplication>
#include <QPushButton>

AppDelegate::AppDelegate(Window *window, const QString &sdkDirectory, ActionRunner *runner,
                         std::optional<Desktop> desktop, QObject *parent)
    : QObject(parent)
    , m_desktop(desktop ? std::move(*desktop) : Desktop::of(window))
    , m_window(window)
    , m_tableView(window->sdkTable)
    , m_model(sdkDirectory,
              {[window] { return window->altKeyDown(); }, [this] { return m_runs.importExportInProgress(); },
               [this](const QString &sdk) { return m_runs.sdkIsBusy(sdk); }})
    , m_watcher(sdkDirectory)
    , m_disclaimer(window, m_desktop.terminate)
    , m_runs(runner, window,
             [this](const QString &message, const QString &informativeText) {
                 return m_exportImport.alertSheetWithMessage(message, informativeText);
             })
    , m_repairs(sdkDirectory, m_runs, m_desktop.openUrl)
    , m_exportImport(
          sdkDirectory, window, m_preferences, m_runs,
          m_desktop.beginOpenPanel,
          [this] {
              buildTableViewData();
              return m_model.tableContents();
          })
{
    m_tableView->setSdkModel(&m_model);
    connect(m_tableView, &SdkTableView::buttonPressed, this,
            [this](TableCellView *view) { tableButtonAction(view->button()); });
    connect(m_tableView, &SdkTableView::menuRequested, this, &AppDelegate::showRowMenu);
    connect(&m_watcher, &SdkDirectoryWatcher::changed, this, &AppDelegate::buildTableViewData);
    // Queued: a sheet opened inside the activation itself is never painted.
    connect(window, &Window::windowDidBecomeKey, this, &AppDelegate::windowDidBecomeKey, Qt::QueuedConnection);
    connect(&m_runs, &RunsUnderWay::buttonsChanged, this, &AppDelegate::refreshButtons);
    connect(&m_runs, &RunsUnderWay::toolQuit, this, &AppDelegate::buildTableViewData);
    connect(&m_exportImport, &ExportImport::dialogEnded, this, &AppDelegate::refreshButtons);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    connect(window->fixAllButton, &QPushButton::clicked, this, &AppDelegate::fixAllAction);
    connect(window->restoreAllButton, &QPushButton::clicked, this, &AppDelegate::restoreAllAction);
    connect(window->exportAllButton, &QPushButton::clicked, &m_exportImport, &ExportImport::exportAllAction);
    connect(window->importButton, &QPushButton::clicked, &m_exportImport, &ExportImport::importAction);
    connect(window->showInFilesButton, &QPushButton::clicked, this, [this] { m_repairs.showSDKsInFinderAction(); });
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_preferences.prefsLoad();
    buildTableViewData();
    if (!m_model.sdk10_6Exists())
        m_disclaimer.display10_6SDKMissingAlertSheet();
}

void AppDelegate::windowDidBecomeKey()
{
    m_disclaimer.windowDidBecomeKey();
    m_tableView->reloadData();
    m_disclaimer.openMissing10_6SheetWhenDue();
}

void AppDelegate::applicationWillTerminate()
{
    m_preferences.prefsSave();
}

void AppDelegate::buildTableViewData()
{
    m_model.buildTableViewData();
    m_watcher.watch(m_model.fixedStateFolders());
    fixMainWindowButtons();
    m_tableView->reloadData();
}

void AppDelegate::refreshButtons()
{
    fixMainWindowButtons();
    m_tableView->reloadData();
}

// The table may show what is no longer so, between a change on disk and
// the rebuild that follows it.
bool AppDelegate::rowMatchesDisk(const SdkEntry &shown, bool exporting)
{
    const bool matches = m_model.entryMatchesDisk(shown, exporting);
    if (!matches)
        buildTableViewData();
    return matches;
}

bool AppDelegate::tableMatchesDisk()
{
    const QList<SdkEntry> shown = m_model.entries();
    buildTableViewData();
    return m_model.entries() == shown;
}

// Fix all and export all touch every SDK, restore all and import may: all
// four wait until no run is under way.
void AppDelegate::fixMainWindowButtons()
{
    if (m_runs.importExportInProgress() || m_runs.anyUnderWay()) {
        for (QPushButton *button : {m_window->fixAllButton, m_window->restoreAllButton, m_window->exportAllButton, m_window->importButton}) {
            // Qt would pass the focus on round the window to its top: the
            // rows take it instead.
            if (button->hasFocus() && m_tableView->numberOfRows() > 0)
                m_tableView->viewAtRow(0)->setFocus(Qt::OtherFocusReason);
            button->setEnabled(false);
        }
        return;
    }
    m_window->importButton->setEnabled(true);
    m_window->exportAllButton->setEnabled(m_model.rowCount() > 0);
    if (!m_model.sdk10_6Exists()) {
        m_window->fixAllButton->setEnabled(false);
        m_window->restoreAllButton->setEnabled(false);
        return;
    }
    const auto [inRange, fixed] = m_model.fixableAndFixed();
    m_window->fixAllButton->setEnabled(fixed != inRange);
    m_window->restoreAllButton->setEnabled(fixed == inRange || fixed > 0);
}

// A row's button acts on what the disk holds at the press, and only when
// that is what the row showed.
void AppDelegate::tableButtonAction(QPushButton *sender)
{
    const TableCellView *view = m_tableView->viewAtRow(m_tableView->rowForView(sender));
    // The second click of a double-click, on what has just changed under it.
    if (!view || view->offerChangedWithin(QApplication::doubleClickInterval()))
        return;
    // The Alt state stored at the click decides, not the title shown.
    const SdkEntry shown = view->entry();
    if (!rowMatchesDisk(shown, m_window->altKeyDown()))
        return;
    const QString &sdk = shown.name;
    if (m_window->altKeyDown()) {
        m_window->setAltKeyDown(false);
        m_exportImport.exportSDK(sdk);
    } else if (shown.interrupted) {
        m_repairs.putBackSDK(sdk);
    } else if (shown.minor <= 6) {
        m_desktop.beep();
    } else if (shown.fixed) {
        m_repairs.restoreSDK(sdk);
    } else {
        m_repairs.tarnwick(sdk);
    }
}

// Nothing when the table no longer showed the disk.
void AppDelegate::fixAllAction()
{
    m_window->setAltKeyDown(false);
    if (tableMatchesDisk())
        m_repairs.fixAll(m_model.tableContents());
}

void AppDelegate::restoreAllAction()
{
    m_window->setAltKeyDown(false);
    if (tableMatchesDisk())
        m_repairs.restoreAll(m_model.tableContents());
}
