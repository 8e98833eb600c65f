#pragma once

#include "header_matcher.h"
#include "search_types.h"

#include <cstdint>
#include <string>

// Reads one header at a time and decides it, holding one buffer whatever a
// header's size: a header that fits is read at once and decided whole, a
// larger one is decided as a stream (MatchStream), piece by piece, and the
// sink is asked between pieces whether to stop.
class HeaderReader
{
public:
    enum class Verdict { Match, NoMatch, Unreadable, Cancelled };

    explicit HeaderReader(HeaderMatcher &matcher, std::size_t bufferSize = std::size_t(1) << 20);

    // The header name in folder, through a link if it is one. Nothing it
    // meets leaves it as an exception: what it cannot handle is unreadable,
    // which never matches.
    Verdict decide(int folder, const char *name, SearchSink &sink);

    std::uint64_t headersRead() const { return m_headersRead; }
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    Verdict read(int file, SearchSink &sink);
    Verdict readInPieces(int file, SearchSink &sink);
    long readSome(int file);

    HeaderMatcher &m_matcher;
    std::size_t m_bufferSize;
    std::string m_buffer;
    std::uint64_t m_headersRead = 0;
    std::uint64_t m_bytesRead = 0;
};
