#pragma once

#include "action_runner.h"

#include <QByteArray>
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
// Nothing waits for that answer: a run is under way from the moment the
// elevation program starts, and its report tells the answer when it comes.
// After it come lines about the run (totals, progress, failed actions, a
// refused list), passed on with the run's identity. The helper's end
// reaches toolQuitNotification() as the end of its standard output, which
// needs no bus, and as ToolQuit on the system bus from any sender; a
// ToolQuit is passed on only while no run of ours is under way, so that a
// late one cannot end a newer run.
class ToolRunner : public ActionRunner
{
    Q_OBJECT

public:
    // elevationCommand is the program, by its absolute path, and the
    // arguments put before the tool's path; empty starts the tool directly.
    ToolRunner(QString toolPath, QStringList elevationCommand, QObject *parent = nullptr);
    // Closes the pipes and leaves running tools alone: they finish on their own.
    ~ToolRunner() override;

    // pkexec, where it was found when the project was configured.
    static QString elevationProgram();
    // pkexec for an ordinary user; nothing when already root.
    static QStringList defaultElevationCommand();

    // Returns as soon as the elevation program runs, while its dialog is
    // still up; 0 when not even that could be started.
    RunId performActions(const QStringList &actions) override;

    // pkexec's exit status when its dialog was dismissed.
    static constexpr int dialogDismissedStatus = 126;

private slots:
    void toolQuitReceived();

private:
    struct Run {
        RunId id;
        pid_t pid;
        int fd;
        QSocketNotifier *notifier;
        QByteArray unread;        // the start of a line not yet complete
        bool skippingLine = false; // within a line too long to be the tool's
        RunReport report;
    };

    void registerToolQuitObserver();
    RunId watch(pid_t pid, int fd);
    void runOutputReady(RunId id);
    bool takeLines(Run &run);
    void endRun(RunId id);
    Run *findRun(RunId id);

    QString m_toolPath;
    QStringList m_elevationCommand;
    std::vector<Run> m_runs;
    RunId m_lastRun = 0;
};
