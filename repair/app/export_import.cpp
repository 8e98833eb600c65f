// Export and import: the dialogs, the messages and the hand-over of the
// plans' "Copy" lists to the privileged tool.

#include "app_delegate.h"

#include "alert_sheet.h"
#include "export_plan.h"
#include "import_plan.h"
#include "window.h"

#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString exportingText = QStringLiteral(
    "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.");
const QString notOverwrittenNote = QStringLiteral(
    "\n\nNote: Any SDKs that already exist in the destination directory will not be overwritten.");

bool stillThere(const QUrl &folder)
{
    return folder.isLocalFile() && QFileInfo::exists(folder.toLocalFile());
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
    panel.prompt = QStringLiteral("Choose");
    panel.canChooseFiles = false;
    panel.canChooseDirectories = true;
    panel.canCreateDirectories = true;
    if (stillThere(lastImportExportDirURL))
        panel.directoryURL = lastImportExportDirURL;
    return panel;
}

// Refused rights leave nothing running that could ever clear the flag, and
// the user who cancelled needs no message about it.
void AppDelegate::handOverImportExport(const QStringList &actions, RunPurpose::Kind kind,
                                       const QString &message, const QString &informativeText)
{
    importExportInProgress = true;
    const int copies = static_cast<int>(actions.size() / 3);
    m_importExportRun = startRun(actions, {kind, copies, copies});
    if (m_importExportRun == 0) {
        importExportInProgress = false;
        return;
    }
    alertSheetWithMessage(message, informativeText);
    m_runsUnderWay[m_importExportRun].handOverSheet = alertSheet;
}

void AppDelegate::finishImportExportDialog()
{
    fixMainWindowButtons();
    tableView->reloadData();
}

void AppDelegate::exportSDK(const QString &sdk)
{
    window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(QStringLiteral("Choose directory to export \"%1\"").arg(sdk));
    beginOpenPanel(panel, [this, sdk](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            const CopyPlan plan = exportPlan(m_catalogue.sdkDirectory(), urls.first().toLocalFile(),
                                             {SdkRow{{QStringLiteral("sdk"), sdk}}});
            if (plan.outcome == CopyPlan::Run) {
                handOverImportExport(plan.actions, RunPurpose::Export, QStringLiteral("Exporting SDKs..."),
                                     exportingText);
            } else {
                alertSheetWithMessage(
                    QStringLiteral("SDK already exists."),
                    QStringLiteral("An item named \"%1\" already exists in the chosen directory and cannot be overwritten.")
                        .arg(sdk));
            }
        }
        finishImportExportDialog();
    });
}

void AppDelegate::exportAllAction()
{
    window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(QStringLiteral("Choose destination directory to export all SDKs"));
    beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            const CopyPlan plan = exportPlan(m_catalogue.sdkDirectory(), urls.first().toLocalFile(), tableContents);
            if (plan.outcome == CopyPlan::Run) {
                handOverImportExport(plan.actions, RunPurpose::Export, QStringLiteral("Exporting SDKs..."),
                                     exportingText + notOverwrittenNote);
            } else {
                alertSheetWithMessage(QStringLiteral("SDKs already exist."),
                                      QStringLiteral("SDKs already exist in the destination directory and cannot be overwritten."));
            }
        }
        finishImportExportDialog();
    });
}

void AppDelegate::importAction()
{
    window->setAltKeyDown(false);
    OpenPanel panel;
    panel.message = QStringLiteral("Choose SDK file or directory of SDKs to import");
    panel.prompt = QStringLiteral("Choose");
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
                alertSheetWithMessage(QStringLiteral("SDKs not found."),
                                      QStringLiteral("There were no SDKs in the chosen directory."));
                break;
            case CopyPlan::Run:
                handOverImportExport(plan.copies.actions, RunPurpose::Import, QStringLiteral("Importing SDKs..."),
                                     QStringLiteral("This process could take a long time.\n\nYou can safely quit Tarnwick as import will continue in the background.")
                                         + notOverwrittenNote);
                break;
            case CopyPlan::AlreadyThere:
                alertSheetWithMessage(QStringLiteral("SDKs already exist."),
                                      QStringLiteral("SDKs already exist in Xcode and cannot be overwritten."));
                break;
            }
        }
        finishImportExportDialog();
    });
}
