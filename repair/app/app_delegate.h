#pragma once

#include "action_runner.h"
#include "framework_layout.h"
#include "open_panel.h"
#include "run_messages.h"
#include "sdk_catalogue.h"
#include "sdk_directory_watcher.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <map>

class QMessageBox;
class QPushButton;
class Window;

// Owns Tarnwick's state for the life of the process and carries out its
// commands: start-up and preferences, the SDK table and its buttons, fix and
// restore, export and import. Everything runs on the main thread; the only
// concurrency is the privileged tool, a separate process, and whatever else
// changes the SDK directory, which the table follows.
class AppDelegate : public QObject, public TableViewDataSource
{
    Q_OBJECT

public:
    AppDelegate(Window *window, const QString &sdkDirectory, ActionRunner *runner,
                QObject *parent = nullptr);

    // State.
    QList<SdkRow> tableContents;
    bool importExportInProgress = false;
    QUrl lastImportExportDirURL;

    // Outlets.
    Window *window;
    SdkTableView *tableView;
    QPushButton *fixAllBtn;
    QPushButton *restoreAllBtn;
    QPushButton *exportAllBtn;
    QPushButton *importBtn;

    // What reaches the desktop; tests put recorders here.
    std::function<void()> beep;
    std::function<void(const QUrl &)> openUrl;
    std::function<void()> terminate;
    std::function<void(const OpenPanel &, OpenPanelCompletion)> beginOpenPanel;

    // Start-up, disclaimer and preferences.
    void applicationDidFinishLaunching();
    void windowDidBecomeKey();
    void applicationWillTerminate();
    void display10_6SDKMissingAlertSheet();
    bool eulaAcceptedFileExists() const;
    void showDisclaimer();
    void alertDidEnd(int returnCode);
    void createEULAAcceptedFile();
    void prefsLoad();
    void prefsSave();
    void prefsSetLastImportExportDirectory();
    static QString eulaAcceptedFilePath();

    // The SDK catalogue and the privileged runner.
    void buildTableViewData();
    bool sdk10_6Exists() const { return m_catalogue.sdk10_6Exists(); }
    RunId performActions(const QStringList &actions);
    void toolQuitNotification(RunId run);
    void runReported(RunId run, const RunReport &report);

    // The SDK table and the main buttons.
    int numberOfRowsInTableView(SdkTableView *tableView) override;
    QWidget *tableViewViewForTableColumnRow(SdkTableView *tableView, const QString &column,
                                            int row) override;
    void fixButtonForTableCellView(TableCellView *view);
    void fixMainWindowButtons();
    // A row's menu: its button's repair and the export that Alt offers,
    // for those who cannot or would rather not hold a key.
    void showRowMenu(TableCellView *view, const QPoint &globalPos);

    // Fix and restore.
    void tableButtonAction(QPushButton *sender);
    void tarnwick(const QString &sdk);
    void restoreSDK(const QString &sdk);
    // Puts back an SDK whose change was cut short, as it was before.
    void putBackSDK(const QString &sdk);
    void fixAllAction();
    void restoreAllAction();
    void showSDKsInFinderAction();

    // Export and import.
    void alertSheetWithMessage(const QString &message, const QString &informativeText);
    void exportSDK(const QString &sdk);
    void exportAllAction();
    void importAction();

    // The sheets on the window, while they are open.
    QPointer<QMessageBox> disclaimerSheet;
    QPointer<QMessageBox> missing10_6Sheet;
    QPointer<QMessageBox> alertSheet;
    QPointer<QMessageBox> failureSheet;

private:
    using PlanWriter = void (*)(QStringList &, const QString &, const FrameworkLayout &);
    void performForFixableRange(bool fixed, PlanWriter addActions, RunPurpose::Kind kind);
    void addCheckedPlan(QStringList &actions, RunPurpose &purpose, const QString &sdk, PlanWriter addActions);
    void startCheckedRun(const QStringList &actions, RunPurpose purpose);
    QString sdkOfRow(int row) const;
    void openMissing10_6SheetWhenDue();
    OpenPanel exportPanel(const QString &message) const;
    void handOverImportExport(const QStringList &actions, RunPurpose purpose, const QString &message,
                              const QString &informativeText);
    void finishImportExportDialog();

    // What the disk and the runs under way allow a row's button to do; a
    // press is carried out only while the row still shows that.
    TableCellView::Offer offerOfRow(const QString &sdk) const;
    bool rowMatchesDisk(const TableCellView::Offer &shown, bool exporting);
    bool tableMatchesDisk();
    bool sdkIsBusy(const QString &sdk) const;
    bool waitingForRights() const;

    // Runs this window started that have not ended yet.
    struct RunUnderWay {
        RunPurpose purpose;
        RunReport report;
        QString handOverMessage; // "Exporting SDKs..." and the like, once granted
        QString handOverInformativeText;
        QPointer<QMessageBox> handOverSheet;
    };
    RunId startRun(const QStringList &actions, RunPurpose purpose);
    void rightsGranted(RunUnderWay &run);
    void refreshButtons();
    void showRunProgress();
    void reportRunOutcome(const RunUnderWay &run);

    SdkCatalogue m_catalogue;
    FrameworkLayout m_layout;
    ActionRunner *m_runner;
    std::map<RunId, RunUnderWay> m_runsUnderWay; // in the order they started
    RunId m_importExportRun = 0;                  // the run that set importExportInProgress
    QStringList m_outcomes; // how the runs ended since the window was last idle
    SdkDirectoryWatcher m_watcher;
    bool m_missing10_6SheetDue = false;
    bool m_windowBecameKey = false;
};
