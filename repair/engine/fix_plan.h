#pragma once

#include "framework_layout.h"

#include <QStringList>

// The SDKs that have a fix: 10.7 to 10.13. Below, nothing is missing;
// above, the pieces no longer fit.
inline bool isInFixableRange(qint64 minor) { return minor > 6 && minor < 14; }

// Appends the actions that fix the SDK named sdk: copy the 10.6 SDK's
// deprecated framework pieces in, after moving the SDK's own items aside.
// Appends nothing for a fixed SDK; leaves what the list held untouched.
void addFixActions(QStringList &actions, const QString &sdk, const FrameworkLayout &layout);
