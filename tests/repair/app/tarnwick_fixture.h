#pragma once

#include "action_runner.h"
#include "app_delegate.h"
#include "elided_label.h"
#include "qt_printers.h"
#include "sample_sdks.h"
#include "sdk_table_view.h"
#include "table_cell_view.h"
#include "tool_process.h"
#include "tool_runner.h"
#include "tree_snapshot.h"
#include "window.h"

#include <QApplication>
#include <QContextMenuEvent>
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
    void choose(const QStringList &paths)
    {
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        ASSERT_TRUE(pendingPanel);
        std::exchange(pendingPanel, nullptr)(1, urls);
        QCoreApplication::processEvents();
    }
    void cancelPanel()
    {
        ASSERT_TRUE(pendingPanel);
        std::exchange(pendingPanel, nullptr)(0, {});
    }
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
    void makeSampleSdks(const QStringList &versions, QString directory = {})
    {
        if (directory.isEmpty())
            directory = sdks;
        for (const QString &version : versions)
            makeSampleSdk(directory.toStdString(), version.toStdString());
    }
    static void link(const QString &target, const QString &path)
    {
        std::filesystem::create_symlink(target.toStdString(), path.toStdString());
    }
    void acceptDisclaimer(bool accepted)
    {
        const QString marker = DisclaimerGate::eulaAcceptedFilePath();
        if (accepted) {
            QDir().mkpath(QFileInfo(marker).path());
            QFile(marker).open(QIODevice::WriteOnly);
        } else {
            QFile::remove(marker);
            QDir().rmdir(marker);
        }
    }
    // A window over the SDK directory, with those SDKs made first.
    void launch(const QStringList &names = {}, const QStringList &fixed = {})
    {
        makeSdks(names, fixed);
        launchWith(runner);
    }

    int rowOf(const QString &sdk) const
    {
        for (int row = 0; row < window->sdkTable->numberOfRows(); ++row)
            if (window->sdkTable->viewAtRow(row)->textField()->text() == sdk)
                return row;
        ADD_FAILURE() << "no row for " << sdk.toStdString();
        return -1;
    }
    RowState rowState(const QString &sdk) const
    {
        const TableCellView *view = window->sdkTable->viewAtRow(rowOf(sdk));
        if (!view)
            return {};
        return {view->button()->text(), view->button()->isHidden(), view->button()->isEnabled(), view->isDimmed()};
    }
    TableCellView *rowView(const QString &sdk) const { return window->sdkTable->viewAtRow(rowOf(sdk)); }
    QPushButton *rowButton(const QString &sdk) const { return rowView(sdk) ? rowView(sdk)->button() : nullptr; }
    // Keys as the keyboard sends them, one event per key, to the widget with
    // the focus; they also set what the application takes as the keyboard's
    // state.
    void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers)
    {
        QWidget *target = window->focusWidget() ? window->focusWidget() : window.get();
        // Not QTest::keyPress, which adds events of its own for the modifiers.
        QTest::simulateEvent(target, type == QEvent::KeyPress, key, modifiers, QString(), false);
    }
    void pressAlt(bool down)
    {
        sendKey(down ? QEvent::KeyPress : QEvent::KeyRelease, Qt::Key_Alt, down ? Qt::AltModifier : Qt::NoModifier);
    }
    // Another window takes the keyboard and sees Alt go down or up there,
    // then this one gets the keyboard back.
    void altInAnotherWindow(bool down)
    {
        QWidget other;
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QTest::simulateEvent(&other, down, Qt::Key_Alt, down ? Qt::AltModifier : Qt::NoModifier, QString(), false);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QCoreApplication::processEvents(); // the queued activation handler
    }
    // A button of the window, clicked while no sheet is in the way; what
    // the click set going has its turn.
    void click(QPushButton *button)
    {
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->text().toStdString();
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr) << "a sheet is in the way";
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // Two clicks of a double-click, the second once ready() holds.
    // As widgets get it: the second press of a double-click is a double-click
    // event, which a push button takes as a press.
    void doubleClick(QPushButton *button, const std::function<bool()> &ready)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor(ready, 10000));
        QTest::mouseDClick(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    // The line below the table.
    QString statusLine() const
    {
        if (window->progressLabel->isVisible())
            return window->progressLabel->text();
        if (window->statusLabel->isVisible())
            return window->statusLabel->text();
        return QString();
    }
    // Presses OK on a message sheet and waits until it is gone.
    void dismiss(QPointer<QMessageBox> sheet)
    {
        ASSERT_TRUE(sheet);
        ASSERT_TRUE(sheet->isVisible());
        QTest::mouseClick(sheet->button(QMessageBox::Ok), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet; }));
        giveTheKeyboardBack();
    }
    // Activates the window again once a sheet has gone, as the desktop does.
    // What the desktop does when a sheet has gone; the offscreen platform
    // leaves no window active instead.
    void giveTheKeyboardBack()
    {
        window->activateWindow();
        ASSERT_TRUE(becomesActive(window.get()));
    }
    // Waits until window is the active one. (A sheet counts as active as
    // soon as its window is: qWaitForWindowActive would not wait for it.)
    static bool becomesActive(QWidget *window)
    {
        return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
    }
    // The focused control's menu, asked for as the keyboard's menu key
    // does, and waited for; nullptr if none opens.
    // What the platform sends for the menu key: a keyboard context menu event
    // at the middle of the focused control.
    QMenu *openMenuOfFocus()
    {
        QWidget *focused = QApplication::focusWidget();
        if (!focused)
            return nullptr;
        const QPoint middle = focused->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, focused->mapToGlobal(middle));
        QApplication::sendEvent(focused, &event);
        return waitForMenu();
    }
    // The dialogs of the export and import buttons, answered.
    void exportRow(const QString &sdk, const QString &to)
    {
        pressAlt(true);
        click(rowButton(sdk));
        choose({to});
    }
    void exportAll(const QString &to)
    {
        click(window->exportAllButton);
        choose({to});
    }
    void import(const QStringList &paths)
    {
        click(window->importButton);
        choose(paths);
    }
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
    static QMenu *waitForMenu()
    {
        QMenu *menu = nullptr;
        return QTest::qWaitFor([&] { return (menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())); })
            ? menu
            : nullptr;
    }
    // A window over the SDK directory whose runs go through the runner given.
    void launchWith(ActionRunner &runner);
};
