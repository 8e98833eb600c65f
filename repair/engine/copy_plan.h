#pragma once

#include <QStringList>

// What an export or an import comes to: the "Copy" actions to hand to the
// tool, and which of the three outcomes the window reports.
struct CopyPlan {
    enum Outcome {
        Run,          // at least one SDK to copy
        NothingFound, // no SDK among the chosen items
        AlreadyThere, // every SDK's name is taken at its destination
    };

    QStringList actions;
    Outcome outcome = AlreadyThere;
    // The SDKs left out because their names are taken at their destinations.
    QStringList alreadyThere;
};
