#pragma once

#include "run_report.h"

#include <QObject>
#include <QStringList>

// Which run of the tool something is about; 0 is none.
using RunId = quint64;

// Carries out action lists with administrator rights. The window knows only
// this, so that tests can record what it would have run.
class ActionRunner : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The new run once the work was handed over, 0 when not even that could
    // be done; returns without waiting for the administrator's answer or
    // for the work. The run's reports tell the answer.
    virtual RunId performActions(const QStringList &actions) = 0;

signals:
    // What the tool has told about a run so far: after the answer and the
    // lines that changed it, and once more, ended, right before the run's
    // end, also when the rights were refused.
    void runReported(RunId run, const RunReport &report);
    // A run has ended; run 0 when the end of some tool was announced while
    // no run of this runner was under way.
    void toolQuitNotification(RunId run);
};
