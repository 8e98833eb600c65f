#include "header_reader.h"

#include "match_stream.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

HeaderReader::HeaderReader(HeaderMatcher &matcher, std::size_t bufferSize)
    : m_matcher(matcher)
    , m_bufferSize(bufferSize)
{
}

int HeaderReader::open(int folder, const char *name)
{
    return openat(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

HeaderReader::Verdict HeaderReader::decide(int file, const StopQuestion &stopRequested,
                                           std::chrono::steady_clock::time_point *firstReadEnded)
{
    try {
        return read(file, stopRequested, firstReadEnded);
    } catch (...) {
        return Verdict::Unreadable;
    }
}

HeaderReader::Verdict HeaderReader::decideContents(std::string_view bytes)
{
    ++m_headersRead;
    m_bytesRead += bytes.size();
    try {
        return m_matcher.matches(bytes) ? Verdict::Match : Verdict::NoMatch;
    } catch (...) {
        return Verdict::Unreadable;
    }
}

// A regular file answers a read short only at its end, so a header that
// fits the buffer takes one read.
HeaderReader::Verdict HeaderReader::read(int file, const StopQuestion &stopRequested,
                                         std::chrono::steady_clock::time_point *firstReadEnded)
{
    if (!m_buffer)
        m_buffer = makePageAlignedBuffer(m_bufferSize);
    ++m_headersRead;
    const long size = readSome(file);
    if (firstReadEnded)
        *firstReadEnded = std::chrono::steady_clock::now();
    if (size < 0)
        return Verdict::Unreadable;
    if (static_cast<std::size_t>(size) < m_bufferSize)
        return m_matcher.matches(std::string_view(m_buffer.get(), static_cast<std::size_t>(size)))
                   ? Verdict::Match
                   : Verdict::NoMatch;
    // A device that never ends is cut off at its first buffer.
    struct stat status;
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode))
        return Verdict::Unreadable;
    return readInPieces(file, stopRequested);
}

// The stream is fed only bytes that read alike in both decodings, ASCII,
// or that are no UTF-8: a match it finds there is one whatever follows.
HeaderReader::Verdict HeaderReader::readInPieces(int file, const StopQuestion &stopRequested)
{
    Utf8Check check;
    MatchStream stream(m_matcher, Decoding::MacRoman, m_bufferSize);
    bool streamSawAll = true;
    std::string_view piece(m_buffer.get(), m_bufferSize);
    for (;;) {
        check.feed(piece);
        if (streamSawAll && check.beyondAscii() && !check.invalid())
            streamSawAll = false; // UTF-8 so far: the stream's work would likely be lost
        if (streamSawAll) {
            stream.feed(piece);
            if (stream.decided())
                return Verdict::Match;
        } else if (check.invalid()) {
            break; // Mac OS Roman after all
        }
        if (stopRequested())
            return Verdict::Cancelled;
        const long size = readSome(file);
        if (size < 0)
            return Verdict::Unreadable;
        if (size == 0) {
            check.finish();
            break;
        }
        piece = std::string_view(m_buffer.get(), static_cast<std::size_t>(size));
    }
    if (streamSawAll)
        return stream.finish() ? Verdict::Match : Verdict::NoMatch;
    return readAgain(file, check.invalid() ? Decoding::MacRoman : Decoding::Utf8, stopRequested);
}

HeaderReader::Verdict HeaderReader::readAgain(int file, Decoding decoding, const StopQuestion &stopRequested)
{
    if (lseek(file, 0, SEEK_SET) != 0)
        return Verdict::Unreadable;
    MatchStream stream(m_matcher, decoding, m_bufferSize);
    while (!stream.decided()) {
        if (stopRequested())
            return Verdict::Cancelled;
        const long size = readSome(file);
        if (size < 0)
            return Verdict::Unreadable;
        if (size == 0)
            break;
        stream.feed(std::string_view(m_buffer.get(), static_cast<std::size_t>(size)));
    }
    return stream.finish() ? Verdict::Match : Verdict::NoMatch;
}

long HeaderReader::readSome(int file)
{
    for (;;) {
        const ssize_t size = ::read(file, m_buffer.get(), m_bufferSize);
        if (size < 0 && errno == EINTR)
            continue;
        if (size > 0)
            m_bytesRead += static_cast<std::uint64_t>(size);
        return size;
    }
}
