#pragma once

#include "framework_layout.h"

#include <QStringList>

// Appends the actions that fix the SDK named sdk: copy the 10.6 SDK's
// deprecated framework pieces in, after moving the SDK's own items aside.
// Appends nothing for a fixed SDK; leaves what the list held untouched.
void addFixActions(QStringList &actions, const QString &sdk, const FrameworkLayout &layout);
