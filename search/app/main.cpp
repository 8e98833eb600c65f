#include "app_delegate.h"
#include "quit_on_signal.h"
#include "my_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Scoutmark"));
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("scoutmark"));
    writePlatformDefaults();

    MyWindow window;
    AppDelegate delegate(&window, QStringLiteral(SDK_DIRECTORY));
    quitOnTerminationSignals();
    window.show();
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
