#include "header_matcher.h"

#include "comment_stripping.h"
#include "mac_roman.h"

#include <algorithm>
#include <cstring>
#include <functional>
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

// Mac OS Roman ß, ﬁ and ﬂ.
constexpr unsigned char foldsToAscii[] = {0xA7, 0xDE, 0xDF};

} // namespace

HeaderMatcher::HeaderMatcher(std::string_view searchStringUtf8, bool ignoreComments,
                             bool caseSensitive, const icu::Locale &locale)
    : m_text(utf16(searchStringUtf8), caseSensitive, locale)
    , m_ignoreComments(ignoreComments)
    , m_caseSensitive(caseSensitive)
    , m_empty(searchStringUtf8.empty())
{
    const std::u16string &compared = m_text.comparedForm();
    m_needleBeyondAscii = std::any_of(compared.begin(), compared.end(), [](char16_t c) { return c >= 0x80; });
    // CR and LF together form one character, which a match may not split.
    const bool breaksInside = compared.find_first_of(u"\r\n") != std::u16string::npos;
    if (!m_needleBeyondAscii && !breaksInside && !compared.empty()) {
        m_needle = std::string(compared.begin(), compared.end());
        m_needleTakesFoldedLetters = !caseSensitive && m_needle->find_first_of("sfil") != std::string::npos;
    }
    for (int byte = 0; byte < 256; ++byte) {
        int folded = byte;
        if (!caseSensitive && byte >= 'A' && byte <= 'Z')
            folded = byte + ('a' - 'A');
        // Turkic folding takes I out of ASCII: it matches no ASCII needle.
        if (!caseSensitive && m_text.foldsTurkic() && byte == 'I')
            folded = 0x80;
        m_fold[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(folded);
    }
}

bool HeaderMatcher::matches(std::string_view headerBytes)
{
    if (m_empty)
        return false;
    if (m_needle)
        return matchesAsBytes(headerBytes);
    // A needle beyond ASCII needs a character beyond ASCII in the text,
    // which plain ASCII bytes give only under Turkic folding (I to ı).
    if (m_needleBeyondAscii && !m_text.foldsTurkic() && isAscii(headerBytes))
        return false;
    return matchesAsText(headerBytes);
}

bool HeaderMatcher::containsBytes(std::string_view bytes) const
{
    const std::string &needle = *m_needle;
    if (m_caseSensitive)
        return memmem(bytes.data(), bytes.size(), needle.data(), needle.size()) != nullptr;
    const auto &fold = m_fold;
    const auto hash = [&fold](char c) { return std::hash<unsigned char>()(fold[static_cast<unsigned char>(c)]); };
    const auto equal = [&fold](char a, char b) {
        return fold[static_cast<unsigned char>(a)] == fold[static_cast<unsigned char>(b)];
    };
    const std::boyer_moore_horspool_searcher searcher(needle.begin(), needle.end(), hash, equal);
    return std::search(bytes.begin(), bytes.end(), searcher) != bytes.end();
}

bool HeaderMatcher::mayFoldIntoAMatch(std::string_view bytes) const
{
    if (!m_needleTakesFoldedLetters)
        return false;
    for (const unsigned char byte : foldsToAscii)
        if (std::memchr(bytes.data(), byte, bytes.size()))
            return true;
    return false;
}

bool HeaderMatcher::matchesAsBytes(std::string_view bytes)
{
    if (!containsBytes(bytes))
        return mayFoldIntoAMatch(bytes) && matchesAsText(bytes);
    if (!m_ignoreComments)
        return true;
    const std::string rest = stripped(bytes);
    if (containsBytes(rest))
        return true;
    // The raw text matches (its bytes do); only the stripped text is open.
    if (!mayFoldIntoAMatch(rest))
        return false;
    ++m_counters.headersDecoded;
    return m_text.containedIn(decodeMacRoman(rest));
}

bool HeaderMatcher::matchesAsText(std::string_view bytes)
{
    ++m_counters.headersDecoded;
    const std::u16string text = decodeMacRoman(bytes);
    if (!m_text.containedIn(text))
        return false;
    if (!m_ignoreComments)
        return true;
    ++m_counters.headersStripped;
    return m_text.containedIn(comments::removeBlocks<char16_t>(comments::removeLines<char16_t>(text)));
}

std::string HeaderMatcher::stripped(std::string_view bytes)
{
    ++m_counters.headersStripped;
    const std::string withoutLines = comments::removeLines(bytes);
    return comments::removeBlocks<char>(withoutLines);
}
