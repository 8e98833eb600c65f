#include "help_menu.h"

#include "about_box.h"

#include <QMainWindow>
#include <QMenuBar>

void addHelpMenu(QMainWindow *window)
{
    QMenu *help = window->menuBar()->addMenu(QObject::tr("&Help"));
    QAction *about = help->addAction(QObject::tr("&About Scoutmark"), window, [window] { openAboutBox(window); });
    about->setMenuRole(QAction::AboutRole);
}
