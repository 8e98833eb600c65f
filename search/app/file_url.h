#pragma once

#include <QByteArray>
#include <QUrl>

// A file URL that keeps every byte of a path, also where it is not UTF-8: a
// URL made from the readable form would name another file.
QUrl fileUrl(const QByteArray &path);
