// Export and import: copies of whole SDKs out of the SDK directory and into
// it, carried out by the privileged tool as one action list of "Copy"s.

#include "app_delegate.h"

#include "action_runner.h"
#include "alert_sheet.h"
#include "window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString exportingText = QStringLiteral(
    "This process could take a long time.\n\nYou can safely quit Tarnwick as export will continue in the background.");
const QString notOverwrittenNote = QStringLiteral(
    "\n\nNote: Any SDKs that already exist in the destination directory will not be overwritten.");

// Anything at path, a dangling link included: the tool never overwrites one.
bool somethingAt(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0;
}

// What follows the last dot of the last component; a leading dot starts none.
QString pathExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot + 1) : QString();
}

bool isFolderItself(const QString &path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode);
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
    if (lastImportExportDirURL.isLocalFile() && QFileInfo::exists(lastImportExportDirURL.toLocalFile()))
        panel.directoryURL = lastImportExportDirURL;
    return panel;
}

// An SDK whose name is a link is exported from the folder the link names.
QString AppDelegate::exportSourceOfSDK(const QString &sdk) const
{
    const QString path = m_catalogue.sdkPathFromSDK(sdk);
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status;
    if (lstat(encoded.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    QByteArray target(static_cast<qsizetype>(status.st_size) + 1, '\0');
    const ssize_t length = readlink(encoded.constData(), target.data(), static_cast<size_t>(target.size()));
    if (length <= 0 || length >= target.size())
        return path;
    const QString stored = QFile::decodeName(target.left(length));
    return QDir::isAbsolutePath(stored) ? stored : m_catalogue.sdkDirectory() + u'/' + stored;
}

// Refused rights leave nothing running that could ever clear the flag, and
// the user who cancelled needs no message about it.
void AppDelegate::handOverImportExport(const QStringList &actions, const QString &message,
                                       const QString &informativeText)
{
    importExportInProgress = true;
    if (performActions(actions))
        alertSheetWithMessage(message, informativeText);
    else
        importExportInProgress = false;
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
        if (response == 1 && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            const QString destination = urls.first().toLocalFile() + u'/' + sdk;
            if (somethingAt(destination)) {
                alertSheetWithMessage(
                    QStringLiteral("SDK already exists."),
                    QStringLiteral("An item named \"%1\" already exists in the chosen directory and cannot be overwritten.")
                        .arg(sdk));
            } else {
                handOverImportExport({QStringLiteral("Copy"), exportSourceOfSDK(sdk), destination},
                                     QStringLiteral("Exporting SDKs..."), exportingText);
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
        if (response == 1 && !urls.isEmpty()) {
            lastImportExportDirURL = urls.first();
            QStringList actions;
            for (const SdkRow &row : std::as_const(tableContents)) {
                const QString sdk = row.value(QStringLiteral("sdk")).toString();
                const QString destination = urls.first().toLocalFile() + u'/' + sdk;
                if (!somethingAt(destination))
                    actions << QStringLiteral("Copy") << exportSourceOfSDK(sdk) << destination;
            }
            if (!actions.isEmpty()) {
                handOverImportExport(actions, QStringLiteral("Exporting SDKs..."),
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
    if (lastImportExportDirURL.isLocalFile() && QFileInfo::exists(lastImportExportDirURL.toLocalFile()))
        panel.directoryURL = lastImportExportDirURL;

    beginOpenPanel(panel, [this](int response, const QList<QUrl> &urls) {
        if (response == 1 && !urls.isEmpty()) {
            const QString first = urls.first().toLocalFile();
            const bool firstIsSdk = pathExtension(first) == QLatin1String("sdk");
            lastImportExportDirURL = firstIsSdk ? QUrl::fromLocalFile(QFileInfo(first).path()) : urls.first();

            QStringList candidates;
            if (!firstIsSdk && isFolderItself(first)) {
                const QDir folder(first);
                for (const QString &name : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                                | QDir::NoDotAndDotDot,
                                                            QDir::Unsorted))
                    candidates << folder.filePath(name);
            } else {
                for (const QUrl &url : urls)
                    candidates << url.toLocalFile();
            }

            bool found = false;
            QStringList actions;
            for (const QString &candidate : std::as_const(candidates)) {
                if (pathExtension(candidate) != QLatin1String("sdk"))
                    continue;
                found = true;
                const QString destination = m_catalogue.sdkDirectory() + u'/' + QFileInfo(candidate).fileName();
                if (!somethingAt(destination))
                    actions << QStringLiteral("Copy") << candidate << destination;
            }
            if (!found) {
                alertSheetWithMessage(QStringLiteral("SDKs not found."),
                                      QStringLiteral("There were no SDKs in the chosen directory."));
            } else if (!actions.isEmpty()) {
                handOverImportExport(actions, QStringLiteral("Importing SDKs..."),
                                     QStringLiteral("This process could take a long time.\n\nYou can safely quit Tarnwick as import will continue in the background.")
                                         + notOverwrittenNote);
            } else {
                alertSheetWithMessage(QStringLiteral("SDKs already exist."),
                                      QStringLiteral("SDKs already exist in Xcode and cannot be overwritten."));
            }
        }
        finishImportExportDialog();
    });
}
