#pragma once

#include <cstring>
#include <string>
#include <string_view>

// Comment removal as the search has always done it: "//", "/*" and "*/"
// count wherever they stand, also inside literals, and block comments do not
// nest. Each function is one forward pass giving exactly the result of the
// defining procedure, which deletes the first comment and starts again from
// the beginning of the text.
//
// The same code serves UTF-16 text and Mac OS Roman bytes: every marker and
// line break that a header's bytes can hold is ASCII, and Mac OS Roman maps
// ASCII to itself.

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

// Where the next "/" stands at or after from, or npos. Bytes go through
// memchr: comments are rare, and the text between them is copied whole.
inline std::size_t nextSlash(std::string_view text, std::size_t from)
{
    if (from >= text.size())
        return std::string_view::npos;
    const void *at = std::memchr(text.data() + from, '/', text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char *>(at) - text.data())
              : std::string_view::npos;
}

inline std::size_t nextSlash(std::u16string_view text, std::size_t from)
{
    return text.find(u'/', from);
}

inline std::size_t nextStar(std::string_view text, std::size_t from)
{
    if (from >= text.size())
        return std::string_view::npos;
    const void *at = std::memchr(text.data() + from, '*', text.size() - from);
    return at ? static_cast<std::size_t>(static_cast<const char *>(at) - text.data())
              : std::string_view::npos;
}

inline std::size_t nextStar(std::u16string_view text, std::size_t from)
{
    return text.find(u'*', from);
}

// Deletes every "//" and what follows it up to, not including, the next line
// break or the end of the text. The character before a "//" found this way
// is never a slash and a deletion ends at a break, so no new "//" can form
// across it: the scan simply goes on after the deletion.
template <typename Char>
void removeLines(std::basic_string_view<Char> text, std::basic_string<Char> &result)
{
    result.clear();
    const std::size_t n = text.size();
    std::size_t kept = 0; // text[kept, i) is still to be copied
    std::size_t i = nextSlash(text, 0);
    while (i != text.npos && i + 1 < n) {
        if (text[i + 1] != Char('/')) {
            i = nextSlash(text, i + 1);
            continue;
        }
        result.append(text.substr(kept, i - kept));
        std::size_t end = i + 2;
        while (end < n && !isLineBreak(text[end]))
            ++end;
        kept = end;
        i = nextSlash(text, end);
    }
    result.append(text.substr(kept));
}

// Deletes every complete block comment. The defining procedure restarts at
// the beginning after each deletion, so a "/" left just before a deleted
// block and a "*" just after it form a new opener; the kept text before a
// deletion point holds no other opener. So the scan checks that seam first,
// then the ordinary opener. An opener without a closer ends the work: no
// later opener can have one either.
template <typename Char>
void removeBlocks(std::basic_string_view<Char> text, std::basic_string<Char> &result)
{
    result.clear();
    const std::size_t n = text.size();
    const auto closerFrom = [&](std::size_t from) -> std::size_t {
        for (std::size_t k = nextStar(text, from); k != text.npos && k + 1 < n; k = nextStar(text, k + 1)) {
            if (text[k + 1] == Char('/'))
                return k;
        }
        return std::basic_string_view<Char>::npos;
    };
    std::size_t kept = 0; // text[kept, ...) is still to be copied
    std::size_t i = 0;    // where to look next
    for (;;) {
        // Right after a deletion: does the kept slash meet a star?
        if (i == kept && i < n && text[i] == Char('*') && !result.empty()
            && result.back() == Char('/')) {
            const std::size_t closer = closerFrom(i + 1);
            if (closer == text.npos)
                break;
            result.pop_back();
            kept = i = closer + 2;
            continue;
        }
        std::size_t open = nextSlash(text, i);
        while (open != text.npos && open + 1 < n && text[open + 1] != Char('*'))
            open = nextSlash(text, open + 1);
        if (open == text.npos || open + 1 >= n)
            break;
        const std::size_t closer = closerFrom(open + 2);
        if (closer == text.npos)
            break;
        result.append(text.substr(kept, open - kept));
        kept = i = closer + 2;
    }
    result.append(text.substr(kept));
}

// Both passes, into reused buffers; when a pass deletes nothing, its input
// is the answer and nothing is copied.
inline std::string_view removeComments(std::string_view text, std::string &withoutLines,
                                       std::string &withoutComments)
{
    std::string_view rest = text;
    if (rest.find("//") != rest.npos) {
        removeLines(rest, withoutLines);
        rest = withoutLines;
    }
    if (rest.find("/*") != rest.npos) {
        removeBlocks(rest, withoutComments);
        rest = withoutComments;
    }
    return rest;
}

template <typename Char>
std::basic_string<Char> removeLines(std::basic_string_view<Char> text)
{
    std::basic_string<Char> result;
    removeLines(text, result);
    return result;
}

template <typename Char>
std::basic_string<Char> removeBlocks(std::basic_string_view<Char> text)
{
    std::basic_string<Char> result;
    removeBlocks(text, result);
    return result;
}

} // namespace comments

std::u16string removeCommentLinesFromString(std::u16string_view text);
std::u16string removeCommentBlocksFromString(std::u16string_view text);
