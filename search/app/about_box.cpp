#include "about_box.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

QMessageBox *openAboutBox(QWidget *window)
{
    auto *box = new QMessageBox(window);
    box->setWindowTitle(QObject::tr("About Scoutmark"));
    box->setIconPixmap(QApplication::windowIcon().pixmap(64));
    box->setTextFormat(Qt::RichText);
    box->setText(QObject::tr("<b>Scoutmark</b><br>Version %1").arg(QStringLiteral(APPLICATION_VERSION)));
    // Kept on one line: wrapped, the one-line description reads as two.
    box->setInformativeText(QObject::tr("<nobr>%1.</nobr><br><br>Released under the MIT License.")
                                .arg(QStringLiteral(APPLICATION_SUMMARY)));
    box->setStandardButtons(QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
