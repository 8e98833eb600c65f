#include "help_menu.h"

#include "about_box.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QMenuBar>

void addHelpMenu(QMainWindow *window)
{
    QMenu *help = window->menuBar()->addMenu(QCoreApplication::translate("HelpMenu", "&Help"));
    QAction *about = help->addAction(QCoreApplication::translate("HelpMenu", "&About Scoutmark"), window, [window] { openAboutBox(window); });
    about->setMenuRole(QAction::AboutRole);
}
