#pragma once

#include <cstring>
#include <emmintrin.h>
#include <string>
#include <string_view>

// Comment removal as the search has always done it: "//", "/*" and "*/"
// count wherever they stand, also inside literals, and block comments do not
// nest. Each function is one forward pass giving exactly the result of the
// defining procedure, which deletes the first comment and starts again from
// the beginning of the text.
//
// The same code serves UTF-16 text and a header's bytes: every marker is
// ASCII, and both decodings map ASCII to itself. Line breaks are too, but
// for three that UTF-8 writes in two or three bytes, which the passes over
// bytes are told about when the header is UTF-8.

namespace comments {

inline bool isLineBreak(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Bytes 0x80 and above are letters and signs in Mac OS Roman, never breaks.
inline bool isLineBreak(char c)
{
    return c >= 0x0A && c <= 0x0D;
}

// The length of the UTF-8 of U+0085, U+2028 or U+2029 at text[at], or 0.
inline std::size_t utf8BreakAt(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0; };
    if (byte(0) == 0xC2 && byte(1) == 0x85)
        return 2;
    if (byte(0) == 0xE2 && byte(1) == 0x80 && (byte(2) == 0xA8 || byte(2) == 0xA9))
        return 3;
    return 0;
}

// Where the next byte at or after from may start a line break, or the
// size: CR, LF, VT or FF, and, when asked for, any byte beyond ASCII. Sixteen
// at a time, as line comments are long runs of neither.
inline std::size_t nextBreakCandidate(std::string_view text, std::size_t from, bool beyondAscii)
{
    const char *data = text.data();
    const std::size_t size = text.size();
    const __m128i first = _mm_set1_epi8(0x0A), span = _mm_set1_epi8(0x0D - 0x0A);
    std::size_t at = from;
    for (; at + 16 <= size; at += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
        const __m128i offset = _mm_sub_epi8(bytes, first); // a break: 0 to 3, unsigned
        unsigned found = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset)));
        if (beyondAscii)
            found |= static_cast<unsigned>(_mm_movemask_epi8(bytes));
        if (found)
            return at + static_cast<std::size_t>(__builtin_ctz(found));
    }
    for (; at < size; ++at) {
        if (isLineBreak(data[at]) || (beyondAscii && static_cast<unsigned char>(data[at]) >= 0x80))
            return at;
    }
    return size;
}

// Where the next line break starts at or after from, or the size: a
// character of its own in UTF-16 and in Mac OS Roman bytes.
struct CharacterBreaks {
    std::size_t next(std::u16string_view text, std::size_t from) const
    {
        while (from < text.size() && !isLineBreak(text[from]))
            ++from;
        return from;
    }
    std::size_t next(std::string_view text, std::size_t from) const { return nextBreakCandidate(text, from, false); }
};

// In the bytes of a header that may be UTF-8, which isUtf8() answers; it is
// asked only when a break of UTF-8 beyond ASCII turns up.
template <typename IsUtf8>
struct HeaderBreaks {
    IsUtf8 isUtf8;
    std::size_t next(std::string_view text, std::size_t from)
    {
        for (;; ++from) {
            from = nextBreakCandidate(text, from, true);
            if (from == text.size() || isLineBreak(text[from]) || (utf8BreakAt(text, from) > 0 && isUtf8()))
                return from;
        }
    }
};
template <typename IsUtf8>
HeaderBreaks(IsUtf8) -> HeaderBreaks<IsUtf8>;

// Where the next c stands at or after from, or npos. Bytes go through
// memchr: comments are rare, and the text between them is copied whole.
inline std::size_t nextOf(std::string_view text, std::size_t from, char c)
{
    if (from >= text.size())
        return std::string_view::npos;
    const void *at = std::memchr(text.data() + from, c, text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char *>(at) - text.data())
              : std::string_view::npos;
}

inline std::size_t nextOf(std::u16string_view text, std::size_t from, char16_t c)
{
    return text.find(c, from);
}

template <typename Char>
std::size_t nextSlash(std::basic_string_view<Char> text, std::size_t from)
{
    return nextOf(text, from, Char('/'));
}

// Both passes in one: the text without its block comments once its line
// comments are gone, without building the text between them. The scan walks
// the line-stripped text without writing it: at any place it has reached, a
// "//" starts a line comment, which it steps over to the break. Block
// openers and closers are then found in that text as the block removal
// would find them. The opener that a block removal forms of a slash before
// the block and a star after it cannot arise here: that slash before a "/*"
// would have made a "//" first.
//
// result is a string, or anything that takes the same two calls (clear,
// append of a part of text): a MappedText that notes
// where each kept piece stood, for finding the hits again in the text.
// One that also answers full() ends the work early once it answers true,
// when what it holds already decides.
// breaks tells where the next line break starts.
template <typename Char, typename Out = std::basic_string<Char>, typename Breaks = CharacterBreaks>
void removeComments(std::basic_string_view<Char> text, Out &result, Breaks breaks = {})
{
    result.clear();
    const auto full = [&] {
        if constexpr (requires { result.full(); })
            return result.full();
        else
            return false;
    };
    const std::size_t n = text.size();
    const auto isSlash = [&](std::size_t p) { return p < n && text[p] == Char('/'); };
    const auto lineEnd = [&](std::size_t p) { // p just after a "//"
        return p < n ? breaks.next(text, p) : n;
    };
    // From start on, the line-stripped text up to the end.
    const auto appendRest = [&](std::size_t start) {
        for (std::size_t p = start, slash = nextSlash(text, start);; slash = nextSlash(text, slash + 1)) {
            if (slash == text.npos) {
                result.append(text.substr(p));
                return;
            }
            if (isSlash(slash + 1)) {
                result.append(text.substr(p, slash - p));
                p = lineEnd(slash + 2);
                if (p == n || full())
                    return;
                slash = p; // the next slash is looked for after the break
            }
        }
    };
    // The place just after the first "*/" of the line-stripped text from
    // start on, or npos. Both markers that matter here end in a slash, so
    // only slashes are stopped at, not the star that documentation puts at
    // the start of every line. A star counts only from start on: the one
    // of the opener closes nothing.
    const auto afterCloser = [&](std::size_t start) -> std::size_t {
        for (std::size_t slash = nextSlash(text, start); slash != text.npos; slash = nextSlash(text, slash + 1)) {
            if (isSlash(slash + 1)) {
                start = lineEnd(slash + 2);
                slash = start; // the next slash is looked for after the break
            } else if (slash > start && text[slash - 1] == Char('*')) {
                return slash + 1;
            }
        }
        return text.npos;
    };

    std::size_t kept = 0; // text[kept, i) is line-stripped text still to copy
    std::size_t i = 0;
    for (;;) {
        const std::size_t slash = nextSlash(text, i);
        if (slash == text.npos) {
            result.append(text.substr(kept));
            return;
        }
        if (isSlash(slash + 1)) {
            result.append(text.substr(kept, slash - kept));
            kept = i = lineEnd(slash + 2);
            if (full())
                return;
            continue;
        }
        if (slash + 1 >= n || text[slash + 1] != Char('*')) {
            i = slash + 1;
            continue;
        }
        const std::size_t after = afterCloser(slash + 2);
        result.append(text.substr(kept, slash - kept));
        if (after == text.npos) {
            appendRest(slash);
            return;
        }
        kept = i = after;
        if (full())
            return;
    }
}

// Whether a "//" or a "/*" stands anywhere: one pass that ends at the
// first, which is near the top of most headers.
inline bool hasCommentMarker(std::string_view text)
{
    for (std::size_t slash = nextOf(text, 0, '/'); slash != text.npos; slash = nextOf(text, slash + 1, '/')) {
        if (slash + 1 < text.size() && (text[slash + 1] == '/' || text[slash + 1] == '*'))
            return true;
    }
    return false;
}

// Both passes, into a reused buffer; when the text holds no comment marker
// at all, it is its own answer and nothing is copied.
template <typename Breaks = CharacterBreaks>
std::string_view withoutComments(std::string_view text, std::string &buffer, Breaks breaks = {})
{
    if (!hasCommentMarker(text))
        return text;
    removeComments<char>(text, buffer, breaks);
    return buffer;
}

} // namespace comments
