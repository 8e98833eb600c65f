#pragma once

#include "action_runner.h"
#include "app_delegate.h"
#include "elided_label.h"
#include "qt_printers.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"
#include "tool_process.h"
#include "tool_runner.h"
#include "tree_snapshot.h"
#include "window.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

// Records the action lists it is given instead of running them. The
// administrator dialog's answer comes once the event loop runs again, as
// from the real runner.
class RecordingRunner : public ActionRunner
{
public:
    QList<QStringList> calls;
    bool granted = true;
    RunId lastRun = 0;

    RunId performActions(const QStringList &actions) override
    {
        calls.append(actions);
        const RunId run = ++lastRun;
        QMetaObject::invokeMethod(this, [this, run, granted = granted] { answer(run, granted); }, Qt::QueuedConnection);
        return run;
    }
    // The end of the last run, or of the one given (0: some tool's end
    // announced on the bus).
    void finish() { finish(lastRun); }
    void finish(RunId run)
    {
        if (run != 0) {
            RunReport report;
            report.rights = RunReport::Granted;
            report.ended = true;
            emit runReported(run, report);
        }
        emit toolQuitNotification(run);
    }

private:
    void answer(RunId run, bool granted)
    {
        RunReport report;
        report.rights = granted ? RunReport::Granted : RunReport::Dismissed;
        report.ended = !granted;
        report.exitStatus = granted ? 0 : ToolRunner::dialogDismissedStatus;
        emit runReported(run, report);
        if (!granted)
            emit toolQuitNotification(run);
    }
};

struct RowState {
    QString title;
    bool hidden;
    bool enabled;
    bool dimmed;
};

// A Tarnwick window over a temporary SDK directory, launched, with the
// disclaimer accepted unless a test says otherwise. The test build's tools
// work in the same SDK directory; a held stand-in tool is let go at the end.
class TarnwickTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
    QString elsewhere = root.filePath("elsewhere"); // outside the SDK directory, empty at first
    RecordingRunner runner;
    std::unique_ptr<Window> window;
    std::unique_ptr<AppDelegate> delegate;
    int beeps = 0;
    int terminations = 0;
    QList<QUrl> opened;
    QList<OpenPanel> panels;           // every dialog asked for
    OpenPanelCompletion pendingPanel;  // the last one's completion

    // Answers the last dialog as the user would.
    void choose(const QStringList &paths);
    void cancelPanel();
    QString lastMessage() const { return delegate->alertSheet() ? delegate->alertSheet()->text() : QString(); }
    QString lastInformativeText() const
    {
        return delegate->alertSheet() ? delegate->alertSheet()->informativeText() : QString();
    }

    void SetUp() override;
    void TearDown() override;

    // Empty folders named like SDKs; "fixed" ones get a QuickDraw Headers_orig.
    void makeSdks(const QStringList &names, const QStringList &fixed = {});
    // Sample SDKs of those versions, in the SDK directory unless said otherwise.
    void makeSampleSdks(const QStringList &versions, QString directory = {});
    static void link(const QString &target, const QString &path)
    {
        std::filesystem::create_symlink(target.toStdString(), path.toStdString());
    }
    void acceptDisclaimer(bool accepted);
    // A window over the SDK directory, with those SDKs made first.
    void launch(const QStringList &names = {}, const QStringList &fixed = {});

    int rowOf(const QString &sdk) const;
    RowState rowState(const QString &sdk) const;
    TableCellView *rowView(const QString &sdk) const { return window->sdkTable->viewAtRow(rowOf(sdk)); }
    QPushButton *rowButton(const QString &sdk) const { return rowView(sdk) ? rowView(sdk)->button() : nullptr; }
    void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers);
    void pressAlt(bool down);
    // Another window takes the keyboard and sees Alt go down or up there,
    // then this one gets the keyboard back.
    void altInAnotherWindow(bool down);
    // A button of the window, clicked while no sheet is in the way; what
    // the click set going has its turn.
    void click(QPushButton *button);
    // Two clicks of a double-click, the second once ready() holds.
    void doubleClick(QPushButton *button, const std::function<bool()> &ready);
    // The line below the table.
    QString statusLine() const;
    // Presses OK on a message sheet and waits until it is gone.
    void dismiss(QPointer<QMessageBox> sheet);
    // Activates the window again once a sheet has gone, as the desktop does.
    void giveTheKeyboardBack();
    // Waits until window is the active one. (A sheet counts as active as
    // soon as its window is: qWaitForWindowActive would not wait for it.)
    static bool becomesActive(QWidget *window)
    {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
    }
    // The focused control's menu, asked for as the keyboard's menu key
    // does, and waited for; nullptr if none opens.
    QMenu *openMenuOfFocus();
    // The dialogs of the export and import buttons, answered.
    void exportRow(const QString &sdk, const QString &to);
    void exportAll(const QString &to);
    void import(const QStringList &paths);
    // The buttons of the main window all off, as while a copy runs.
    bool busy() const
    {
        return !window->exportAllButton->isEnabled() && !window->importButton->isEnabled()
            && !window->fixAllButton->isEnabled();
    }
    // The next run of the stand-in tool waits halfway until released.
    void holdNextRun(const char *name) { qputenv("STAND_IN_HOLD", root.filePath(name).toUtf8()); }
    void release(const char *name) { QFile(root.filePath(name)).open(QIODevice::WriteOnly); }
    // A stand-in for pkexec whose dialog is up until the file of that name
    // exists; then it runs the shell command given ("exit 126": dismissed).
    QStringList heldElevation(const char *answer, const QString &then) const
    {
        return {"/bin/sh", "-c", "while [ ! -e \"$0\" ] && [ -d \"${0%/*}\" ]; do sleep 0.02; done; " + then,
                root.filePath(answer)};
    }
    // Waits for a popup menu to open; nullptr if none does.
    static QMenu *waitForMenu();
    // A window over the SDK directory whose runs go through the runner given.
    void launchWith(ActionRunner &runner);
};
