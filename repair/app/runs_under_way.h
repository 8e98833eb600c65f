#pragma once

#include "action_runner.h"
#include "run_messages.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>

class Window;

// The runs of the tool that this window started and that have not ended:
// what is busy meanwhile, the line below the table, and how each run ended.
class RunsUnderWay : public QObject
{
    Q_OBJECT

public:
    // showMessage opens an export's or import's hand-over message ("Exporting
    // SDKs...") and answers its sheet.
    using ShowMessage = std::function<QMessageBox *(const QString &message, const QString &informativeText)>;
    RunsUnderWay(ActionRunner *runner, Window *window, ShowMessage showMessage, QObject *parent = nullptr);

    RunId performActions(const QStringList &actions);
    // The buttons the run concerns are off from here on, while the
    // administrator dialog is up and until the run's end.
    RunId startRun(const QStringList &actions, RunPurpose purpose);
    // A copy: everything is busy until its end. Its message comes once the
    // rights are granted.
    void handOverImportExport(const QStringList &actions, RunPurpose purpose, const QString &message,
                              const QString &informativeText);
    // A fix or restore whose every SDK was left out by the checks: nothing
    // runs, and the outcome says why.
    void reportLeftOut(RunPurpose purpose);

    bool importExportInProgress() const { return m_importExportInProgress; }
    bool anyUnderWay() const { return !m_runsUnderWay.empty(); }
    bool sdkIsBusy(const QString &sdk) const;
    QMessageBox *failureSheet() const { return m_failureSheet; }

signals:
    // What may be pressed has changed.
    void buttonsChanged();
    // A tool has ended: the disk may hold other SDKs now. Comes before its
    // outcome is told.
    void toolQuit();

private:
    struct RunUnderWay {
        RunPurpose purpose;
        RunReport report;
        QString handOverMessage; // "Exporting SDKs..." and the like, once granted
        QString handOverInformativeText;
        QPointer<QMessageBox> handOverSheet;
    };

    void toolQuitNotification(RunId run);
    void runReported(RunId run, const RunReport &report);
    void rightsGranted(RunUnderWay &run);
    bool waitingForRights() const;
    void showRunProgress();
    void reportRunOutcome(const RunUnderWay &run);

    ActionRunner *m_runner;
    Window *m_window;
    ShowMessage m_showMessage;
    std::map<RunId, RunUnderWay> m_runsUnderWay; // in the order they started
    bool m_importExportInProgress = false;
    RunId m_importExportRun = 0; // the copy that set it
    QStringList m_outcomes; // how the runs ended since the window was last idle
    QPointer<QMessageBox> m_failureSheet;
};
