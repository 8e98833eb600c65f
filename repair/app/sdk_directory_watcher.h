#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

// Tells when the SDK directory's entries, or the folders that say whether
// an SDK is fixed, may have changed, whoever changed them. Bursts (a copy
// writes thousands of entries) come out as one change at most every 200 ms.
class SdkDirectoryWatcher : public QObject
{
    Q_OBJECT

public:
    explicit SdkDirectoryWatcher(QString sdkDirectory, QObject *parent = nullptr);

    // From now on the SDK directory (or, while it is missing, the folder
    // that will hold it) and those folders, as far as they exist.
    void watch(const QStringList &folders);

signals:
    void changed();

private:
    QString m_sdkDirectory;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
