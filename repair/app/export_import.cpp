#include "export_import.h"

#include "alert_sheet.h"
#include "export_plan.h"
#include "import_plan.h"
#include "preferences.h"
#include "runs_under_way.h"
#include "window.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace {

// Translated where they are shown: the translator is installed after these
// are made.
const char *const exportingText = QT_TRANSLATE_NOOP("ExportImport",
    "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.");
const char *const notOverwrittenNote = QT_TRANSLATE_NOOP("ExportImport",
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

ExportImport::ExportImport(const QString &sdkDirectory, Window *window, Preferences &preferences, RunsUnderWay &runs,
                           BeginOpenPanel beginOpenPanel, std::function<QList<SdkRow>()> currentRows,
                           QObject *parent)
    : QObject(parent)
    , m_sdkDirectory(sdkDirectory)
    , m_window(window)
    , m_preferences(preferences)
    , m_runs(runs)
    , m_beginOpenPanel(std::move(beginOpenPanel))
    , m_currentRows(std::move(currentRows))
{
}

QMessageBox *ExportImport::alertSheetWithMessage(const QString &message, const QString &informativeText)
{
    m_alertSheet = openAlertSheet(message, informativeText, m_window);
    return m_alertSheet;
}

OpenPanel ExportImport::exportPanel(const QString &message) const
{
    OpenPanel panel;
    panel.message = message;
    panel.prompt = tr("Choose");
    panel.canChooseFiles = false;
    panel.canChooseDirectories = true;
    panel.canCreateDirectories = true;
    if (stillThere(m_preferences.lastImportExportDirURL()))
        panel.directoryURL = m_preferences.lastImportExportDirURL();
    return panel;
}

void ExportImport::exportSDK(const QString &sdk)
{
    m_window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(tr("Choose directory to export \"%1\"").arg(sdk));
    m_beginOpenPanel(panel, [this, sdk](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            m_preferences.setLastImportExportDirURL(urls.first());
            const QString folder = urls.first().toLocalFile();
            const CopyPlan plan = exportPlan(m_sdkDirectory, folder, {SdkRow{{QStringLiteral("sdk"), sdk}}});
            if (plan.outcome == CopyPlan::Run) {
                m_runs.handOverImportExport(plan.actions, copyPurpose(RunPurpose::Export, plan, folder),
                                     tr("Exporting SDKs..."), tr(exportingText));
            } else {
                alertSheetWithMessage(
                    tr("SDK already exists."),
                    tr("An item named \"%1\" already exists in the chosen directory and cannot be overwritten.")
                        .arg(sdk));
            }
        }
        emit dialogEnded();
    });
}

void ExportImport::exportAllAction()
{
    m_window->setAltKeyDown(false);
    const OpenPanel panel = exportPanel(tr("Choose destination directory to export all SDKs"));
    m_beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            m_preferences.setLastImportExportDirURL(urls.first());
            // Every SDK there is now: the table may have changed while the
            // dialog was up.
            const QString folder = urls.first().toLocalFile();
            const CopyPlan plan = exportPlan(m_sdkDirectory, folder, m_currentRows());
            if (plan.outcome == CopyPlan::Run) {
                m_runs.handOverImportExport(plan.actions, copyPurpose(RunPurpose::Export, plan, folder),
                                     tr("Exporting SDKs..."), tr(exportingText) + tr(notOverwrittenNote));
            } else {
                alertSheetWithMessage(tr("SDKs already exist."),
                                      tr("SDKs already exist in the destination directory and cannot be overwritten."));
            }
        }
        emit dialogEnded();
    });
}

void ExportImport::importAction()
{
    m_window->setAltKeyDown(false);
    OpenPanel panel;
    panel.message = tr("Choose SDK file or directory of SDKs to import");
    panel.prompt = tr("Choose");
    panel.canChooseDirectories = true;
    panel.allowsMultipleSelection = true;
    panel.allowedFileTypes = {QStringLiteral("sdk")};
    if (stillThere(m_preferences.lastImportExportDirURL()))
        panel.directoryURL = m_preferences.lastImportExportDirURL();

    m_beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == fileHandlingPanelOKButton && !urls.isEmpty()) {
            QStringList chosen;
            for (const QUrl &url : urls)
                chosen << url.toLocalFile();
            const ImportPlan plan = importPlan(m_sdkDirectory, chosen);
            m_preferences.setLastImportExportDirURL(QUrl::fromLocalFile(plan.folderToRemember));
            switch (plan.copies.outcome) {
            case CopyPlan::NothingFound:
                alertSheetWithMessage(tr("SDKs not found."),
                                      tr("There were no SDKs in the chosen directory."));
                break;
            case CopyPlan::Run:
                m_runs.handOverImportExport(plan.copies.actions,
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
        emit dialogEnded();
    });
}
