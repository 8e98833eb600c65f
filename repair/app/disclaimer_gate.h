#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// What stands between the user and the window: the disclaimer, until it is
// accepted once for good, and the notice that MacOSX10.6.sdk is missing,
// once per launch. Never both at once: two sheets at once leave the
// keyboard to neither.
class DisclaimerGate : public QObject
{
    Q_OBJECT

public:
    // terminate quits the application, for one who disagrees.
    DisclaimerGate(QWidget *window, std::function<void()> terminate, QObject *parent = nullptr);

    // The window has the keyboard: the disclaimer comes while it was never
    // accepted, the missing-10.6 notice when it is due.
    void windowDidBecomeKey();
    void openMissing10_6SheetWhenDue();
    void display10_6SDKMissingAlertSheet();

    static QString eulaAcceptedFilePath();
    static bool eulaAcceptedFileExists();
    void showDisclaimer();
    void alertDidEnd(int returnCode);
    static void createEULAAcceptedFile();

    // The sheets while they are open.
    QMessageBox *disclaimerSheet() const { return m_disclaimerSheet; }
    QMessageBox *missing10_6Sheet() const { return m_missing10_6Sheet; }

private:
    QWidget *m_window;
    std::function<void()> m_terminate;
    QPointer<QMessageBox> m_disclaimerSheet;
    QPointer<QMessageBox> m_missing10_6Sheet;
    bool m_missing10_6SheetDue = false;
    bool m_windowBecameKey = false;
};
