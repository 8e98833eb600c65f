#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Why the actions of one SDK cannot run as the disk stands.
struct PreflightProblem {
    enum Kind { Missing, Unreadable, NotAFolder, NotAFile, InTheWay };
    Kind kind;
    QString path; // the item's full path

    bool operator==(const PreflightProblem &) const = default;
};

// Checks the actions of one SDK (its fix or restore) step by step against
// the disk, as the steps before would leave it, so that a plan that cannot
// run is never started: every source a Copy reads must exist as the kind
// of item the plan means (a folder for a "Headers" folder or a framework,
// a file otherwise; links followed) and be readable by its owner and by
// this user, every item a Move takes must exist, and nothing may stand
// where a Copy or Move writes. Nothing when the plan can run.
std::optional<PreflightProblem> preflightProblem(const QStringList &actions);
