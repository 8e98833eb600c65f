#include "app_delegate.h"

#include "elided_label.h"
#include "fix_plan.h"
#include "interrupted_change.h"
#include "table_cell_view.h"
#include "window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QPushButton>

AppDelegate::AppDelegate(Window *window, const QString &sdkDirectory, ActionRunner *runner,
                         QObject *parent)
    : QObject(parent)
    , beep([] { QApplication::beep(); })
    , openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
    , terminate([] { QCoreApplication::quit(); })
    , beginOpenPanel([window](const OpenPanel &panel, OpenPanelCompletion completion) {
        beginSheetModalForWindow(panel, window, std::move(completion));
    })
    , m_window(window)
    , m_tableView(window->sdkTable)
    , m_catalogue(sdkDirectory)
    , m_layout(sdkDirectory)
    , m_watcher(sdkDirectory)
    , m_disclaimer(window, [this] { terminate(); })
    , m_runs(runner, window,
             [this](const QString &message, const QString &informativeText) {
                 return m_exportImport.alertSheetWithMessage(message, informativeText);
             })
    , m_repairs(sdkDirectory, m_runs, [this](const QUrl &url) { openUrl(url); })
    , m_exportImport(
          sdkDirectory, window, m_preferences, m_runs,
          [this](const OpenPanel &panel, OpenPanelCompletion completion) { beginOpenPanel(panel, std::move(completion)); },
          [this] {
              buildTableViewData();
              return m_tableContents;
          })
{
    m_tableView->setDataSource(this);
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
    if (!sdk10_6Exists())
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
    TableViewData data = m_catalogue.buildTableViewData();
    m_tableContents = std::move(data.tableContents);
    QStringList fixedStateFolders;
    for (const QString &sdk : std::as_const(data.sdks))
        fixedStateFolders << QDir::cleanPath(m_layout.qdFrameworkPathToHeaderDirectory(QString(), sdk));
    m_watcher.watch(fixedStateFolders);
    fixMainWindowButtons();
    m_tableView->reloadData();
}

void AppDelegate::refreshButtons()
{
    fixMainWindowButtons();
    m_tableView->reloadData();
}

// The SDK table and the main buttons.

int AppDelegate::numberOfRowsInTableView(SdkTableView *)
{
    return static_cast<int>(m_tableContents.size());
}

QWidget *AppDelegate::tableViewViewForTableColumnRow(SdkTableView *table, const QString &column, int row)
{
    if (column != QLatin1String("Col0"))
        return nullptr;
    TableCellView *view = table->makeViewWithIdentifier(QStringLiteral("Col0"));
    if (!view->property("tarnwickConnected").toBool()) {
        connect(view->button(), &QPushButton::clicked, this,
                [this, button = view->button()] { tableButtonAction(button); });
        connect(view, &TableCellView::menuRequested, this,
                [this, view](const QPoint &globalPos) { showRowMenu(view, globalPos); });
        view->setProperty("tarnwickConnected", true);
    }
    view->textField()->setText(sdkOfRow(row));
    fixButtonForTableCellView(view);
    return view;
}

QString AppDelegate::sdkOfRow(int row) const
{
    return ::sdkOfRow(m_tableContents.value(row));
}

TableCellView::Offer AppDelegate::offerOfRow(const QString &sdk) const
{
    const bool inRange = isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk));
    if (inRange && isChangeInterrupted(m_catalogue.sdkDirectory(), sdk))
        return {sdk, false, true, !m_runs.sdkIsBusy(sdk)};
    return {sdk, inRange && m_layout.doesQDHeaderOrigExistInSDK(sdk), false, !m_runs.sdkIsBusy(sdk) && sdk10_6Exists()};
}

// The table may show what is no longer so, between a change on disk and
// the rebuild that follows it. Then the rebuild comes at once, and the
// press does nothing else.
bool AppDelegate::rowMatchesDisk(const TableCellView::Offer &shown, bool exporting)
{
    const bool matches = FrameworkLayout::anythingAt(m_catalogue.sdkPathFromSDK(shown.sdk))
        && (exporting ? !m_runs.sdkIsBusy(shown.sdk) : offerOfRow(shown.sdk) == shown);
    if (!matches)
        buildTableViewData();
    return matches;
}

bool AppDelegate::tableMatchesDisk()
{
    const auto offers = [this] {
        QList<TableCellView::Offer> offers;
        for (int row = 0; row < m_tableView->numberOfRows(); ++row)
            offers << m_tableView->viewAtRow(row)->offer();
        return offers;
    };
    const QList<TableCellView::Offer> shown = offers();
    buildTableViewData();
    return offers() == shown;
}

// "Black" and "gray" text are the palette's normal and dimmed text, so
// that rows read in dark themes as in light ones. A row that a run under
// way touches says what the disk holds, but cannot be pressed.
void AppDelegate::fixButtonForTableCellView(TableCellView *view)
{
    view->setDimmed(false);
    const QString sdk = view->textField()->text();
    const qint64 minor = SdkCatalogue::osMinorNumFromSDK(sdk);
    const TableCellView::Offer offer = offerOfRow(sdk);
    view->setOffer(offer);
    for (QObject *child : view->children()) {
        // Exactly push buttons, as the layout places them; nothing derived.
        if (child->metaObject() != &QPushButton::staticMetaObject)
            continue;
        auto *button = static_cast<QPushButton *>(child);
        bool enabled = offer.pressable;
        if (m_runs.importExportInProgress()) {
            enabled = false;
        } else if (m_window->altKeyDown()) {
            button->setHidden(false);
            button->setText(tr("Export"));
            enabled = !m_runs.sdkIsBusy(sdk) && !offer.interrupted;
        } else if (isInFixableRange(minor)) {
            button->setHidden(false);
            if (offer.interrupted)
                button->setText(tr("Put Back"));
            else
                button->setText(offer.fixed ? tr("Restore") : tr("Fix"));
        } else {
            view->setDimmed(true);
            button->setHidden(true);
        }
        // Qt would hand the focus of a button turned off to the next
        // control, another row's button: its own row keeps it instead.
        if (!enabled && button->hasFocus())
            view->setFocus(Qt::OtherFocusReason);
        button->setEnabled(enabled);
        // Read out of its row, a button says what it does to which SDK.
        button->setAccessibleName(tr("%1 %2", "a row button read out: what it does, to which SDK").arg(button->text(), sdk));
    }
    // Why a row has no button, or one that cannot be pressed.
    QString why;
    if (offer.interrupted)
        why = tr("A change of this SDK was interrupted. Put Back returns it to how it was before.");
    else if (!isInFixableRange(minor))
        why = tr("Only SDKs 10.7 to 10.13 can be fixed or restored.");
    else if (!sdk10_6Exists())
        why = tr("Fixing and restoring need MacOSX10.6.sdk: import it first.");
    view->setAccessibleDescription(why);
    view->setToolTip(why);
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
    m_window->exportAllButton->setEnabled(!m_tableContents.isEmpty());
    if (!sdk10_6Exists()) {
        m_window->fixAllButton->setEnabled(false);
        m_window->restoreAllButton->setEnabled(false);
        return;
    }
    int inRange = 0, fixed = 0;
    for (const SdkRow &row : std::as_const(m_tableContents)) {
        const QString sdk = ::sdkOfRow(row);
        if (!isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk)))
            continue;
        ++inRange;
        if (m_layout.doesQDHeaderOrigExistInSDK(sdk))
            ++fixed;
    }
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
    const TableCellView::Offer shown = view->offer();
    if (!rowMatchesDisk(shown, m_window->altKeyDown()))
        return;
    const QString &sdk = shown.sdk;
    if (m_window->altKeyDown()) {
        m_window->setAltKeyDown(false);
        m_exportImport.exportSDK(sdk);
    } else if (shown.interrupted) {
        m_repairs.putBackSDK(sdk);
    } else if (SdkCatalogue::osMinorNumFromSDK(sdk) <= 6) {
        beep();
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
        m_repairs.fixAll(m_tableContents);
}

void AppDelegate::restoreAllAction()
{
    m_window->setAltKeyDown(false);
    if (tableMatchesDisk())
        m_repairs.restoreAll(m_tableContents);
}
