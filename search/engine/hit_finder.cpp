#include "hit_finder.h"

#include "comment_stripping.h"
#include "mac_roman.h"

#include <unicode/unistr.h>

struct HitFinder::Origins {
    SourceMap compared;   // the compared text, from the searched one
    SourceMap stripped;   // the text without comments, from the text
};

HitFinder::HitFinder(std::u16string_view searchString, bool ignoreComments, bool caseSensitive,
                     const icu::Locale &locale)
    : m_matcher(searchString, caseSensitive, locale)
    , m_ignoreComments(ignoreComments)
{
}

namespace {

// A text as the matcher compares it: header bytes go through the search's
// decoding first, which keeps every offset.
std::u16string compared(const UnicodeMatcher &matcher, std::u16string_view text, SourceMap *origins)
{
    return matcher.comparedForm(text, origins);
}

std::u16string compared(const UnicodeMatcher &matcher, std::string_view bytes, SourceMap *origins)
{
    return matcher.comparedForm(decodeMacRoman(bytes), origins);
}

} // namespace

template <typename Char>
void HitFinder::forEachOccurrence(std::basic_string_view<Char> text, Origins *origins, MatchCounters *counters,
                                  const std::function<bool(std::size_t, std::size_t)> &found) const
{
    if (!m_ignoreComments) {
        m_matcher.occurrences(compared(m_matcher, text, origins ? &origins->compared : nullptr), found);
        return;
    }
    // Comments go only from a text that matches as it stands.
    if (!m_matcher.occursIn(compared(m_matcher, text, nullptr)))
        return;
    if (counters)
        ++counters->headersStripped;
    if (!origins) {
        std::basic_string<Char> stripped;
        stripped.reserve(text.size());
        comments::removeComments<Char>(text, stripped);
        m_matcher.occurrences(compared(m_matcher, std::basic_string_view<Char>(stripped), nullptr), found);
        return;
    }
    MappedText<Char> stripped(text);
    comments::removeComments<Char>(text, stripped);
    origins->stripped = std::move(stripped.map);
    m_matcher.occurrences(compared(m_matcher, std::basic_string_view<Char>(stripped.text), &origins->compared), found);
}

template <typename Char>
std::vector<Hit> HitFinder::collectHits(std::basic_string_view<Char> text) const
{
    std::vector<Hit> hits;
    Origins origins;
    std::vector<TextRange> searched;
    forEachOccurrence(text, &origins, nullptr, [&](std::size_t begin, std::size_t end) {
        Hit hit;
        if (!m_ignoreComments) {
            origins.compared.appendSourceOf(begin, end, hit.pieces);
        } else {
            searched.clear();
            origins.compared.appendSourceOf(begin, end, searched);
            for (const TextRange &range : searched)
                origins.stripped.appendSourceOf(range.begin, range.end, hit.pieces);
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
    return collectHits(headerBytes);
}

bool HitFinder::hasHit(std::u16string_view text, MatchCounters *counters) const
{
    bool found = false;
    forEachOccurrence(text, nullptr, counters, [&](std::size_t, std::size_t) { return !(found = true); });
    return found;
}

bool HitFinder::hasHit(std::string_view headerBytes, MatchCounters *counters) const
{
    bool found = false;
    forEachOccurrence(headerBytes, nullptr, counters, [&](std::size_t, std::size_t) { return !(found = true); });
    return found;
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
