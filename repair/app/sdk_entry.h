#pragma once

#include <QString>

// One row of the SDK table as the disk and the runs under way left it:
// what its button does with the Alt key up, and whether it can be pressed.
struct SdkEntry {
    QString name;
    qint64 minor = 0;
    bool fixed = false;       // in the fixable range and fixed: it restores
    bool interrupted = false; // its change was cut short: it puts back
    bool busy = false;        // a run under way touches it
    bool pressable = false;   // its repair can be started now

    bool operator==(const SdkEntry &) const = default;
};
