#include "interrupted_change.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

bool isChangeInterrupted(const QString &sdkDirectory, const QString &sdk)
{
    const QByteArray path = QFile::encodeName(sdkDirectory + QStringLiteral("/.") + sdk + QStringLiteral(".tarnwick-journal"));
    const int fd = open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno != ENOENT; // there, but not for us to look at: not as it was either
    // A run that lives holds it; the lock is dropped at once.
    const bool live = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return !live;
}
