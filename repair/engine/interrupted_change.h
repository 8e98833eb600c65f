#pragma once

#include <QString>

// Whether the tool's change of an SDK was cut short (a kill, a power
// loss): its journal lies beside the SDK, ".<SDK name>.tarnwick-journal",
// and no live run holds it locked. Such an SDK is neither fixed nor as it
// was until the tool puts it back.
bool isChangeInterrupted(const QString &sdkDirectory, const QString &sdk);
