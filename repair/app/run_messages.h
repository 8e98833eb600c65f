#pragma once

#include "preflight.h"
#include "run_report.h"

#include <QString>
#include <QStringList>

#include <optional>

// An SDK whose fix or restore could not run as the disk stood, and was
// left out of the list.
struct LeftOutSdk {
    QString sdk;
    PreflightProblem problem;
};

// What a run of the tool was started for, and on which SDKs.
struct RunPurpose {
    enum Kind { Fix, Restore, Export, Import, PutBack };
    Kind kind;
    QStringList sdks; // by name, as they are in the SDK directory
    int actions;
    QStringList alreadyThere; // left out of an export or import
    QString folder;           // an export's destination, an import's origin
    QList<LeftOutSdk> leftOut; // left out of a fix or restore
    QList<int> firstActions;   // a fix's or restore's: where each SDK's actions start (the first action is 1)
    QString sdkDirectory;      // to name what lies in it by SDK
};

// "Exporting 3 SDKs: 1.2 of 4.8 GB", or only its first part while the
// tool has not yet counted, or has no data to copy.
QString runProgressText(const RunPurpose &purpose, const RunReport &report);

// How far the run is, 0 to 1000; nothing while that cannot be told.
std::optional<int> runProgressPermille(const RunReport &report);

struct RunOutcomeMessage {
    QString message;
    QString informativeText;
    QString detailedText; // the paths, for those who want them
};

// What to tell the user at the end of a run: nothing when every action was
// done.
std::optional<RunOutcomeMessage> runOutcomeMessage(const RunPurpose &purpose, const RunReport &report);

// The one line that says how a run ended ("MacOSX10.9.sdk fixed.",
// "Exported 9 SDKs to ~/x; MacOSX10.8.sdk was already there."), also when
// it failed or never got the rights.
QString runOutcomeLine(const RunPurpose &purpose, const RunReport &report);
