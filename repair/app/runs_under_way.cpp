#include "runs_under_way.h"

#include "alert_sheet.h"
#include "window.h"

#include <QMessageBox>

RunsUnderWay::RunsUnderWay(ActionRunner *runner, Window *window, ShowMessage showMessage, QObject *parent)
    : QObject(parent)
    , m_runner(runner)
    , m_window(window)
    , m_showMessage(std::move(showMessage))
{
    connect(m_runner, &ActionRunner::toolQuitNotification, this, &RunsUnderWay::toolQuitNotification);
    connect(m_runner, &ActionRunner::runReported, this, &RunsUnderWay::runReported);
}

RunId RunsUnderWay::performActions(const QStringList &actions)
{
    return m_runner->performActions(actions);
}

RunId RunsUnderWay::startRun(const QStringList &actions, RunPurpose purpose)
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
    emit buttonsChanged();
    showRunProgress();
    return run;
}

// The message that the copy goes on in the background comes once the
// rights were granted (rightsGranted()): after a cancelled dialog it would
// promise what does not happen. The run's end clears the busy state,
// granted or not.
void RunsUnderWay::handOverImportExport(const QStringList &actions, RunPurpose purpose, const QString &message,
                                        const QString &informativeText)
{
    m_importExportInProgress = true;
    m_importExportRun = startRun(actions, std::move(purpose));
    if (m_importExportRun == 0) {
        m_importExportInProgress = false;
        return;
    }
    RunUnderWay &run = m_runsUnderWay[m_importExportRun];
    run.handOverMessage = message;
    run.handOverInformativeText = informativeText;
}

void RunsUnderWay::reportLeftOut(RunPurpose purpose)
{
    if (m_runsUnderWay.empty())
        m_outcomes.clear();
    RunUnderWay notRun{std::move(purpose), {}, {}, {}, {}};
    notRun.report.rights = RunReport::Granted;
    notRun.report.ended = true;
    reportRunOutcome(notRun);
    showRunProgress();
}

// Only the end of the copy that set the busy state clears it: a fix or
// restore that ends meanwhile leaves a copy under way busy. A run of 0
// (some tool's end while no run of ours was under way) clears it too.
void RunsUnderWay::toolQuitNotification(RunId run)
{
    if (run == 0 || run == m_importExportRun) {
        m_importExportInProgress = false;
        m_importExportRun = 0;
    }
    const auto ended = m_runsUnderWay.extract(run);
    emit toolQuit();
    if (ended)
        reportRunOutcome(ended.mapped());
    showRunProgress();
}

void RunsUnderWay::runReported(RunId run, const RunReport &report)
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
void RunsUnderWay::rightsGranted(RunUnderWay &run)
{
    emit buttonsChanged();
    if (run.handOverMessage.isEmpty() || run.report.ended)
        return;
    run.handOverSheet = m_showMessage(run.handOverMessage, run.handOverInformativeText);
}

bool RunsUnderWay::waitingForRights() const
{
    return std::any_of(m_runsUnderWay.begin(), m_runsUnderWay.end(),
                       [](const auto &run) { return run.second.report.rights == RunReport::Asking; });
}

// While the administrator dialog is up, nothing else can be started: every
// SDK counts as busy.
bool RunsUnderWay::sdkIsBusy(const QString &sdk) const
{
    if (importExportInProgress() || waitingForRights())
        return true;
    return std::any_of(m_runsUnderWay.begin(), m_runsUnderWay.end(),
                       [&sdk](const auto &run) { return run.second.purpose.sdks.contains(sdk); });
}

// The dialog first, then the latest run under way: runs overlap only when
// a row's command was started while another run went on. Idle, the line
// says how the runs since the last idle moment ended.
void RunsUnderWay::showRunProgress()
{
    if (waitingForRights()) {
        m_window->showStatusMessage(tr("Waiting for administrator rights…"));
    } else if (!m_runsUnderWay.empty()) {
        const RunUnderWay &run = m_runsUnderWay.rbegin()->second;
        m_window->showRunProgress(runProgressText(run.purpose, run.report), runProgressPermille(run.report));
    } else if (!m_outcomes.isEmpty()) {
        m_window->showStatusMessage(m_outcomes.join(u' '));
    } else {
        m_window->showHint();
    }
}

// The status line says how every run ended. A failure also gets one sheet
// that says what failed, in place of a "...SDKs..." sheet of that run still
// open, which would only promise what did not happen.
void RunsUnderWay::reportRunOutcome(const RunUnderWay &run)
{
    m_outcomes << runOutcomeLine(run.purpose, run.report);
    const auto outcome = run.report.rights == RunReport::Granted ? runOutcomeMessage(run.purpose, run.report)
                                                                   : std::nullopt;
    if (!outcome)
        return;
    if (run.handOverSheet)
        run.handOverSheet->close();
    m_failureSheet = openAlertSheet(outcome->message, outcome->informativeText, m_window, QMessageBox::Warning);
    if (!outcome->detailedText.isEmpty())
        m_failureSheet->setDetailedText(outcome->detailedText);
    // The reasons name whole paths: a wider sheet breaks fewer of them.
    m_failureSheet->setStyleSheet(QStringLiteral("QLabel#qt_msgbox_informativelabel { min-width: 400px; }"));
}
