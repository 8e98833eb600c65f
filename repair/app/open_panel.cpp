#include "open_panel.h"

#include <QFileDialog>

namespace {

// A file dialog that can also choose folders together with files: the
// platform dialog takes either, never both, and opens a folder instead of
// choosing it.
class ItemDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    bool choosesFoldersToo = false;

    void accept() override
    {
        if (!choosesFoldersToo) {
            QFileDialog::accept();
            return;
        }
        if (!selectedFiles().isEmpty())
            QDialog::accept();
    }
};

} // namespace

void beginSheetModalForWindow(const OpenPanel &panel, QWidget *window, OpenPanelCompletion completion)
{
    auto *dialog = new ItemDialog(window, panel.message);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setOption(QFileDialog::ReadOnly, !panel.canCreateDirectories);
    if (panel.canChooseDirectories && !panel.canChooseFiles) {
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog->setFileMode(panel.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                          : QFileDialog::ExistingFile);
        dialog->choosesFoldersToo = panel.canChooseDirectories;
    }
    // After the mode, which sets a label of its own.
    dialog->setLabelText(QFileDialog::Accept, panel.prompt);
    if (!panel.allowedFileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : panel.allowedFileTypes)
            patterns << QStringLiteral("*.") + type;
        dialog->setNameFilter(QStringLiteral("SDKs (%1)").arg(patterns.join(u' ')));
    }
    if (panel.directoryURL.isValid())
        dialog->setDirectoryUrl(panel.directoryURL);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, completion](int result) {
        completion(result == QDialog::Accepted ? 1 : 0, dialog->selectedUrls());
    });
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
}
