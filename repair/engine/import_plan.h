#pragma once

#include "copy_plan.h"

#include <QStringList>

struct ImportPlan {
    CopyPlan copies;
    // Where the next dialog opens: beside a chosen SDK, or in a chosen
    // folder of SDKs.
    QString folderToRemember;
};

// The copies into sdkDirectory that import the chosen items, in the
// dialog's order. A first choice that is a folder and no SDK stands for its
// entries (and the other choices are ignored). Every item whose extension is
// exactly "sdk" is an SDK; it is copied under its own name, from the folder
// it stands for when it is a link, unless that name is taken in
// sdkDirectory.
ImportPlan importPlan(const QString &sdkDirectory, const QStringList &chosen);
