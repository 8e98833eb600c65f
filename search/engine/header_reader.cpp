#include "header_reader.h"

#include "match_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

HeaderReader::HeaderReader(HeaderMatcher &matcher, std::size_t bufferSize)
    : m_matcher(matcher)
    , m_bufferSize(bufferSize)
{
}

// Non-blocking, so that a link to a pipe cannot stall the search.
HeaderReader::Verdict HeaderReader::decide(int folder, const char *name, SearchSink &sink)
{
    const int file = openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (file < 0)
        return Verdict::Unreadable;
    Verdict verdict;
    try {
        verdict = read(file, sink);
    } catch (...) {
        verdict = Verdict::Unreadable;
    }
    close(file);
    return verdict;
}

// A regular file answers a read short only at its end, so a header that
// fits the buffer takes one read.
HeaderReader::Verdict HeaderReader::read(int file, SearchSink &sink)
{
    if (m_buffer.size() != m_bufferSize)
        m_buffer.resize(m_bufferSize);
    ++m_headersRead;
    const long size = readSome(file);
    if (size < 0)
        return Verdict::Unreadable;
    if (static_cast<std::size_t>(size) < m_buffer.size())
        return m_matcher.matches(std::string_view(m_buffer.data(), static_cast<std::size_t>(size)))
                   ? Verdict::Match
                   : Verdict::NoMatch;
    // A device that never ends is cut off at its first buffer.
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode))
        return Verdict::Unreadable;
    return readInPieces(file, sink);
}

HeaderReader::Verdict HeaderReader::readInPieces(int file, SearchSink &sink)
{
    MatchStream stream(m_matcher, m_bufferSize);
    stream.feed(m_buffer);
    while (!stream.decided()) {
        if (sink.isCancelled())
            return Verdict::Cancelled;
        const long size = readSome(file);
        if (size < 0)
            return Verdict::Unreadable;
        if (size == 0)
            break;
        stream.feed(std::string_view(m_buffer.data(), static_cast<std::size_t>(size)));
    }
    return stream.finish() ? Verdict::Match : Verdict::NoMatch;
}

long HeaderReader::readSome(int file)
{
    for (;;) {
        const ssize_t size = ::read(file, m_buffer.data(), m_buffer.size());
        if (size < 0 && errno == EINTR)
            continue;
        if (size > 0)
            m_bytesRead += static_cast<std::uint64_t>(size);
        return size;
    }
}
