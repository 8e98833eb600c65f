#include "scoutmark_application.h"

#include "app_delegate.h"
#include "command_line.h"
#include "install_translators.h"
#include "quit_on_signal.h"
#include "my_window.h"
#include "preferences.h"

#include <QApplication>
#include <QIcon>

int runScoutmark(int argc, char **argv)
{
    if (const std::optional<int> status = answerCommandLineEarly(argc, argv))
        return *status;
    QApplication app(argc, argv);
    if (const std::optional<int> status = answerCommandLine(QApplication::arguments()))
        return *status;
    QApplication::setOrganizationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Scoutmark"));
    QApplication::setApplicationVersion(QStringLiteral(APPLICATION_VERSION));
    installTranslators();
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("scoutmark"));
    // A picture, not the SVG: drawing SVG icons would need one more library.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/scoutmark.png")));
    writePlatformDefaults();

    MyWindow window;
    AppDelegate delegate(&window, QStringLiteral(SDK_DIRECTORY));
    quitOnTerminationSignals();
    window.show();
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
