#pragma once

#include <QObject>
#include <QStringList>

// Carries out action lists with administrator rights. The window knows only
// this, so that tests can record what it would have run.
class ActionRunner : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // True when the work was handed over; returns without waiting for it.
    virtual bool performActions(const QStringList &actions) = 0;

signals:
    // The work of a run has ended (possibly more than once per run).
    void toolQuitNotification();
};
