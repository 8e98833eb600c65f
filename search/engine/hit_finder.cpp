#include "hit_finder.h"

#include "comment_stripping.h"

#include <type_traits>
#include <unicode/unistr.h>

struct HitFinder::Buffers {
    std::u16string header;   // a header beyond ASCII in UTF-8, decoded
    std::u16string decoded;  // the bytes compared, decoded
    std::u16string compared; // as compared
    SourceMap comparedOrigins; // the compared text, from the searched one
    std::string strippedBytes;
    std::u16string strippedText;
    SourceMap strippedOrigins; // the text without comments, from the text
};

HitFinder::HitFinder(std::u16string_view searchString, bool ignoreComments, bool caseSensitive,
                     const icu::Locale &locale)
    : m_matcher(searchString, caseSensitive, locale)
    , m_ignoreComments(ignoreComments)
    , m_buffers(std::make_unique<Buffers>())
{
}

HitFinder::~HitFinder() = default;

// Into the compared buffer; bytes are of one character each, Mac OS Roman
// or ASCII, and keep every offset as they are decoded.
template <typename Char>
void HitFinder::compare(std::basic_string_view<Char> text, SourceMap *origins) const
{
    if (origins)
        origins->clear();
    if constexpr (std::is_same_v<Char, char>) {
        decodeHeader(text, Decoding::MacRoman, m_buffers->decoded);
        m_matcher.comparedForm(m_buffers->decoded, origins, m_buffers->compared);
    } else {
        m_matcher.comparedForm(text, origins, m_buffers->compared);
    }
}

template <typename Char>
void HitFinder::forEachOccurrence(std::basic_string_view<Char> text,
                                  const std::function<bool(std::size_t, std::size_t)> &found) const
{
    Buffers &buffers = *m_buffers;
    SourceMap *origins = &buffers.comparedOrigins;
    if (!m_ignoreComments) {
        compare(text, origins);
        m_matcher.occurrences(buffers.compared, found);
        return;
    }
    // Comments go only from a text that matches as it stands.
    compare(text, nullptr);
    if (!m_matcher.occursIn(buffers.compared))
        return;
    std::basic_string<Char> *stripped = nullptr;
    if constexpr (std::is_same_v<Char, char>)
        stripped = &buffers.strippedBytes;
    else
        stripped = &buffers.strippedText;
    MappedText<Char> mapped(text, *stripped, buffers.strippedOrigins);
    comments::removeComments<Char>(text, mapped);
    compare(std::basic_string_view<Char>(*stripped), origins);
    m_matcher.occurrences(buffers.compared, found);
}

template <typename Char>
std::vector<Hit> HitFinder::collectHits(std::basic_string_view<Char> text) const
{
    std::vector<Hit> hits;
    std::vector<TextRange> searched;
    forEachOccurrence(text, [&](std::size_t begin, std::size_t end) {
        Hit hit;
        if (!m_ignoreComments) {
            m_buffers->comparedOrigins.appendSourceOf(begin, end, hit.pieces);
        } else {
            searched.clear();
            m_buffers->comparedOrigins.appendSourceOf(begin, end, searched);
            for (const TextRange &range : searched)
                m_buffers->strippedOrigins.appendSourceOf(range.begin, range.end, hit.pieces);
        }
        // Two occurrences inside one character (both "s" of a folded ß)
        // are one hit.
        if (hits.empty() || hit.pieces.front().begin >= hits.back().pieces.back().end)
            hits.push_back(std::move(hit));
        return true;
    });
    return hits;
}

std::vector<Hit> HitFinder::findHits(std::u16string_view text) const
{
    return collectHits(text);
}

std::vector<Hit> HitFinder::findHits(std::string_view headerBytes) const
{
    return findHits(headerBytes, headerDecoding(headerBytes));
}

std::vector<Hit> HitFinder::findHits(std::string_view headerBytes, Decoding decoding) const
{
    if (decoding == Decoding::MacRoman || isAscii(headerBytes))
        return collectHits(headerBytes);
    decodeHeader(headerBytes, decoding, m_buffers->header);
    return collectHits(std::u16string_view(m_buffers->header));
}

bool HitFinder::containedIn(std::string_view bytes, Decoding decoding) const
{
    decodeHeader(bytes, decoding, m_buffers->decoded);
    m_matcher.comparedForm(m_buffers->decoded, nullptr, m_buffers->compared);
    return m_matcher.occursIn(m_buffers->compared);
}

std::vector<Hit> findHits(std::string_view headerBytes, std::string_view searchStringUtf8,
                          bool ignoreComments, bool caseSensitive, const icu::Locale &locale)
{
    const icu::UnicodeString search = icu::UnicodeString::fromUTF8(
        icu::StringPiece(searchStringUtf8.data(), static_cast<int32_t>(searchStringUtf8.size())));
    const HitFinder finder(std::u16string_view(search.getBuffer(), static_cast<std::size_t>(search.length())),
                           ignoreComments, caseSensitive, locale);
    return finder.findHits(headerBytes);
}
