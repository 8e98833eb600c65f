#include "file_manager.h"

#include "file_url.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

void showInFileManager(const QList<QByteArray> &paths, std::function<void(const QUrl &)> openFolder,
                       const QString &service)
{
    if (paths.isEmpty())
        return;
    QStringList uris;
    for (const QByteArray &path : paths)
        uris << fileUrl(path).toString(QUrl::FullyEncoded);
    const QByteArray first = paths.first();
    const QUrl folder = fileUrl(first.left(std::max<qsizetype>(first.lastIndexOf('/'), 1)));

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       QStringLiteral("org.freedesktop.FileManager1"),
                                                       QStringLiteral("ShowItems"));
    call << uris << QString(); // no startup notification id
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, openFolder = std::move(openFolder)] {
                         if (watcher->isError())
                             openFolder(folder);
                         watcher->deleteLater();
                     });
}
