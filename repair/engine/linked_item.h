#pragma once

#include <QString>

// The clean absolute path of what the item at path stands for: path itself
// (cleaned) when it is no symbolic link, else the item at the end of its
// chain of links, so that a copy gets the folder, not the link. Whatever
// lies below spellingRoot keeps that root's own spelling, so an SDK reached
// through a link beside it stays inside the SDK directory even when the
// directory itself is reached through a link. A link that leads nowhere
// gives its target, made absolute against the link's folder and cleaned: the
// copy then fails on it and says why.
QString linkedItemPath(const QString &path, const QString &spellingRoot = QString());
