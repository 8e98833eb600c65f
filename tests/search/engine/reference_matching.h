#pragma once

// The decision for one header text as defined: an absent text and an empty
// search string never match; with comments ignored, the text must match
// both before and after its line comments and then its block comments are
// removed. The search's matcher on bytes is held against it.

#include "reference_stripping.h"
#include "unicode_match.h"

inline bool stringContainsString(const std::u16string *text, std::u16string_view searchString, bool ignoreComments,
                                 bool caseSensitive, const icu::Locale &locale = icu::Locale::getDefault())
{
    if (!text)
        return false;
    const UnicodeMatcher matcher(searchString, caseSensitive, locale);
    if (!matcher.containedIn(*text))
        return false;
    return !ignoreComments || matcher.containedIn(removeCommentBlocksFromString(removeCommentLinesFromString(*text)));
}
