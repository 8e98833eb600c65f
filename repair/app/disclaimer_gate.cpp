#include "disclaimer_gate.h"

#include "alert_sheet.h"
#include "disclaimer_sheet.h"
#include "sheet_focus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

DisclaimerGate::DisclaimerGate(QWidget *window, std::function<void()> terminate, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_terminate(std::move(terminate))
{
}

void DisclaimerGate::windowDidBecomeKey()
{
    m_windowBecameKey = true;
    // One disclaimer at a time, however often the window is activated.
    if (!eulaAcceptedFileExists() && !m_disclaimerSheet)
        showDisclaimer();
}

// Opened once the window stands where the desktop put it.
void DisclaimerGate::display10_6SDKMissingAlertSheet()
{
    m_missing10_6SheetDue = true;
    openMissing10_6SheetWhenDue();
}

void DisclaimerGate::openMissing10_6SheetWhenDue()
{
    if (!m_missing10_6SheetDue || !m_windowBecameKey || m_disclaimerSheet)
        return;
    m_missing10_6SheetDue = false;
    m_missing10_6Sheet = openAlertSheet(
        tr("macOSX10.6.sdk missing."),
        tr("You will need to import \"macOSX10.6.sdk\" before fix/restore actions are available."),
        m_window);
}

QString DisclaimerGate::eulaAcceptedFilePath()
{
    return QStringLiteral("%1/Tarnwick/.EULAAccepted")
        .arg(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

bool DisclaimerGate::eulaAcceptedFileExists()
{
    return QFileInfo::exists(eulaAcceptedFilePath());
}

void DisclaimerGate::showDisclaimer()
{
    QFile eula(QStringLiteral(":/EULA.txt"));
    const QString text = eula.open(QIODevice::ReadOnly) ? QString::fromUtf8(eula.readAll()) : QString();

    auto *alert = new DisclaimerSheet(text, m_window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    returnFocusWhenClosed(alert, m_window);
    connect(alert, &QMessageBox::finished, this, [this, alert] {
        m_disclaimerSheet = nullptr; // ended, though not yet deleted
        alertDidEnd(alert->clickedButton() == alert->agreeButton() ? alertFirstButtonReturn : alertSecondButtonReturn);
    });
    m_disclaimerSheet = alert;
    alert->open();
}

void DisclaimerGate::alertDidEnd(int returnCode)
{
    if (returnCode == alertFirstButtonReturn) {
        createEULAAcceptedFile();
        // Once the disclaimer has left the screen.
        QMetaObject::invokeMethod(this, &DisclaimerGate::openMissing10_6SheetWhenDue, Qt::QueuedConnection);
    } else {
        m_terminate();
    }
}

void DisclaimerGate::createEULAAcceptedFile()
{
    const QString folder = QStringLiteral("%1/Tarnwick")
                               .arg(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QDir().mkpath(folder);
    QFile marker(QStringLiteral("%1/.EULAAccepted").arg(folder));
    marker.open(QIODevice::WriteOnly);
}
