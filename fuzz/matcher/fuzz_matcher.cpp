// The matcher's byte paths against the decision on text decoded as the
// rule says (UTF-8 when the bytes are, else Mac OS Roman), with the literal
// comment removal, for any header bytes and search string; and the same
// header given to the matcher in pieces, searched in small windows under
// its decoding; and the hits: some exactly when the header matches, in
// order, each holding the search string.

#include "header_matcher.h"
#include "hit_finder.h"
#include "match_stream.h"
#include "obvious_decoding.h"
#include "reference_stripping.h"
#include "unicode_match.h"

#include <cstdint>
#include <cstdlib>
#include <unicode/unistr.h>

namespace {

// Search strings are made of pieces that fold, decompose or mark comments.
const char *const pieces[16] = {"a", "s", "S", "f", "i", "I", "l", "e", "/", "*",
                                "\xC3\x9F", "\xC3\xA9", "e\xCC\x81", "\xC4\xB1", "\xEF\xAC\x81", "x"};

} // namespace

// The first byte chooses the options, the second how many pieces make the
// search string and, in its high bits, the window and the length of the
// pieces the header is streamed in; the next bytes choose the pieces of the
// search string; the rest is the header.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const bool ignoreComments = data[0] & 1, caseSensitive = data[0] & 2;
    const icu::Locale locale = data[0] & 4 ? icu::Locale("tr_TR") : icu::Locale("en_US");
    const std::size_t count = 1 + data[1] % 4;
    if (size < 2 + count)
        return 0;
    std::string needle;
    for (std::size_t i = 0; i < count; ++i)
        needle += pieces[data[2 + i] & 15];
    const std::string_view header(reinterpret_cast<const char *>(data + 2 + count), size - 2 - count);

    const icu::UnicodeString search = icu::UnicodeString::fromUTF8(needle);
    const std::u16string search16(search.getBuffer(), static_cast<std::size_t>(search.length()));
    const UnicodeMatcher exact(search16, caseSensitive, locale);
    const std::u16string text = obviousText(header);
    const bool expected = exact.containedIn(text)
                          && (!ignoreComments || exact.containedIn(removeCommentBlocksFromString(removeCommentLinesFromString(text))));

    HeaderMatcher matcher(needle, ignoreComments, caseSensitive, locale);
    if (matcher.matches(header) != expected)
        std::abort();

    const Decoding decoding = obviouslyUtf8(header) ? Decoding::Utf8 : Decoding::MacRoman;
    MatchStream stream(matcher, decoding, matcher.span(decoding) + (data[1] >> 2 & 7));
    const std::size_t piece = 1 + (data[1] >> 5);
    for (std::size_t at = 0; at < header.size(); at += piece)
        stream.feed(header.substr(at, piece));
    if (stream.finish() != expected)
        std::abort();

    const std::vector<Hit> hits = findHits(header, needle, ignoreComments, caseSensitive, locale);
    if (hits.empty() == expected)
        std::abort();
    if (HitFinder(search16, ignoreComments, caseSensitive, locale).findHits(text) != hits)
        std::abort();
    std::size_t after = 0;
    for (const Hit &hit : hits) {
        std::u16string pieces;
        for (const TextRange &piece : hit.pieces) {
            if (piece.begin < after || piece.begin >= piece.end || piece.end > text.size())
                std::abort();
            pieces += text.substr(piece.begin, piece.end - piece.begin);
            after = piece.end;
        }
        if (!exact.containedIn(pieces))
            std::abort();
    }
    return 0;
}
