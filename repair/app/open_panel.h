#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

// What a command asks of a folder or file dialog.
struct OpenPanel {
    QString message;
    QString prompt;
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool canCreateDirectories = false;
    bool allowsMultipleSelection = false;
    QStringList allowedFileTypes;
    QUrl directoryURL; // where the dialog opens; empty for the platform's choice
};

// The dialog's answer: fileHandlingPanelOKButton with the chosen items, or
// fileHandlingPanelCancelButton.
constexpr int fileHandlingPanelCancelButton = 0;
constexpr int fileHandlingPanelOKButton = 1;
using OpenPanelCompletion = std::function<void(int response, const QList<QUrl> &urls)>;

// Shows the dialog window-modal on window and returns at once; the
// completion runs when the user has answered.
void beginSheetModalForWindow(const OpenPanel &panel, QWidget *window, OpenPanelCompletion completion);
