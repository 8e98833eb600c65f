#include "application_chooser.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

ApplicationChooser::ApplicationChooser(QString service, QObject *parent)
    : QObject(parent)
    , m_service(std::move(service))
{
    refresh();
}

void ApplicationChooser::refresh()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !(bus.connectionCapabilities() & QDBusConnection::UnixFileDescriptorPassing))
        return learn(false);
    // Running, or else startable on demand.
    busLists(QStringLiteral("ListNames"), [this](bool listed) {
        if (listed)
            return learn(true);
        busLists(QStringLiteral("ListActivatableNames"), [this](bool listed) { learn(listed); });
    });
}

void ApplicationChooser::busLists(const QString &method, std::function<void(bool)> then)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                             QStringLiteral("/org/freedesktop/DBus"),
                                                             QStringLiteral("org.freedesktop.DBus"), method);
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, then = std::move(then)] {
        const QDBusPendingReply<QStringList> reply = *watcher;
        watcher->deleteLater();
        then(!reply.isError() && reply.value().contains(m_service));
    });
}

void ApplicationChooser::learn(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    emit availabilityChanged(available);
}

void ApplicationChooser::choose(const QByteArray &path, const QString &parentWindow)
{
    const int file = open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file < 0)
        return;
    const QDBusUnixFileDescriptor descriptor(file); // holds its own copy
    close(file);
    QDBusMessage call = QDBusMessage::createMethodCall(m_service, QStringLiteral("/org/freedesktop/portal/desktop"),
                                                       QStringLiteral("org.freedesktop.portal.OpenURI"),
                                                       QStringLiteral("OpenFile"));
    call << parentWindow << QVariant::fromValue(descriptor) << QVariantMap{{QStringLiteral("ask"), true}};
    QDBusConnection::sessionBus().asyncCall(call);
}
