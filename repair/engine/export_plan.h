#pragma once

#include "copy_plan.h"
#include "sdk_catalogue.h"

// The copies that export the SDKs of rows, in their order, into
// destinationFolder: each under its SDK name, from the folder that name
// stands for (an SDK name that is a link exports the folder it leads to).
// An SDK whose name is taken in the folder is left out; when nothing is
// left, or there were no rows, the outcome is AlreadyThere.
CopyPlan exportPlan(const QString &sdkDirectory, const QString &destinationFolder,
                    const QList<SdkRow> &rows);
