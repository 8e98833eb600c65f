#include "header_matcher.h"

#include "comment_stripping.h"
#include "mac_roman.h"

#include <algorithm>
#include <cstring>
#include <unicode/unistr.h>

namespace {

std::u16string utf16(std::string_view utf8)
{
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return {text.getBuffer(), static_cast<std::size_t>(text.length())};
}

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

HeaderMatcher::HeaderMatcher(std::string_view searchStringUtf8, bool ignoreComments,
                             bool caseSensitive, const icu::Locale &locale)
    : m_hits(utf16(searchStringUtf8), ignoreComments, caseSensitive, locale)
    , m_ignoreComments(ignoreComments)
    , m_caseSensitive(caseSensitive)
    , m_empty(searchStringUtf8.empty())
{
    const UnicodeMatcher &text = m_hits.matcher();
    const std::u16string &compared = text.comparedForm();
    m_needleBeyondAscii = std::any_of(compared.begin(), compared.end(), [](char16_t c) { return c >= 0x80; });
    // CR and LF together form one character, which a match may not split.
    const bool breaksInside = compared.find_first_of(u"\r\n") != std::u16string::npos;
    if (m_needleBeyondAscii || breaksInside || compared.empty())
        return;

    std::array<unsigned char, 256> fold{};
    for (int byte = 0; byte < 256; ++byte) {
        int folded = byte;
        if (!caseSensitive && byte >= 'A' && byte <= 'Z')
            folded = byte + ('a' - 'A');
        // Turkic folding takes I out of ASCII: it matches no ASCII needle.
        if (!caseSensitive && text.foldsTurkic() && byte == 'I')
            folded = 0x80;
        fold[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(folded);
    }
    std::string needle(compared.begin(), compared.end());
    m_needleTakesFoldedLetters = !caseSensitive && needle.find_first_of("sfil") != std::string::npos;
    m_needle.emplace(std::move(needle), caseSensitive, fold);
}

bool HeaderMatcher::matches(std::string_view headerBytes)
{
    if (!containedIn(headerBytes))
        return false;
    if (!m_ignoreComments)
        return true;
    ++m_counters.headersStripped;
    return containedIn(comments::removeComments(headerBytes, m_withoutComments));
}

bool HeaderMatcher::containedIn(std::string_view bytes)
{
    if (m_empty)
        return false;
    if (m_needle) {
        const ByteNeedle::Result found = m_needle->find(bytes, m_needleTakesFoldedLetters);
        if (found.found)
            return true;
        if (!found.foldingLetters)
            return false;
    } else if (m_needleBeyondAscii && !m_hits.matcher().foldsTurkic() && isAscii(bytes)) {
        // A needle beyond ASCII needs a character beyond ASCII in the text,
        // which plain ASCII bytes give only under Turkic folding (I to ı).
        return false;
    }
    ++m_counters.headersDecoded;
    return m_hits.containedIn(bytes);
}

std::size_t HeaderMatcher::span() const
{
    return std::max<std::size_t>(m_hits.matcher().comparedForm().size(), 1);
}
