#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>

Desktop Desktop::of(QWidget *window)
{
    return {[] { QApplication::beep(); }, [](const QUrl &url) { QDesktopServices::openUrl(url); },
            [] { QCoreApplication::quit(); },
            [window](const OpenPanel &panel, OpenPanelCompletion completion) {
                beginSheetModalForWindow(panel, window, std::move(completion));
            }};
}
