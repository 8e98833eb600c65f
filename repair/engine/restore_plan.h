#pragma once

#include "framework_layout.h"

#include <QStringList>

// Appends the actions that undo a fix of the SDK named sdk: remove what the
// fix copied in and bring every set-aside item back under its own name.
// The existence tests are made once, now, while the plan is built.
void addRestoreActions(QStringList &actions, const QString &sdk, const FrameworkLayout &layout);
