#include "source_map.h"

#include <algorithm>

void SourceMap::addCopied(std::size_t sourceBegin, std::size_t length)
{
    if (length == 0)
        return;
    if (!m_pieces.empty()) {
        Piece &last = m_pieces.back();
        if (!last.whole && last.source + last.sourceLength == sourceBegin) {
            last.sourceLength += static_cast<std::uint32_t>(length);
            m_size += length;
            return;
        }
    }
    m_pieces.push_back({static_cast<std::uint32_t>(m_size), static_cast<std::uint32_t>(sourceBegin),
                        static_cast<std::uint32_t>(length), false});
    m_size += length;
}

void SourceMap::addWhole(std::size_t madeLength, std::size_t sourceBegin, std::size_t sourceEnd)
{
    if (madeLength == 1 && sourceEnd == sourceBegin + 1)
        return addCopied(sourceBegin, 1);
    m_pieces.push_back({static_cast<std::uint32_t>(m_size), static_cast<std::uint32_t>(sourceBegin),
                        static_cast<std::uint32_t>(sourceEnd - sourceBegin), true});
    m_size += madeLength;
}

std::size_t SourceMap::madeEnd(std::size_t piece) const
{
    return piece + 1 < m_pieces.size() ? m_pieces[piece + 1].made : m_size;
}

void SourceMap::appendSourceOf(std::size_t begin, std::size_t end, std::vector<TextRange> &ranges) const
{
    if (begin >= end)
        return;
    auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), begin,
                               [](std::size_t at, const Piece &piece) { return at < piece.made; });
    for (std::size_t k = it == m_pieces.begin() ? 0 : static_cast<std::size_t>(it - m_pieces.begin()) - 1;
         k < m_pieces.size() && m_pieces[k].made < end; ++k) {
        const Piece &piece = m_pieces[k];
        TextRange range{piece.source, std::size_t(piece.source) + piece.sourceLength};
        if (!piece.whole) {
            range.begin = piece.source + (std::max<std::size_t>(begin, piece.made) - piece.made);
            range.end = piece.source + (std::min(end, madeEnd(k)) - piece.made);
        }
        if (!ranges.empty() && range.begin <= ranges.back().end)
            ranges.back().end = std::max(ranges.back().end, range.end);
        else
            ranges.push_back(range);
    }
}
