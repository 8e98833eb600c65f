#include "stripped_search.h"

#include <algorithm>

namespace {

bool isAsciiByte(char c)
{
    return static_cast<unsigned char>(c) < 0x80;
}

} // namespace

void StrippedSearch::begin(std::string_view header, const ByteNeedle &needle, std::size_t firstHit,
                           LazyDecoding &decoding, std::string *text)
{
    m_header = header;
    if (m_needle != &needle) {
        const std::string &bytes = needle.needle();
        const char loosen = needle.caseSensitive() ? 0 : 0x20;
        m_continues.fill(false);
        for (int c = 0; c < 256; ++c) {
            for (std::size_t at = 1; at < bytes.size(); ++at)
                m_continues[static_cast<std::size_t>(c)] |= (static_cast<char>(c) | loosen) == (bytes[at] | loosen);
        }
    }
    m_needle = &needle;
    m_decoding = &decoding;
    m_text = text;
    m_first = firstHit;
}

void StrippedSearch::clear()
{
    if (m_text)
        m_text->clear();
    m_hit = m_first;
    m_recent.clear();
    m_recentSize = 0;
    m_found = m_pending = m_unsure = false;
}

void StrippedSearch::append(std::string_view piece)
{
    if (m_text)
        m_text->append(piece);
    if (piece.empty() || m_found)
        return;
    if (m_pending) {
        m_pending = false;
        m_found = beside(piece.front());
        m_unsure = m_unsure || !m_found;
        if (m_found)
            return;
    }
    if (!m_recent.empty() && m_continues[static_cast<unsigned char>(piece.front())])
        lookAtJoin(piece);
    const auto begin = static_cast<std::size_t>(piece.data() - m_header.data());
    lookAtHits(begin, begin + piece.size());
    keep(piece);
}

StrippedSearch::Answer StrippedSearch::answer() const
{
    // A hit still pending ends the text: nothing follows to undo it.
    if (m_found || m_pending)
        return Answer::Match;
    return m_unsure ? Answer::Unsure : Answer::NoMatch;
}

void StrippedSearch::hitFrom(std::size_t from)
{
    const ByteNeedle::Result found = m_needle->find(m_header.substr(from), false);
    m_hit = found.found ? from + found.at : m_header.npos;
}

// A hit across the join starts in the bytes before it that are kept, so it
// is the first hit of those and the start of the piece, if that starts
// before the join.
void StrippedSearch::lookAtJoin(std::string_view piece)
{
    const std::size_t length = m_needle->needle().size();
    if (length < 2)
        return;
    m_join.clear();
    for (const std::string_view kept : m_recent)
        m_join.append(kept);
    const std::size_t before = std::min(m_join.size(), length - 1);
    m_join.erase(0, m_join.size() - before);
    m_join.append(piece.substr(0, length - 1));
    const ByteNeedle::Result found = m_needle->find(m_join, false);
    m_unsure = m_unsure || (found.found && found.at < before);
}

// The hits that lie wholly in the piece, header[begin, end); those before
// it were in comments, and one that runs past its end is not in the
// stripped text but as the join makes it.
void StrippedSearch::lookAtHits(std::size_t begin, std::size_t end)
{
    const std::size_t length = m_needle->needle().size();
    while (m_hit != m_header.npos && m_hit + length <= end) {
        if (m_hit < begin) {
            hitFrom(begin);
            continue;
        }
        const char before = m_hit > begin ? m_header[m_hit - 1] : lastByte();
        const bool endsPiece = m_hit + length == end;
        if (beside(before) && (endsPiece || beside(m_header[m_hit + length]))) {
            m_found = !endsPiece;
            m_pending = endsPiece;
            if (m_found)
                return;
        } else {
            m_unsure = true;
        }
        hitFrom(m_hit + 1);
    }
}

void StrippedSearch::keep(std::string_view piece)
{
    const std::size_t needed = std::max<std::size_t>(m_needle->needle().size() - 1, 1);
    if (piece.size() >= needed) {
        m_recent.clear();
        m_recentSize = 0;
    }
    m_recent.push_back(piece);
    m_recentSize += piece.size();
    while (m_recentSize - m_recent.front().size() >= needed) {
        m_recentSize -= m_recent.front().size();
        m_recent.erase(m_recent.begin());
    }
}

// The stripped text's last byte, or a space before its start.
char StrippedSearch::lastByte() const
{
    return m_recent.empty() ? ' ' : m_recent.back().back();
}

bool StrippedSearch::beside(char c)
{
    return isAsciiByte(c) || m_decoding->get() == Decoding::MacRoman;
}
