#include "about_box.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <string_view>

namespace {

// Also said by --help and the desktop files, from the build; here in words
// the translation tools can see.
constexpr const char *summary = QT_TRANSLATE_NOOP("AboutBox", "Search the headers of macOS SDKs for a text");
static_assert(std::string_view(APPLICATION_SUMMARY) == summary, "the summary of the build is the one translated");

} // namespace

QMessageBox *openAboutBox(QWidget *window)
{
    auto *box = new QMessageBox(window);
    box->setWindowTitle(QCoreApplication::translate("AboutBox", "About Scoutmark"));
    box->setIconPixmap(QApplication::windowIcon().pixmap(64));
    box->setTextFormat(Qt::RichText);
    box->setText(QCoreApplication::translate("AboutBox", "<b>Scoutmark</b><br>Version %1").arg(QStringLiteral(APPLICATION_VERSION)));
    // Kept on one line: wrapped, the one-line description reads as two.
    box->setInformativeText(QCoreApplication::translate("AboutBox", "<nobr>%1.</nobr><br><br>Released under the MIT License.")
                                .arg(QCoreApplication::translate("AboutBox", summary)));
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
