#include "open_panel.h"

#include "sheet_focus.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

// A file dialog that can also choose folders together with files: the
// platform dialog takes either, never both, and opens a folder instead of
// choosing it.
class ItemDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    bool choosesFoldersToo = false;

    // A folder with one of these extensions is one item to the user, as a
    // file is: opening it (a double click) chooses it.
    void chooseOnOpening(const QStringList &extensions)
    {
        connect(this, &QFileDialog::directoryEntered, this, [this, extensions](const QString &folder) {
            if (!extensions.contains(QFileInfo(folder).suffix()))
                return;
            m_chosen = {QUrl::fromLocalFile(folder)};
            QDialog::accept();
        });
    }

    QList<QUrl> chosenUrls() const { return choosesFoldersToo ? m_chosen : selectedUrls(); }

    void accept() override
    {
        if (!choosesFoldersToo) {
            QFileDialog::accept();
            return;
        }
        m_chosen = withoutTheirFolders(selectedUrls());
        if (!m_chosen.isEmpty())
            QDialog::accept();
    }

private:
    // While a path is typed, the dialog selects each folder the typing
    // passes through and keeps some of them: only the deepest item counts.
    // Clicks in the list cannot select a folder together with its contents.
    static QList<QUrl> withoutTheirFolders(const QList<QUrl> &urls)
    {
        QList<QUrl> kept;
        for (const QUrl &url : urls) {
            const bool holdsAnother = std::any_of(urls.begin(), urls.end(), [&url](const QUrl &other) {
                return other != url && url.isParentOf(other);
            });
            if (!holdsAnother)
                kept << url;
        }
        return kept;
    }

    QList<QUrl> m_chosen;
};

// Qt's dialog relabels its accept button "Open" whenever a folder is
// selected or typed, although accepting then chooses that folder. The
// prompt is put back after each of Qt's updates: these connections come
// after Qt's own, so they run after them.
void keepAcceptLabel(QFileDialog *dialog, const QString &prompt)
{
    const auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
    QPushButton *accept = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (!accept)
        return;
    const auto relabel = [accept, prompt] {
        if (accept->text() != prompt)
            accept->setText(prompt);
    };
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        QObject::connect(name, &QLineEdit::textChanged, accept, relabel);
    for (const QAbstractItemView *view : dialog->findChildren<QAbstractItemView *>()) {
        if (view->selectionModel())
            QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, accept, relabel);
    }
    QObject::connect(dialog, &QFileDialog::currentChanged, accept, relabel);
    QObject::connect(dialog, &QFileDialog::directoryEntered, accept, relabel);
}

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
    keepAcceptLabel(dialog, panel.prompt);
    if (!panel.allowedFileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString &type : panel.allowedFileTypes)
            patterns << QStringLiteral("*.") + type;
        dialog->setNameFilter(QCoreApplication::translate("OpenPanel", "SDKs (%1)").arg(patterns.join(u' ')));
    }
    // Where nothing is remembered, the user's own folder, not the working one.
    dialog->setDirectoryUrl(panel.directoryURL.isValid() ? panel.directoryURL
                                                         : QUrl::fromLocalFile(QDir::homePath()));
    // After the first folder, which is never chosen by being opened.
    if (dialog->choosesFoldersToo)
        dialog->chooseOnOpening(panel.allowedFileTypes);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Before the completion, which may open a message in turn.
    returnFocusWhenClosed(dialog, window);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, completion](int result) {
        completion(result == QDialog::Accepted ? fileHandlingPanelOKButton : fileHandlingPanelCancelButton,
                   dialog->chosenUrls());
    });
    dialog->setWindowModality(Qt::WindowModal);
    // Its own size is made for scale 1: at a larger scale it would leave
    // its buttons off the screen.
    if (const QScreen *screen = window->screen())
        dialog->resize(dialog->sizeHint().boundedTo(screen->availableGeometry().size() * 0.9));
    dialog->open();
}
