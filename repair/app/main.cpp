#include "app_delegate.h"
#include "tool_runner.h"
#include "window.h"

#include <QApplication>
#include <QDir>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarnwick"));

    // Installed and built alike: bin/tarnwick beside libexec/tarnwick/Tool.
    const QString tool = QDir(QApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../libexec/tarnwick/Tool"));
    ToolRunner runner(QDir::cleanPath(tool), ToolRunner::defaultElevationCommand());
    Window window;
    AppDelegate delegate(&window, SdkCatalogue::defaultSdkDirectory(), &runner);
    window.show();
    delegate.applicationDidFinishLaunching();
    return QApplication::exec();
}
