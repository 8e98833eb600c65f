#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

// Shows files selected in the desktop's file manager, through its standard
// D-Bus interface org.freedesktop.FileManager1 on the session bus. Where no
// file manager answers, openFolder is asked to open the first file's folder.
// Neither waits: the answer comes through the event loop.
void showInFileManager(const QList<QByteArray> &paths, std::function<void(const QUrl &)> openFolder,
                       const QString &service = QStringLiteral("org.freedesktop.FileManager1"));
