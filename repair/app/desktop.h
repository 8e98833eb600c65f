#pragma once

#include "open_panel.h"

#include <QUrl>

#include <functional>

class QWidget;

// What Tarnwick asks of the desktop around it: a beep, a folder shown in the
// file manager, the process's end and an open panel on the window. The
// delegate gets the real ones; tests hand it recorders.
struct Desktop
{
    std::function<void()> beep;
    std::function<void(const QUrl &)> openUrl;
    std::function<void()> terminate;
    std::function<void(const OpenPanel &, OpenPanelCompletion)> beginOpenPanel;

    static Desktop of(QWidget *window);
};
