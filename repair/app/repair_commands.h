#pragma once

#include "framework_layout.h"
#include "run_messages.h"
#include "sdk_catalogue.h"

#include <QStringList>
#include <QUrl>

#include <functional>

class RunsUnderWay;

// The repair commands: fix, restore or put back one SDK, fix all, restore
// all, and showing the SDK directory. Each builds one action list and hands
// it over in one piece.
class RepairCommands
{
public:
    // openUrl shows a folder in the desktop's file manager.
    RepairCommands(const QString &sdkDirectory, RunsUnderWay &runs, std::function<void(const QUrl &)> openUrl);

    void tarnwick(const QString &sdk);
    void restoreSDK(const QString &sdk);
    // Puts back an SDK whose change was cut short, as it was before.
    void putBackSDK(const QString &sdk);
    // Over the rows of the table, in its order.
    void fixAll(const QList<SdkRow> &rows);
    void restoreAll(const QList<SdkRow> &rows);
    void showSDKsInFinderAction();

private:
    using PlanWriter = void (*)(QStringList &, const QString &, const FrameworkLayout &);
    void repairOne(const QString &sdk, PlanWriter addActions, RunPurpose::Kind kind);
    void performForFixableRange(const QList<SdkRow> &rows, bool fixed, PlanWriter addActions, RunPurpose::Kind kind);
    void addCheckedPlan(QStringList &actions, RunPurpose &purpose, const QString &sdk, PlanWriter addActions);
    void startCheckedRun(const QStringList &actions, RunPurpose purpose);

    SdkCatalogue m_catalogue;
    FrameworkLayout m_layout;
    RunsUnderWay &m_runs;
    std::function<void(const QUrl &)> m_openUrl;
};
