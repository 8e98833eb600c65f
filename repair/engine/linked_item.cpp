#include "linked_item.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The target as the link stores it; empty when path is no link.
QString storedTarget(const QString &path)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat status;
    if (lstat(encoded.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return QString();
    QByteArray target(static_cast<qsizetype>(status.st_size) + 1, '\0');
    const ssize_t length = readlink(encoded.constData(), target.data(), static_cast<size_t>(target.size()));
    if (length <= 0 || length >= target.size())
        return QString();
    return QFile::decodeName(target.left(length));
}

} // namespace

QString linkedItemPath(const QString &path, const QString &spellingRoot)
{
    const QString clean = QDir::cleanPath(path);
    const QString target = storedTarget(clean);
    if (target.isEmpty())
        return clean;

    const QString resolved = QFileInfo(clean).canonicalFilePath();
    if (resolved.isEmpty())
        return QDir::cleanPath(QDir(QFileInfo(clean).path()).absoluteFilePath(target));
    if (!spellingRoot.isEmpty()) {
        const QString root = QFileInfo(spellingRoot).canonicalFilePath();
        if (!root.isEmpty() && resolved.startsWith(root + u'/'))
            return QDir::cleanPath(spellingRoot) + resolved.mid(root.size());
    }
    return resolved;
}
