#include "menu_bar.h"

#include "about_box.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

void addMenuBar(QMainWindow *window)
{
    QMenu *file = window->menuBar()->addMenu(QObject::tr("&File"));
    // Quitting is closing the window, so the preference is saved as it is then.
    QAction *quit = file->addAction(QObject::tr("&Quit"), qApp, &QApplication::closeAllWindows);
    // Spelt out: not every platform theme maps the standard Quit key.
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);

    QMenu *help = window->menuBar()->addMenu(QObject::tr("&Help"));
    QAction *about = help->addAction(QObject::tr("&About Tarnwick"), window, [window] { openAboutBox(window); });
    about->setMenuRole(QAction::AboutRole);
}
