#include "match_stream.h"

#include "comment_stripping.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t nextSlash(std::string_view text, std::size_t from)
{
    const void *at = std::memchr(text.data() + from, '/', text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char *>(at) - text.data()) : text.size();
}

} // namespace

WindowedSearch::WindowedSearch(HeaderMatcher &matcher, std::size_t window, Decoding decoding)
    : m_matcher(&matcher)
    , m_window(window)
    , m_decoding(decoding)
    , m_overlap(matcher.span(decoding) - 1)
{
}

void WindowedSearch::append(std::string_view bytes)
{
    if (m_found)
        return;
    m_text.append(bytes);
    if (m_text.size() - std::max(m_fresh, m_cutless) >= m_window)
        test(false);
}

// Looked for from the end back to what was looked through before, so that
// text that may not be cut is looked through once.
std::size_t WindowedSearch::lastCut()
{
    const std::size_t low = std::max(m_fresh, m_cutless);
    for (std::size_t at = m_text.size(); at-- > low + 1;) {
        if (HeaderMatcher::cutsAt(m_text, at, m_decoding))
            return at;
    }
    m_cutless = std::max(low, m_text.size() > 0 ? m_text.size() - 1 : 0);
    return m_fresh;
}

// m_text starts where it may be cut.
std::size_t WindowedSearch::cutAtOrBefore(std::size_t at) const
{
    while (at > 0 && !HeaderMatcher::cutsAt(m_text, at, m_decoding))
        --at;
    return at;
}

void WindowedSearch::test(bool atEnd)
{
    if (m_found)
        return;
    const std::size_t end = atEnd ? m_text.size() : lastCut();
    if (end <= m_fresh)
        return;
    // Every match ending in the fresh part starts within m_overlap bytes
    // before it.
    const auto overlapStart = [&] { return cutAtOrBefore(m_fresh > m_overlap ? m_fresh - m_overlap : 0); };
    const std::size_t begin = overlapStart();
    m_found = m_matcher->containedIn(std::string_view(m_text).substr(begin, end - begin), m_decoding);
    m_fresh = end;
    const std::size_t drop = overlapStart();
    m_text.erase(0, drop);
    m_fresh -= drop;
    m_cutless = m_cutless > drop ? m_cutless - drop : 0;
}

MatchStream::MatchStream(HeaderMatcher &matcher, Decoding decoding, std::size_t window)
    : m_matcher(matcher)
    , m_decoding(decoding)
    , m_raw(matcher, window, decoding)
    , m_stripped(matcher, window, decoding)
{
}

void MatchStream::feed(std::string_view bytes)
{
    m_raw.append(bytes);
    if (m_matcher.ignoresComments() && !m_stripped.found())
        strip(bytes);
}

bool MatchStream::decided() const
{
    return m_raw.found() && (!m_matcher.ignoresComments() || m_stripped.found());
}

bool MatchStream::finish()
{
    m_raw.finish();
    if (!m_raw.found())
        return false;
    if (!m_matcher.ignoresComments() || m_stripped.found())
        return true;
    if (m_slashPending) {
        m_slashPending = false;
        lineStripped("/");
    }
    if (m_inBlock && m_unclosed) {
        m_unclosed->finish();
        return m_unclosed->found();
    }
    if (m_blockSlashPending)
        m_stripped.append("/");
    m_stripped.finish();
    return m_stripped.found();
}

// The line comments go here; what is left goes on to lineStripped.
void MatchStream::strip(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size() && !m_stripped.found()) {
        if (m_inLineComment) {
            i = skipLineComment(bytes, i);
            continue;
        }
        if (m_slashPending) {
            m_slashPending = false;
            if (bytes[i] == '/') {
                m_inLineComment = true;
                ++i;
            } else {
                lineStripped("/");
            }
            continue;
        }
        const std::size_t slash = nextSlash(bytes, i);
        if (slash > i)
            lineStripped(bytes.substr(i, slash - i));
        if (slash < bytes.size())
            m_slashPending = true;
        i = slash + 1;
    }
}

// From at in a line comment to its break, which stays; in UTF-8 the break
// may have begun in the last piece.
std::size_t MatchStream::skipLineComment(std::string_view bytes, std::size_t at)
{
    if (m_decoding == Decoding::MacRoman) {
        while (at < bytes.size() && !comments::isLineBreak(bytes[at]))
            ++at;
        m_inLineComment = at == bytes.size();
        return at;
    }
    for (; at < bytes.size(); ++at) {
        const char c = bytes[at];
        if (comments::isLineBreak(c)) {
            m_breakBegun.clear();
            m_inLineComment = false;
            return at;
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            m_breakBegun.clear();
            continue;
        }
        m_breakBegun += c;
        const std::size_t length = comments::utf8BreakAt(m_breakBegun, 0);
        if (length == m_breakBegun.size()) {
            m_inLineComment = false;
            lineStripped(m_breakBegun);
            m_breakBegun.clear();
            return at + 1;
        }
        // Still the start of one of them, or the start of another?
        if (m_breakBegun != "\xC2" && m_breakBegun != "\xE2" && m_breakBegun != "\xE2\x80")
            m_breakBegun = c == '\xC2' || c == '\xE2' ? std::string(1, c) : std::string();
    }
    return at;
}

// Text without line comments, which holds no "//": the block comments go
// here, and the rest reaches the searches.
void MatchStream::lineStripped(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        if (m_inBlock) {
            const std::size_t slash = nextSlash(text, i);
            const bool closes = slash < text.size() && (slash > i ? text[slash - 1] == '*' : m_starBefore);
            const std::size_t end = slash < text.size() ? slash + 1 : text.size();
            if (m_unclosed)
                m_unclosed->append(text.substr(i, end - i));
            if (closes) {
                m_inBlock = false;
                m_unclosed.reset();
            } else {
                m_starBefore = slash == text.size() && text.back() == '*';
            }
            i = end;
            continue;
        }
        if (m_blockSlashPending) {
            m_blockSlashPending = false;
            if (text[i] == '*') {
                openBlock();
                ++i;
            } else {
                m_stripped.append("/");
            }
            continue;
        }
        const std::size_t slash = nextSlash(text, i);
        if (slash > i)
            m_stripped.append(text.substr(i, slash - i));
        if (slash < text.size())
            m_blockSlashPending = true;
        i = slash + 1;
    }
}

void MatchStream::openBlock()
{
    m_inBlock = true;
    m_starBefore = false; // the opener's own star closes nothing
    // What came before the opener is tested now; the reading in which the
    // comment never closes goes on from the same place.
    m_stripped.flush();
    if (m_stripped.found())
        return;
    m_unclosed.emplace(m_stripped);
    m_unclosed->append("/*");
}
