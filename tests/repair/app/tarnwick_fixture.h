#pragma once

#include "action_runner.h"
#include "app_delegate.h"
#include "window.h"

#include <QColor>
#include <QEvent>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// Records the action lists it is given instead of running them.
class RecordingRunner : public ActionRunner
{
public:
    QList<QStringList> calls;
    bool granted = true;

    bool performActions(const QStringList &actions) override
    {
        calls.append(actions);
        return granted;
    }
    void finish() { emit toolQuitNotification(); }
};

struct RowState {
    QString title;
    bool hidden;
    bool enabled;
    QColor color;
};

// A Tarnwick window over a temporary SDK directory, launched, with the
// disclaimer accepted unless a test says otherwise.
class TarnwickTest : public testing::Test
{
protected:
    QTemporaryDir root;
    QString sdks = root.filePath("SDKs");
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
    QString lastMessage() const;
    QString lastInformativeText() const;

    void SetUp() override;
    void TearDown() override;

    // Empty folders named like SDKs; "fixed" ones get a QuickDraw Headers_orig.
    void makeSdks(const QStringList &names, const QStringList &fixed = {});
    void acceptDisclaimer(bool accepted);
    void launch();

    int rowOf(const QString &sdk) const;
    RowState rowState(const QString &sdk) const;
    QPushButton *rowButton(const QString &sdk) const;
    void sendKey(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers);
    void pressAlt(bool down);
};
