#pragma once

#include <QByteArray>
#include <QUrl>

struct ResultRow;

// The file a result row names, as the file system spells it. Everything that
// reaches the file itself (the preview, the file manager, the application
// chooser, a drag) takes the path from here.
QByteArray rowFilePath(const ResultRow &row);
// The same path as text, for people: shown, and copied as text.
QString rowDisplayPath(const ResultRow &row);

// A file URL that keeps every byte of a path, also where it is not UTF-8.
QUrl fileUrl(const QByteArray &path);
