#include "line_output.h"

#include "unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

LineOutput::LineOutput(int fd, DroppedLine droppedLine) : m_fd(fd), m_droppedLine(droppedLine)
{
    struct stat status;
    if (fstat(fd, &status) != 0 || S_ISREG(status.st_mode))
        return; // a file takes every line at once
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        UniqueFd own(open(self.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (own && dup2(own.get(), fd) == fd)
            return;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

// Writes what fits of text now: true if it was taken, whole or begun (the
// rest then pending), false if there was no room for any of it.
bool LineOutput::offer(std::string_view text)
{
    flushPending();
    if (!m_pending.empty())
        return false;
    std::size_t written = 0;
    while (!m_closed && written < text.size()) {
        const ssize_t n = write(m_fd, text.data() + written, text.size() - written);
        if (n > 0)
            written += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EAGAIN)
            break;
        else if (n == 0 || errno != EINTR)
            m_closed = true; // EPIPE: nobody reads any more, which is no fault of the work
    }
    if (written == 0 && !m_closed)
        return false;
    if (!m_closed)
        m_pending.assign(text.substr(written));
    return true;
}

void LineOutput::flushPending()
{
    while (!m_closed && !m_pending.empty()) {
        const ssize_t n = write(m_fd, m_pending.data(), m_pending.size());
        if (n > 0)
            m_pending.erase(0, static_cast<std::size_t>(n));
        else if (n < 0 && errno == EAGAIN)
            return;
        else if (n == 0 || errno != EINTR)
            m_closed = true;
    }
}

void LineOutput::send(std::string_view line)
{
    if (m_closed)
        return;
    if (m_dropped > 0 && offer(m_droppedLine(m_dropped)))
        m_dropped = 0;
    if (m_dropped > 0 || !offer(line))
        ++m_dropped;
}

void LineOutput::sendWaiting(std::string_view line)
{
    bool taken = false;
    while (!m_closed) {
        if (!taken)
            taken = offer(line);
        else
            flushPending();
        if (taken && m_pending.empty())
            return;
        pollfd room{m_fd, POLLOUT, 0};
        poll(&room, 1, -1);
    }
}

void LineOutput::finish()
{
    flushPending();
    if (!m_closed && m_dropped > 0 && offer(m_droppedLine(m_dropped)))
        m_dropped = 0;
}
