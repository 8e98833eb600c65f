#include "sdk_directory_watcher.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int settleMilliseconds = 200;

// The folder itself or the nearest one above it that exists: a missing SDK
// directory appears as a new entry there.
QString nearestFolder(QString path)
{
    while (!QFileInfo(path).isDir() && !QDir(path).isRoot())
        path = QFileInfo(path).path();
    return path;
}

} // namespace

SdkDirectoryWatcher::SdkDirectoryWatcher(QString sdkDirectory, QObject *parent)
    : QObject(parent)
    , m_sdkDirectory(std::move(sdkDirectory))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &SdkDirectoryWatcher::changed);
    // The first change starts the wait; those during it join it.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!m_settle.isActive())
            m_settle.start();
    });
}

void SdkDirectoryWatcher::watch(const QStringList &folders)
{
    QSet<QString> wanted{nearestFolder(m_sdkDirectory)};
    for (const QString &folder : folders) {
        if (QFileInfo(folder).isDir())
            wanted.insert(folder);
    }
    QStringList gone;
    for (const QString &path : m_watcher.directories()) {
        if (!wanted.remove(path))
            gone << path;
    }
    if (!gone.isEmpty())
        m_watcher.removePaths(gone);
    if (!wanted.isEmpty())
        m_watcher.addPaths(wanted.values());
}
