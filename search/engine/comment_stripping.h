#pragma once

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

// Deletes every "//" and what follows it up to, not including, the next line
// break or the end of the text. The character before a "//" found this way
// is never a slash and a deletion ends at a break, so no new "//" can form
// across it: the scan simply goes on after the deletion.
template <typename Char>
std::basic_string<Char> removeLines(std::basic_string_view<Char> text)
{
    std::basic_string<Char> result;
    result.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (text[i] == Char('/') && i + 1 < n && text[i + 1] == Char('/')) {
            i += 2;
            while (i < n && !isLineBreak(text[i]))
                ++i;
            continue;
        }
        result.push_back(text[i++]);
    }
    return result;
}

// Deletes every complete block comment. The defining procedure restarts at
// the beginning after each deletion, so a "/" left just before a deleted
// block and a "*" just after it form a new opener; the kept text before a
// deletion point holds no other opener. So the scan checks that seam first,
// then the ordinary opener. An opener without a closer ends the work: no
// later opener can have one either.
template <typename Char>
std::basic_string<Char> removeBlocks(std::basic_string_view<Char> text)
{
    std::basic_string<Char> result;
    result.reserve(text.size());
    const std::size_t n = text.size();
    const auto closerFrom = [&](std::size_t from) -> std::size_t {
        for (std::size_t k = from; k + 1 < n; ++k)
            if (text[k] == Char('*') && text[k + 1] == Char('/'))
                return k;
        return std::basic_string_view<Char>::npos;
    };
    std::size_t i = 0;
    while (i < n) {
        if (text[i] == Char('*') && !result.empty() && result.back() == Char('/')) {
            const std::size_t closer = closerFrom(i + 1);
            if (closer == text.npos) {
                result.append(text.substr(i));
                return result;
            }
            result.pop_back();
            i = closer + 2;
            continue;
        }
        if (text[i] == Char('/') && i + 1 < n && text[i + 1] == Char('*')) {
            const std::size_t closer = closerFrom(i + 2);
            if (closer == text.npos) {
                result.append(text.substr(i));
                return result;
            }
            i = closer + 2;
            continue;
        }
        result.push_back(text[i++]);
    }
    return result;
}

} // namespace comments

std::u16string removeCommentLinesFromString(std::u16string_view text);
std::u16string removeCommentBlocksFromString(std::u16string_view text);
