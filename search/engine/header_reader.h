#pragma once

#include "header_matcher.h"
#include "page_aligned_buffer.h"
#include "search_types.h"

#include <chrono>
#include <cstdint>
#include <functional>

// Reads one header at a time and decides it, holding one buffer whatever a
// header's size: a header that fits is read at once and decided whole, a
// larger one is decided as a stream (MatchStream), piece by piece, and
// whether to stop is asked between pieces.
//
// A stream needs the header's decoding, which only the header's end tells.
// So a large header is checked as UTF-8 on the way, and decided as Mac OS
// Roman while its bytes are ASCII, which reads alike in both, or have shown
// to be no UTF-8. When UTF-8 beyond ASCII turns up, the stream gives up, and
// the header is read once more, decoded as it turns out to be.
class HeaderReader
{
public:
    enum class Verdict { Match, NoMatch, Unreadable, Cancelled };
    // Asked between the pieces of a large header: true stops it.
    using StopQuestion = std::function<bool()>;

    explicit HeaderReader(HeaderMatcher &matcher, std::size_t bufferSize = std::size_t(1) << 20);

    // A header opened by open(), which stays open. Nothing it meets leaves
    // it as an exception: what it cannot handle is unreadable, which never
    // matches. firstReadEnded, when given, is set to the moment the first
    // read returned: from a cold cache, it waited on the disk.
    Verdict decide(int file, const StopQuestion &stopRequested,
                   std::chrono::steady_clock::time_point *firstReadEnded = nullptr);

    // A descriptor of the header name in folder, or -1 with errno set.
    // Non-blocking, so that a link to a pipe cannot stall the search.
    static int open(int folder, const char *name);

    // A header read whole elsewhere; as decide() does, what it cannot
    // handle is unreadable.
    Verdict decideContents(std::string_view bytes);

    std::uint64_t headersRead() const { return m_headersRead; }
    std::uint64_t bytesRead() const { return m_bytesRead; }

private:
    Verdict read(int file, const StopQuestion &stopRequested, std::chrono::steady_clock::time_point *firstReadEnded);
    Verdict readInPieces(int file, const StopQuestion &stopRequested);
    Verdict readAgain(int file, Decoding decoding, const StopQuestion &stopRequested);
    long readSome(int file);

    HeaderMatcher &m_matcher;
    std::size_t m_bufferSize;
    PageAlignedBuffer m_buffer; // made at the first header
    std::uint64_t m_headersRead = 0;
    std::uint64_t m_bytesRead = 0;
};
