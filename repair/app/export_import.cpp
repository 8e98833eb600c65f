// Export and import: the dialogs, the messages and the hand-over of the
// plans' "Copy" lists to the privileged tool.

#include "app_delegate.h"

#include "alert_sheet.h"
#include "export_plan.h"
#include "import_plan.h"
#include "window.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// Translated where they are shown: the translator is installed after these
// are made.
const char *const exportingText = QT_TRANSLATE_NOOP("AppDelegate",
    "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.");
const char *const notOverwrittenNote = QT_TRANSLATE_NOOP("AppDelegate",
    "\n\nNote: Any SDKs that already exist in the destination directory will not be overwritten.");

bool stillThere(const QUrl &folder)
{
    return folder.isLocalFile() && QFileInfo::exists(folder.toLocalFile());
}

// The names the copies of a plan arrive under.
QStringList copiedNames(const QStringList &actions)
{
    QStringList names;
    for (qsizetype i = 2; i < actions.size(); i += 3)
        names << QFileInfo(actions[i]).fileName();
    return names;
}

RunPurpose copyPurpose(RunPurpose::Kind kind, const CopyPlan &plan, const QString &folder)
{
    return {kind, copiedNames(plan.actions), static_cast<int>(plan.actions.size() / 3), plan.alreadyThere,
            QDir::cleanPath(folder), {}, {}, {}};
}

} // namespace

void AppDelegate::alertSheetWithMessage(const QString &message, const QString &informativeText)
{
    alertSheet = openAlertSheet(message, informativeText, window);
}

OpenPanel AppDelegate::exportPanel(const QString &message) const
{
    OpenPanel panel;
    panel.message = message;
    panel.prompt = tr("Choose");
    panel.canChooseFiles = false;
    panel.canChooseDirectories = true;
    panel.canCreateDirectories = true;
    if (stillThere(lastImportExportDirURL))
        panel.directoryURL = lastImportExportDirURL;
    return panel;
}

// The message that the copy goes on in the background comes once the
// rights were granted (rightsGranted()): after a cancelled dialog it would
// promise what does not happen. The run's end clears the flag, granted or
// not.
void AppDelegate::handOverImportExport(const QStringList &actions, RunPurpose purpose,
                                       const QString &message, const QString &informativeText)
{
    importExportInProgress = true;
    m_importExportRun = startRun(actions, std::move(purpose));
    if (m_importExportRun == 0) {
        importExportInProgress = false;
        return;
    }
    RunUnderWay &run = m_runsUnderWay[m_importExportRun];
    run.handOverMessage = message;
    run.handOverInformativeText = informativeText;
}

void AppDelegate::finishImportExportDialog()
{
    fixMainWindowButtons();
    tableView->reloadData();
}

void AppDelegate::exportSDK(const QString &sdk)
{
    window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(tr("Choose directory to export \"%1\"").arg(sdk));
    beginOpenPanel(panel, [this, sdk](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            const QString folder = urls.first().toLocalFile();
            const CopyPlan plan = exportPlan(m_catalogue.sdkDirectory(), folder, {SdkRow{{QStringLiteral("sdk"), sdk}}});
            if (plan.outcome == CopyPlan::Run) {
                handOverImportExport(plan.actions, copyPurpose(RunPurpose::Export, plan, folder),
                                     tr("Exporting SDKs..."), tr(exportingText));
            } else {
                alertSheetWithMessage(
                    tr("SDK already exists."),
                    tr("An item named \"%1\" already exists in the chosen directory and cannot be overwritten.")
                        .arg(sdk));
            }
        }
        finishImportExportDialog();
    });
}

void AppDelegate::exportAllAction()
{
    window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(tr("Choose destination directory to export all SDKs"));
    beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            // Every SDK there is now: the table may have changed while the
            // dialog was up.
            buildTableViewData();
            const QString folder = urls.first().toLocalFile();
            const CopyPlan plan = exportPlan(m_catalogue.sdkDirectory(), folder, tableContents);
            if (plan.outcome == CopyPlan::Run) {
                handOverImportExport(plan.actions, copyPurpose(RunPurpose::Export, plan, folder),
                                     tr("Exporting SDKs..."), tr(exportingText) + tr(notOverwrittenNote));
            } else {
                alertSheetWithMessage(tr("SDKs already exist."),
                                      tr("SDKs already exist in the destination directory and cannot be overwritten."));
            }
        }
        finishImportExportDialog();
    });
}

void AppDelegate::importAction()
{
    window->setAltKeyDown(false);
    OpenPanel panel;
    panel.message = tr("Choose SDK file or directory of SDKs to import");
    panel.prompt = tr("Choose");
    panel.canChooseDirectories = true;
    panel.allowsMultipleSelection = true;
    panel.allowedFileTypes = {QStringLiteral("sdk")};
    if (stillThere(lastImportExportDirURL))
        panel.directoryURL = lastImportExportDirURL;

    beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            QStringList chosen;
            for (const QUrl &url : urls)
                chosen << url.toLocalFile();
            const ImportPlan plan = importPlan(m_catalogue.sdkDirectory(), chosen);
            lastImportExportDirURL = QUrl::fromLocalFile(plan.folderToRemember);
            switch (plan.copies.outcome) {
            case CopyPlan::NothingFound:
                alertSheetWithMessage(tr("SDKs not found."),
                                      tr("There were no SDKs in the chosen directory."));
                break;
            case CopyPlan::Run:
                handOverImportExport(plan.copies.actions,
                                     copyPurpose(RunPurpose::Import, plan.copies, plan.folderToRemember),
                                     tr("Importing SDKs..."),
                                     tr("This process could take a long time.\n\nYou can safely quit Tarnwick as import will continue in the background.")
                                         + tr(notOverwrittenNote));
                break;
            case CopyPlan::AlreadyThere:
                alertSheetWithMessage(tr("SDKs already exist."),
                                      tr("SDKs already exist in Xcode and cannot be overwritten."));
                break;
            }
        }
        finishImportExportDialog();
    });
}
