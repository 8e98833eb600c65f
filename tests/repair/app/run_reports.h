#pragma once

// Runs and their ends as the tests of the run messages write them.

#include "run_messages.h"

// A run on that many SDKs, MacOSX10.7.sdk and on.
inline RunPurpose on(RunPurpose::Kind kind, int sdks, int actions, QStringList alreadyThere = {}, QString folder = {})
{
    QStringList names;
    for (int i = 0; i < sdks; ++i)
        names << QString("MacOSX10.%1.sdk").arg(7 + i);
    return {kind, names, actions, alreadyThere, folder, {}, {}, {}};
}

// A granted run that ended so, with that many failed actions.
inline RunReport ended(int status, int failures = 0)
{
    RunReport report;
    report.rights = RunReport::Granted;
    report.ended = true;
    report.exitStatus = status;
    for (int i = 1; i <= failures; ++i)
        report.failures.append({i * 2, QString("reason %1").arg(i)});
    return report;
}
