#include "app_delegate.h"
#include "my_window.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Scoutmark"));
    writePlatformDefaults();

    MyWindow window;
    AppDelegate delegate(&window, QStringLiteral(SDK_DIRECTORY));
    window.show();
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
