// The one-pass stripper against the defining procedure, on texts over an
// alphabet where comment markers and line breaks are common, as text and as
// the bytes of both decodings.

#include "comment_stripping.h"
#include "reference_stripping.h"

#include <cstdint>
#include <cstdlib>
#include <unicode/unistr.h>

namespace {

// Each byte picks a character; most picks are the characters that matter.
const char16_t alphabet[16] = {u'/', u'/', u'*', u'*', u'\n', u'\r', u'\v', u'\f',
                               u'\u0085', u'\u2028', u'\u2029', u'a', u' ', u'\u00e9', u'/', u'*'};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::u16string text;
    std::string bytes; // the same text as Mac OS Roman bytes would hold it
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t c = alphabet[data[i] & 15];
        text += c;
        bytes += c < 0x80 ? static_cast<char>(c) : static_cast<char>(0xA5);
    }
    const std::u16string both = removeCommentBlocksFromString(removeCommentLinesFromString(text));
    std::u16string fused;
    comments::removeComments<char16_t>(text, fused);
    if (fused != both)
        std::abort();

    // Bytes take the same path; the breaks beyond ASCII are letters there.
    std::u16string asBytes;
    for (char c : bytes)
        asBytes += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'\u00e9';
    std::string buffer;
    const std::string_view stripped = comments::withoutComments(bytes, buffer);
    std::u16string widened;
    for (char c : stripped)
        widened += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'\u00e9';
    if (widened != removeCommentBlocksFromString(removeCommentLinesFromString(asBytes)))
        std::abort();

    // The same text as UTF-8, where the breaks beyond ASCII are breaks.
    std::string utf8;
    icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
    const std::string_view kept = comments::withoutComments(utf8, buffer, comments::HeaderBreaks{[] { return true; }});
    const icu::UnicodeString back = icu::UnicodeString::fromUTF8(icu::StringPiece(kept.data(), static_cast<int32_t>(kept.size())));
    if (std::u16string(back.getBuffer(), static_cast<std::size_t>(back.length())) != both)
        std::abort();
    return 0;
}
