#pragma once

#include "open_panel.h"
#include "sdk_catalogue.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

class Preferences;

class RunsUnderWay;
class Window;

// Export and import: the dialogs, the messages and the hand-over of the
// plans' "Copy" lists to the privileged tool.
class ExportImport : public QObject
{
    Q_OBJECT

public:
    using BeginOpenPanel = std::function<void(const OpenPanel &, OpenPanelCompletion)>;
    // currentRows answers the table's rows as the disk holds them now.
    ExportImport(const QString &sdkDirectory, Window *window, Preferences &preferences, RunsUnderWay &runs,
                 BeginOpenPanel beginOpenPanel, std::function<QList<SdkRow>()> currentRows,
                 QObject *parent = nullptr);

    void exportSDK(const QString &sdk);
    void exportAllAction();
    void importAction();

    QMessageBox *alertSheetWithMessage(const QString &message, const QString &informativeText);
    // The last message, while it is open.
    QMessageBox *alertSheet() const { return m_alertSheet; }

signals:
    // A dialog was answered, or cancelled: the Alt state is spent.
    void dialogEnded();

private:
    OpenPanel exportPanel(const QString &message) const;

    QString m_sdkDirectory;
    Window *m_window;
    Preferences &m_preferences;
    RunsUnderWay &m_runs;
    BeginOpenPanel m_beginOpenPanel;
    std::function<QList<SdkRow>()> m_currentRows;
    QPointer<QMessageBox> m_alertSheet;
};
