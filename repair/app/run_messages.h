#pragma once

#include "run_report.h"

#include <QString>

#include <optional>

// What a run of the tool was started for, and on how many SDKs.
struct RunPurpose {
    enum Kind { Fix, Restore, Export, Import };
    Kind kind;
    int sdks;
    int actions;
};

// "Exporting 3 SDKs: 1.2 of 4.8 GB", or only its first part while the
// tool has not yet counted, or has no data to copy.
QString runProgressText(const RunPurpose &purpose, const RunReport &report);

// How far the run is, 0 to 1000; nothing while that cannot be told.
std::optional<int> runProgressPermille(const RunReport &report);

struct RunOutcomeMessage {
    QString message;
    QString informativeText;
};

// What to tell the user at the end of a run: nothing when every action was
// done.
std::optional<RunOutcomeMessage> runOutcomeMessage(const RunPurpose &purpose, const RunReport &report);
