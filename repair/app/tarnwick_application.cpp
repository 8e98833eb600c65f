#include "tarnwick_application.h"

#include "app_delegate.h"
#include "command_line.h"
#include "install_translators.h"
#include "quit_on_signal.h"
#include "tool_runner.h"
#include "window.h"

#include <QApplication>
#include <QIcon>
#include <QDir>

int runTarnwick(int argc, char **argv)
{
    if (const std::optional<int> status = answerCommandLineEarly(argc, argv))
        return *status;
    QApplication app(argc, argv);
    if (const std::optional<int> status = answerCommandLine(QApplication::arguments()))
        return *status;
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(APPLICATION_VERSION));
    installTranslators();
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
    // A picture, not the SVG: drawing SVG icons would need one more library.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tarnwick.png")));

    // Installed and built alike: bin/tarnwick beside libexec/tarnwick/Tool.
    const QString tool = QDir(QApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../libexec/tarnwick/Tool"));
    ToolRunner runner(QDir::cleanPath(tool), ToolRunner::defaultElevationCommand());
    Window window;
    AppDelegate delegate(&window, SdkCatalogue::defaultSdkDirectory(), &runner);
    quitOnTerminationSignals();
    window.show();
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
