#include "header_matcher.h"

#include "comment_stripping.h"
#include "mac_roman.h"

#include <unicode/brkiter.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <memory>

namespace {

std::u16string utf16(std::string_view utf8)
{
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    return {text.getBuffer(), static_cast<std::size_t>(text.length())};
}

bool isAsciiAt(std::string_view bytes, std::size_t at)
{
    return static_cast<unsigned char>(bytes[at]) < 0x80;
}

// The longest ASCII that every match shows as ASCII in its compared form
// and that no character beyond ASCII can end.
std::u16string asciiRunOf(std::u16string_view compared)
{
    std::u16string_view longest;
    for (std::size_t at = 0, end = 0; at < compared.size(); at = end + 1) {
        end = at;
        while (end < compared.size() && compared[end] < 0x80)
            ++end;
        const std::size_t usable = end - at - (end < compared.size() && end > at ? 1 : 0);
        if (usable > longest.size())
            longest = compared.substr(at, usable);
    }
    return std::u16string(longest);
}

} // namespace

HeaderMatcher::HeaderMatcher(std::string_view searchStringUtf8, bool ignoreComments,
                             bool caseSensitive, const icu::Locale &locale)
    : m_hits(utf16(searchStringUtf8), ignoreComments, caseSensitive, locale)
    , m_ignoreComments(ignoreComments)
    , m_empty(searchStringUtf8.empty())
{
    const UnicodeMatcher &text = m_hits.matcher();
    const std::u16string &compared = text.comparedForm();
    m_needleBeyondAscii = std::any_of(compared.begin(), compared.end(), [](char16_t c) { return c >= 0x80; });
    // CR and LF together form one character, which a match may not split.
    const bool breaksInside = compared.find_first_of(u"\r\n") != std::u16string::npos;
    if (breaksInside || compared.empty())
        return;
    const std::u16string ascii = m_needleBeyondAscii ? asciiRunOf(compared) : compared;
    if (ascii.empty())
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
    (m_needleBeyondAscii ? m_asciiRun : m_needle).emplace(std::string(ascii.begin(), ascii.end()), caseSensitive, fold);
    watchFor(ascii);
}

// A character is watched when a character of its compared form, standing
// by itself there, is one of the needle's.
void HeaderMatcher::watchFor(const std::u16string &needle)
{
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    const auto givesNeedleCharacter = [&](std::u16string_view text) {
        const std::u16string form = m_hits.matcher().comparedForm(text);
        const icu::UnicodeString shown(false, form.data(), static_cast<int32_t>(form.size()));
        if (U_FAILURE(status)) // then any of them, to be safe
            return std::any_of(form.begin(), form.end(), [&](char16_t c) { return needle.find(c) != needle.npos; });
        characters->setText(shown);
        for (int32_t begin = characters->first(), end = characters->next(); end != icu::BreakIterator::DONE;
             begin = end, end = characters->next()) {
            if (end - begin == 1 && needle.find(form[static_cast<std::size_t>(begin)]) != needle.npos)
                return true;
        }
        return false;
    };
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const char16_t c = macRomanCharacter(static_cast<unsigned char>(byte));
        m_watchedBytes[static_cast<std::size_t>(byte)] = givesNeedleCharacter(std::u16string_view(&c, 1));
        m_watching = m_watching || m_watchedBytes[static_cast<std::size_t>(byte)];
    }
    for (const char32_t c : mayCompareAsAscii) {
        std::u16string text = c == 0x0307 ? u"I" : u"";
        char16_t units[2];
        std::size_t length = 0;
        U16_APPEND_UNSAFE(units, length, static_cast<UChar32>(c));
        text.append(units, length);
        if (givesNeedleCharacter(text))
            m_watchedCharacters.push_back(c);
    }
    m_watching = m_watching || !m_watchedCharacters.empty();
}

// Read both ways at once, so that most headers need not be checked as
// UTF-8 first: a byte may be a watched character of Mac OS Roman, and where
// a character of UTF-8 starts, it may be a watched one.
bool HeaderMatcher::mayHoldWatched(std::string_view bytes) const
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t at = asciiPrefix(bytes); at < size; at += 1 + asciiPrefix(bytes.substr(at + 1))) {
        if (m_watchedBytes[data[at]])
            return true;
        if (m_watchedCharacters.empty() || !U8_IS_LEAD(data[at]))
            continue;
        std::size_t next = at;
        UChar32 c;
        U8_NEXT(data, next, size, c);
        if (c >= 0
            && std::find(m_watchedCharacters.begin(), m_watchedCharacters.end(), static_cast<char32_t>(c))
                   != m_watchedCharacters.end())
            return true;
    }
    return false;
}

bool HeaderMatcher::matches(std::string_view headerBytes)
{
    LazyDecoding decoding(headerBytes);
    std::size_t firstHit = headerBytes.npos;
    if (!containedIn(headerBytes, decoding, &firstHit))
        return false;
    if (!m_ignoreComments)
        return true;
    ++m_counters.headersStripped;
    const comments::HeaderBreaks breaks{[&] { return decoding.get() == Decoding::Utf8; }};
    if (!m_needle)
        return containedIn(comments::withoutComments(headerBytes, m_withoutComments, breaks), decoding);
    if (!comments::hasCommentMarker(headerBytes))
        return true; // its own stripped text, which contains it
    // Watched characters are looked for in the stripped text itself, so
    // then it is made on the way.
    m_strippedSearch.begin(headerBytes, *m_needle, firstHit, decoding, m_watching ? &m_withoutComments : nullptr);
    comments::removeComments<char>(headerBytes, m_strippedSearch, breaks);
    const StrippedSearch::Answer answer = m_strippedSearch.answer();
    if (answer == StrippedSearch::Answer::Match)
        return true;
    if (!m_watching) {
        if (answer == StrippedSearch::Answer::NoMatch)
            return false;
        comments::removeComments<char>(headerBytes, m_withoutComments, breaks);
    }
    return containedIn(m_withoutComments, decoding);
}

bool HeaderMatcher::containedIn(std::string_view bytes, LazyDecoding &decoding, std::size_t *firstHit)
{
    if (m_empty)
        return false;
    if (m_needle) {
        const ByteNeedle::Result found = m_needle->find(bytes, m_watching);
        if (firstHit)
            *firstHit = found.found ? found.at : bytes.npos;
        if (found.found) {
            const std::size_t end = found.at + m_needle->needle().size();
            const bool asciiAround = (found.at == 0 || isAsciiAt(bytes, found.at - 1))
                                     && (end == bytes.size() || isAsciiAt(bytes, end));
            if (asciiAround || decoding.get() == Decoding::MacRoman)
                return true;
        } else if (!found.highBytes || !mayHoldWatched(bytes)) {
            return false;
        }
    } else if (m_needleBeyondAscii) {
        // A needle beyond ASCII needs a character beyond ASCII in the text,
        // which plain ASCII bytes give only under Turkic folding (I to ı).
        if (!m_hits.matcher().foldsTurkic() && isAscii(bytes))
            return false;
        if (m_asciiRun) {
            const ByteNeedle::Result run = m_asciiRun->find(bytes, false);
            const bool watched = m_watching && mayHoldWatched(bytes);
            if (!run.found && !watched)
                return false;
            if (!watched)
                return containedNearRuns(bytes, run.at, decoding.get());
        }
    }
    ++m_counters.headersDecoded;
    return m_hits.containedIn(bytes, decoding.get());
}

// Without a watched character, a match shows the ASCII run in the bytes
// and covers at most span bytes, so only the text around the run's places
// can hold one; and, but under Turkic folding, only where that text holds
// a byte beyond ASCII. Around each place, from where the text may be cut
// before it to where it may be cut after it, as the windows of a stream
// are; places whose texts overlap are tested as one.
bool HeaderMatcher::containedNearRuns(std::string_view bytes, std::size_t first, Decoding decoding)
{
    const std::size_t reach = span(decoding);
    const std::size_t run = m_asciiRun->needle().size();
    bool decoded = false;
    const auto holdsMatch = [&](std::size_t begin, std::size_t end) {
        const std::string_view near = bytes.substr(begin, end - begin);
        if (!m_hits.matcher().foldsTurkic() && isAscii(near))
            return false;
        if (!decoded)
            ++m_counters.headersDecoded;
        decoded = true;
        return m_hits.containedIn(near, decoding);
    };
    std::size_t begin = 0, end = 0; // the text gathered so far, empty at first
    for (std::size_t at = first; at != bytes.npos;) {
        // Text gathered so far is not walked again for a cut, as a long run
        // of UTF-8 without two ASCII characters side by side would be for
        // each of its places: its end is a cut already.
        std::size_t from = at > reach ? at - reach : 0;
        if (end == begin || from > end) {
            while (from > 0 && !cutsAt(bytes, from, decoding))
                --from;
        }
        if (end > begin && from > end) {
            if (holdsMatch(begin, end))
                return true;
            begin = from;
        } else if (end == begin) {
            begin = from;
        }
        end = std::max(end, std::min(bytes.size(), at + run + reach));
        while (end < bytes.size() && !cutsAt(bytes, end, decoding))
            ++end;
        const ByteNeedle::Result next = m_asciiRun->find(bytes.substr(at + 1), false);
        at = next.found ? at + 1 + next.at : bytes.npos;
    }
    return end > begin && holdsMatch(begin, end);
}

std::size_t HeaderMatcher::span(Decoding decoding) const
{
    const std::size_t units = std::max<std::size_t>(m_hits.matcher().comparedForm().size(), 1);
    // Every character yields at least one unit of the compared form; one
    // of Mac OS Roman is a byte, one of UTF-8 at most four.
    return decoding == Decoding::MacRoman ? units : 4 * units;
}

bool HeaderMatcher::cutsAt(std::string_view text, std::size_t at, Decoding decoding)
{
    if (at == 0 || at >= text.size())
        return at == 0;
    const bool crlf = text[at - 1] == '\r' && text[at] == '\n';
    if (decoding == Decoding::MacRoman)
        return !crlf;
    return !crlf && isAsciiAt(text, at - 1) && isAsciiAt(text, at);
}
