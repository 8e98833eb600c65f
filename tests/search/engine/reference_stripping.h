#pragma once

// The comment removal exactly as defined, step by step: find the first
// comment, delete it, start again from the beginning. Slow and obviously
// right; the tests and the fuzzers hold the one pass of the search against it.

#include <string>

inline const std::u16string breaks = u"\n\v\f\r\u0085\u2028\u2029";

inline std::u16string removeCommentLinesFromString(std::u16string text)
{
    for (;;) {
        const auto open = text.find(u"//");
        if (open == std::u16string::npos)
            return text;
        const auto end = text.find_first_of(breaks, open + 2);
        text.erase(open, end == std::u16string::npos ? std::u16string::npos : end - open);
    }
}

inline std::u16string removeCommentBlocksFromString(std::u16string text)
{
    for (;;) {
        const auto open = text.find(u"/*");
        if (open == std::u16string::npos)
            return text;
        const auto close = text.find(u"*/", open + 2);
        if (close == std::u16string::npos)
            return text;
        text.erase(open, close + 2 - open);
    }
}

