#include "match_stream.h"

#include "comment_stripping.h"

#include <cstring>

namespace {

std::size_t nextSlash(std::string_view text, std::size_t from)
{
    const void *at = std::memchr(text.data() + from, '/', text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char *>(at) - text.data()) : text.size();
}

} // namespace

WindowedSearch::WindowedSearch(HeaderMatcher &matcher, std::size_t window)
    : m_matcher(&matcher)
    , m_window(window)
    , m_overlap(matcher.span() - 1)
{
}

void WindowedSearch::append(std::string_view bytes)
{
    if (m_found)
        return;
    m_text.append(bytes);
    if (m_text.size() - m_fresh >= m_window)
        test(false);
}

void WindowedSearch::test(bool atEnd)
{
    if (m_found)
        return;
    std::size_t end = m_text.size();
    if (!atEnd && end > 0 && m_text[end - 1] == '\r')
        --end; // LF may follow, and the two are one character
    if (end <= m_fresh)
        return;
    // Every match ending in the fresh part starts within m_overlap bytes
    // before it; a start between CR and LF would be taken for a boundary.
    std::size_t begin = m_fresh > m_overlap ? m_fresh - m_overlap : 0;
    if (begin > 0 && m_text[begin] == '\n' && m_text[begin - 1] == '\r')
        --begin;
    m_found = m_matcher->containedIn(std::string_view(m_text).substr(begin, end - begin));
    m_fresh = end;
    // Keep the overlap and the byte before it, which the CR LF check reads.
    const std::size_t keep = m_overlap + 1;
    if (m_fresh > keep) {
        const std::size_t drop = m_fresh - keep;
        m_text.erase(0, drop);
        m_fresh -= drop;
    }
}

MatchStream::MatchStream(HeaderMatcher &matcher, std::size_t window)
    : m_matcher(matcher)
    , m_raw(matcher, window)
    , m_stripped(matcher, window)
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
            while (i < bytes.size() && !comments::isLineBreak(bytes[i]))
                ++i;
            if (i == bytes.size())
                return;
            m_inLineComment = false; // the break itself stays
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
