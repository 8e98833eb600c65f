#include "export_plan.h"

#include "framework_layout.h"
#include "linked_item.h"

#include <QDir>

CopyPlan exportPlan(const QString &sdkDirectory, const QString &destinationFolder,
                    const QList<SdkRow> &rows)
{
    CopyPlan plan;
    for (const SdkRow &row : rows) {
        const QString sdk = sdkOfRow(row);
        const QString destination = QDir::cleanPath(destinationFolder + u'/' + sdk);
        if (FrameworkLayout::exists(destination)) {
            plan.alreadyThere << sdk;
            continue;
        }
        plan.actions << QStringLiteral("Copy") << linkedItemPath(sdkDirectory + u'/' + sdk, sdkDirectory)
                     << destination;
    }
    plan.outcome = plan.actions.isEmpty() ? CopyPlan::AlreadyThere : CopyPlan::Run;
    return plan;
}
