#pragma once

#include "action_runner.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <vector>

class QSocketNotifier;

// Carries out an action list through the privileged helper "Tool".
//
// The helper writes "started" on its standard output as its first act, so
// that line is the answer to the administrator dialog: it arrives when the
// rights were granted, and the output closes without it when they were not.
// The helper's end reaches toolQuitNotification() as the end of its standard
// output, which needs no bus, and as ToolQuit on the system bus from any
// sender; a ToolQuit is passed on only while no run of ours is under way, so
// that a late one cannot end a newer run. Handlers must be idempotent all
// the same.
class ToolRunner : public ActionRunner
{
    Q_OBJECT

public:
    // elevationCommand is the program and arguments put before the tool's
    // path; empty starts the tool directly.
    ToolRunner(QString toolPath, QStringList elevationCommand, QObject *parent = nullptr);
    // Closes the pipes and leaves running tools alone: they finish on their own.
    ~ToolRunner() override;

    // pkexec for an ordinary user; nothing when already root.
    static QStringList defaultElevationCommand();

    // Blocks while the administrator dialog is up; true once the tool runs.
    bool performActions(const QStringList &actions) override;

private slots:
    void toolQuitReceived();

private:
    struct Run {
        pid_t pid;
        int fd;
        QSocketNotifier *notifier;
    };

    void registerToolQuitObserver();
    void watch(pid_t pid, int fd);
    void runOutputReady(int fd);

    QString m_toolPath;
    QStringList m_elevationCommand;
    std::vector<Run> m_runs;
};
