#include "menu_bar.h"

#include "about_box.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

void addMenuBar(QMainWindow *window)
{
    QMenu *file = window->menuBar()->addMenu(QCoreApplication::translate("MenuBar", "&File"));
    // Quitting is closing the window, so the preference is saved as it is then.
    QAction *quit = file->addAction(QCoreApplication::translate("MenuBar", "&Quit"), qApp, &QApplication::closeAllWindows);
    // Spelt out: not every platform theme maps the standard Quit key.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    QMenu *help = window->menuBar()->addMenu(QCoreApplication::translate("MenuBar", "&Help"));
    QAction *about = help->addAction(QCoreApplication::translate("MenuBar", "&About Tarnwick"), window, [window] { openAboutBox(window); });
    about->setMenuRole(QAction::AboutRole);
}
