#pragma once

#include <QByteArrayView>
#include <QList>
#include <QMetaType>
#include <QString>

// One action that the tool could not carry out: its place in the action
// list (the first action is 1) and the tool's sentence about it.
struct ActionFailure {
    int position = 0;
    QString reason;

    bool operator==(const ActionFailure &) const = default;
};

// How the actions of one SDK ended as a whole (positions as above): all
// done, undone after a failure (the SDK is as it was), or not even undone
// (the SDK waits for its change to be put back).
struct GroupEnd {
    enum Kind { Done, Unchanged, Interrupted };
    int first = 0;
    int last = 0;
    Kind kind = Done;
    QString reason;

    bool operator==(const GroupEnd &) const = default;
};

// What the tool has told about one run so far, from the lines it writes
// after "started".
struct RunReport {
    // The answer to the administrator dialog: "started" means granted; an
    // output that closes without it, dismissed (the dialog was cancelled)
    // or not granted (no right, no dialog, or no tool to start).
    enum Rights { Asking, Granted, Dismissed, NotGranted };
    Rights rights = Asking;

    bool counted = false; // the totals have arrived
    qint64 totalBytes = 0;
    qint64 totalItems = 0;
    qint64 doneBytes = 0;
    qint64 doneItems = 0;
    QList<ActionFailure> failures;
    QList<GroupEnd> groups;
    bool refused = false; // the whole list was refused, nothing was done
    QString refusal;      // why

    bool ended = false; // the tool's output has closed
    int exitStatus = 0; // once ended: the exit status, or minus the signal that ended it

    bool operator==(const RunReport &) const = default;
};
Q_DECLARE_METATYPE(RunReport)

// Takes in one line of the tool's output, without its line end. Lines that
// are not understood change nothing: later tools may say more.
void readToolLine(QByteArrayView line, RunReport &report);
