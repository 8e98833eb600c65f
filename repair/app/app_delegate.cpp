#include "app_delegate.h"

#include "action_runner.h"
#include "alert_sheet.h"
#include "disclaimer_sheet.h"
#include "elided_label.h"
#include "fix_plan.h"
#include "interrupted_change.h"
#include "sheet_focus.h"
#include "table_cell_view.h"
#include "window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString lastImportExportDirKey = QStringLiteral("LastImportExportDirURL");

} // namespace

AppDelegate::AppDelegate(Window *window, const QString &sdkDirectory, ActionRunner *runner,
                         QObject *parent)
    : QObject(parent)
    , window(window)
    , tableView(window->sdkTable)
    , fixAllBtn(window->fixAllButton)
    , restoreAllBtn(window->restoreAllButton)
    , exportAllBtn(window->exportAllButton)
    , importBtn(window->importButton)
    , beep([] { QApplication::beep(); })
    , openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
    , terminate([] { QCoreApplication::quit(); })
    , beginOpenPanel([window](const OpenPanel &panel, OpenPanelCompletion completion) {
        beginSheetModalForWindow(panel, window, std::move(completion));
    })
    , m_catalogue(sdkDirectory)
    , m_layout(sdkDirectory)
    , m_runner(runner)
    , m_watcher(sdkDirectory)
{
    tableView->setDataSource(this);
    connect(&m_watcher, &SdkDirectoryWatcher::changed, this, &AppDelegate::buildTableViewData);
    // Queued: a sheet opened inside the activation itself is never painted.
    connect(window, &Window::windowDidBecomeKey, this, &AppDelegate::windowDidBecomeKey,
            Qt::QueuedConnection);
    connect(m_runner, &ActionRunner::toolQuitNotification, this, &AppDelegate::toolQuitNotification);
    connect(m_runner, &ActionRunner::runReported, this, &AppDelegate::runReported);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    connect(fixAllBtn, &QPushButton::clicked, this, &AppDelegate::fixAllAction);
    connect(restoreAllBtn, &QPushButton::clicked, this, &AppDelegate::restoreAllAction);
    connect(exportAllBtn, &QPushButton::clicked, this, &AppDelegate::exportAllAction);
    connect(importBtn, &QPushButton::clicked, this, &AppDelegate::importAction);
    connect(window->showInFilesButton, &QPushButton::clicked, this, &AppDelegate::showSDKsInFinderAction);
}

// ---- Start-up, disclaimer and preferences ----

void AppDelegate::applicationDidFinishLaunching()
{
    prefsLoad();
    buildTableViewData();
    if (!sdk10_6Exists())
        display10_6SDKMissingAlertSheet();
}

void AppDelegate::windowDidBecomeKey()
{
    m_windowBecameKey = true;
    // One disclaimer at a time, however often the window is activated.
    if (!eulaAcceptedFileExists() && !disclaimerSheet)
        showDisclaimer();
    tableView->reloadData();
    openMissing10_6SheetWhenDue();
}

void AppDelegate::applicationWillTerminate()
{
    prefsSave();
}

// Opened once the window stands where the desktop put it, and never beside
// the disclaimer: two sheets at once leave the keyboard to neither.
void AppDelegate::display10_6SDKMissingAlertSheet()
{
    m_missing10_6SheetDue = true;
    openMissing10_6SheetWhenDue();
}

void AppDelegate::openMissing10_6SheetWhenDue()
{
    if (!m_missing10_6SheetDue || !m_windowBecameKey || disclaimerSheet)
        return;
    m_missing10_6SheetDue = false;
    missing10_6Sheet = openAlertSheet(
        tr("macOSX10.6.sdk missing."),
        tr("You will need to import \"macOSX10.6.sdk\" before fix/restore actions are available."),
        window);
}

QString AppDelegate::eulaAcceptedFilePath()
{
    return QStringLiteral("%1/Tarnwick/.EULAAccepted")
        .arg(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

bool AppDelegate::eulaAcceptedFileExists() const
{
    return QFileInfo::exists(eulaAcceptedFilePath());
}

void AppDelegate::showDisclaimer()
{
    QFile eula(QStringLiteral(":/EULA.txt"));
    const QString text = eula.open(QIODevice::ReadOnly) ? QString::fromUtf8(eula.readAll()) : QString();

    auto *alert = new DisclaimerSheet(text, window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    returnFocusWhenClosed(alert, window);
    connect(alert, &QMessageBox::finished, this, [this, alert] {
        disclaimerSheet = nullptr; // ended, though not yet deleted
        alertDidEnd(alert->clickedButton() == alert->agreeButton() ? alertFirstButtonReturn : alertSecondButtonReturn);
    });
    disclaimerSheet = alert;
    alert->open();
}

void AppDelegate::alertDidEnd(int returnCode)
{
    if (returnCode == alertFirstButtonReturn) {
        createEULAAcceptedFile();
        // Once the disclaimer has left the screen.
        QMetaObject::invokeMethod(this, &AppDelegate::openMissing10_6SheetWhenDue, Qt::QueuedConnection);
    } else {
        terminate();
    }
}

void AppDelegate::createEULAAcceptedFile()
{
    const QString folder = QStringLiteral("%1/Tarnwick")
                               .arg(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QDir().mkpath(folder);
    QFile marker(QStringLiteral("%1/.EULAAccepted").arg(folder));
    marker.open(QIODevice::WriteOnly);
}

void AppDelegate::prefsLoad()
{
    const QByteArray bookmark = QSettings().value(lastImportExportDirKey).toByteArray();
    if (bookmark.isEmpty())
        return;
    const QString path = QString::fromUtf8(bookmark);
    lastImportExportDirURL = QFileInfo::exists(path) ? QUrl::fromLocalFile(path) : QUrl();
}

void AppDelegate::prefsSave()
{
    prefsSetLastImportExportDirectory();
}

void AppDelegate::prefsSetLastImportExportDirectory()
{
    if (!lastImportExportDirURL.isLocalFile())
        return;
    QSettings settings;
    settings.setValue(lastImportExportDirKey, lastImportExportDirURL.toLocalFile().toUtf8());
    settings.sync();
}

// ---- The SDK catalogue and the privileged runner ----

// Built again whenever the SDK directory changes, so that the table shows
// what is on disk, whoever changed it.
void AppDelegate::buildTableViewData()
{
    TableViewData data = m_catalogue.buildTableViewData();
    tableContents = std::move(data.tableContents);
    QStringList fixedStateFolders;
    for (const QString &sdk : std::as_const(data.sdks))
        fixedStateFolders << QDir::cleanPath(m_layout.qdFrameworkPathToHeaderDirectory(QString(), sdk));
    m_watcher.watch(fixedStateFolders);
    fixMainWindowButtons();
    tableView->reloadData();
}

RunId AppDelegate::performActions(const QStringList &actions)
{
    return m_runner->performActions(actions);
}

// The buttons the run concerns are off from here on, while the
// administrator dialog is up and until the run's end.
RunId AppDelegate::startRun(const QStringList &actions, RunPurpose purpose)
{
    if (m_runsUnderWay.empty())
        m_outcomes.clear();
    const RunId run = performActions(actions);
    if (run != 0) {
        m_runsUnderWay[run] = {std::move(purpose), {}, {}, {}, {}};
    } else {
        RunReport notStarted;
        notStarted.rights = RunReport::NotGranted;
        m_outcomes << runOutcomeLine(purpose, notStarted);
    }
    refreshButtons();
    showRunProgress();
    return run;
}

// Only the end of the export or import that set the busy state clears it:
// a fix or restore that ends meanwhile leaves a copy under way busy. A run
// of 0 (some tool's end while no run of ours was under way) clears it too.
void AppDelegate::toolQuitNotification(RunId run)
{
    if (run == 0 || run == m_importExportRun) {
        importExportInProgress = false;
        m_importExportRun = 0;
    }
    const auto ended = m_runsUnderWay.extract(run);
    buildTableViewData();
    if (ended)
        reportRunOutcome(ended.mapped());
    showRunProgress();
}

void AppDelegate::runReported(RunId run, const RunReport &report)
{
    const auto it = m_runsUnderWay.find(run);
    if (it == m_runsUnderWay.end())
        return;
    const bool granted = report.rights == RunReport::Granted && it->second.report.rights != RunReport::Granted;
    it->second.report = report;
    if (granted)
        rightsGranted(it->second);
    showRunProgress();
}

// The rows the run does not touch are back. An export or import says now,
// not before, that it was handed over, unless it has already ended.
void AppDelegate::rightsGranted(RunUnderWay &run)
{
    refreshButtons();
    if (run.handOverMessage.isEmpty() || run.report.ended)
        return;
    alertSheetWithMessage(run.handOverMessage, run.handOverInformativeText);
    run.handOverSheet = alertSheet;
}

void AppDelegate::refreshButtons()
{
    fixMainWindowButtons();
    tableView->reloadData();
}

bool AppDelegate::waitingForRights() const
{
    return std::any_of(m_runsUnderWay.begin(), m_runsUnderWay.end(),
                       [](const auto &run) { return run.second.report.rights == RunReport::Asking; });
}

// While the administrator dialog is up, nothing else can be started: every
// SDK counts as busy.
bool AppDelegate::sdkIsBusy(const QString &sdk) const
{
    if (importExportInProgress || waitingForRights())
        return true;
    return std::any_of(m_runsUnderWay.begin(), m_runsUnderWay.end(),
                       [&sdk](const auto &run) { return run.second.purpose.sdks.contains(sdk); });
}

// The dialog first, then the latest run under way: runs overlap only when
// a row's command was started while another run went on. Idle, the line
// says how the runs since the last idle moment ended.
void AppDelegate::showRunProgress()
{
    if (waitingForRights()) {
        window->showStatusMessage(tr("Waiting for administrator rights…"));
    } else if (!m_runsUnderWay.empty()) {
        const RunUnderWay &run = m_runsUnderWay.rbegin()->second;
        window->showRunProgress(runProgressText(run.purpose, run.report), runProgressPermille(run.report));
    } else if (!m_outcomes.isEmpty()) {
        window->showStatusMessage(m_outcomes.join(u' '));
    } else {
        window->showHint();
    }
}

// The status line says how every run ended. A failure also gets one sheet
// that says what failed, in place of a "...SDKs..." sheet of that run still
// open, which would only promise what did not happen.
void AppDelegate::reportRunOutcome(const RunUnderWay &run)
{
    m_outcomes << runOutcomeLine(run.purpose, run.report);
    const auto outcome = run.report.rights == RunReport::Granted ? runOutcomeMessage(run.purpose, run.report)
                                                                   : std::nullopt;
    if (!outcome)
        return;
    if (run.handOverSheet)
        run.handOverSheet->close();
    failureSheet = openAlertSheet(outcome->message, outcome->informativeText, window, QMessageBox::Warning);
    if (!outcome->detailedText.isEmpty())
        failureSheet->setDetailedText(outcome->detailedText);
    // The reasons name whole paths: a wider sheet breaks fewer of them.
    failureSheet->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 400px; }"));
}

// ---- The SDK table and the main buttons ----

int AppDelegate::numberOfRowsInTableView(SdkTableView *)
{
    return static_cast<int>(tableContents.size());
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
    return ::sdkOfRow(tableContents.value(row));
}

TableCellView::Offer AppDelegate::offerOfRow(const QString &sdk) const
{
    const bool inRange = isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk));
    if (inRange && isChangeInterrupted(m_catalogue.sdkDirectory(), sdk))
        return {sdk, false, true, !sdkIsBusy(sdk)};
    return {sdk, inRange && m_layout.doesQDHeaderOrigExistInSDK(sdk), false, !sdkIsBusy(sdk) && sdk10_6Exists()};
}

// The table may show what is no longer so, between a change on disk and
// the rebuild that follows it. Then the rebuild comes at once, and the
// press does nothing else.
bool AppDelegate::rowMatchesDisk(const TableCellView::Offer &shown, bool exporting)
{
    const bool matches = FrameworkLayout::anythingAt(m_catalogue.sdkPathFromSDK(shown.sdk))
        && (exporting ? !sdkIsBusy(shown.sdk) : offerOfRow(shown.sdk) == shown);
    if (!matches)
        buildTableViewData();
    return matches;
}

bool AppDelegate::tableMatchesDisk()
{
    const auto offers = [this] {
        QList<TableCellView::Offer> offers;
        for (int row = 0; row < tableView->numberOfRows(); ++row)
            offers << tableView->viewAtRow(row)->offer();
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
        if (importExportInProgress) {
            enabled = false;
        } else if (window->altKeyDown()) {
            button->setHidden(false);
            button->setText(tr("Export"));
            enabled = !sdkIsBusy(sdk) && !offer.interrupted;
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
    if (importExportInProgress || !m_runsUnderWay.empty()) {
        for (QPushButton *button : {fixAllBtn, restoreAllBtn, exportAllBtn, importBtn}) {
            // Qt would pass the focus on round the window to its top: the
            // rows take it instead.
            if (button->hasFocus() && tableView->numberOfRows() > 0)
                tableView->viewAtRow(0)->setFocus(Qt::OtherFocusReason);
            button->setEnabled(false);
        }
        return;
    }
    importBtn->setEnabled(true);
    exportAllBtn->setEnabled(!tableContents.isEmpty());
    if (!sdk10_6Exists()) {
        fixAllBtn->setEnabled(false);
        restoreAllBtn->setEnabled(false);
        return;
    }
    int inRange = 0, fixed = 0;
    for (const SdkRow &row : std::as_const(tableContents)) {
        const QString sdk = ::sdkOfRow(row);
        if (!isInFixableRange(SdkCatalogue::osMinorNumFromSDK(sdk)))
            continue;
        ++inRange;
        if (m_layout.doesQDHeaderOrigExistInSDK(sdk))
            ++fixed;
    }
    fixAllBtn->setEnabled(fixed != inRange);
    restoreAllBtn->setEnabled(fixed == inRange || fixed > 0);
}
