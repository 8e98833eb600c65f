#pragma once

#include "desktop.h"
#include "disclaimer_gate.h"
#include "export_import.h"
#include "open_panel.h"
#include "preferences.h"
#include "repair_commands.h"
#include "runs_under_way.h"
#include "sdk_directory_watcher.h"
#include "sdk_table_model.h"

#include <QObject>

#include <optional>

class ActionRunner;
class QMessageBox;
class QPushButton;
class SdkTableView;
class TableCellView;
class Window;

// Tarnwick's application and window delegate: it owns the parts that do the
// work for the life of the process (the disclaimer, the SDK table's model,
// the runs, the repair commands, export and import, the remembered folder)
// and wires them to the window and to each other. Everything runs on the
// main thread; the only concurrency is the privileged tool, a separate
// process, and whatever else changes the SDK directory, which the table
// follows.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    // desktop is what reaches beyond the window; the real one unless given.
    AppDelegate(Window *window, const QString &sdkDirectory, ActionRunner *runner,
                std::optional<Desktop> desktop = std::nullopt, QObject *parent = nullptr);

    void applicationDidFinishLaunching();
    void windowDidBecomeKey();
    void applicationWillTerminate();

    // Built again whenever the SDK directory changes, so that the table
    // shows what is on disk, whoever changed it.
    void buildTableViewData();

    void fixMainWindowButtons();
    // A row's menu: its button's repair and the export that Alt offers,
    // for those who cannot or would rather not hold a key.
    void showRowMenu(TableCellView *view, const QPoint &globalPos);

    void tableButtonAction(QPushButton *sender);
    void fixAllAction();
    void restoreAllAction();

    // What the parts hold, for a look from outside.
    bool importExportInProgress() const { return m_runs.importExportInProgress(); }
    Preferences &preferences() { return m_preferences; }
    QMessageBox *disclaimerSheet() const { return m_disclaimer.disclaimerSheet(); }
    QMessageBox *missing10_6Sheet() const { return m_disclaimer.missing10_6Sheet(); }
    QMessageBox *alertSheet() const { return m_exportImport.alertSheet(); }
    QMessageBox *failureSheet() const { return m_runs.failureSheet(); }

private:
    void refreshButtons();

    // A press is carried out only while its row, or the table, still shows
    // what the disk holds; otherwise the table is built again at once.
    bool rowMatchesDisk(const SdkEntry &shown, bool exporting);
    bool tableMatchesDisk();

    Desktop m_desktop;
    Window *m_window;
    SdkTableView *m_tableView;
    SdkTableModel m_model;
    SdkDirectoryWatcher m_watcher;
    Preferences m_preferences;
    DisclaimerGate m_disclaimer;
    RunsUnderWay m_runs;
    RepairCommands m_repairs;
    ExportImport m_exportImport;
};
