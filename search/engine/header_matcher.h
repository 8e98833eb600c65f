#pragma once

#include "byte_search.h"
#include "hit_finder.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Decides, for the bytes of one header, what stringContainsString decides
// for its Mac OS Roman text, but without decoding where the answer cannot
// depend on it.
//
// Why bytes suffice: when the search string, decomposed and (without case
// sensitivity) folded, is plain ASCII without CR or LF, a match can only
// consist of ASCII characters. Mac OS Roman decodes bytes below 0x80 to
// ASCII; the characters of the other bytes either decompose into a letter
// and a combining mark, which a match may not split, or stay non-ASCII under
// decomposition and folding, except ß, ﬁ and ﬂ, which fold to "ss", "fi"
// and "fl". None of them joins a neighbouring ASCII character into one
// character, and every comment marker and line break is ASCII. So the bytes
// are searched as they are, with ASCII letters folded when case does not
// matter, and a header is decoded only when folding is on, the bytes do not
// match, and the header holds one of those three letters.
//
// The exact path is the hit finder's: a decoded header matches when it has
// a hit, so the preview highlights what made the match.
class HeaderMatcher
{
public:
    HeaderMatcher(std::string_view searchStringUtf8, bool ignoreComments, bool caseSensitive,
                  const icu::Locale &locale = icu::Locale::getDefault());

    // The decision for a whole header.
    bool matches(std::string_view headerBytes);

    // The containment test alone, on raw or stripped bytes. A match never
    // depends on the text around it: every Mac Roman character is a whole
    // character of its own (a CR LF pair aside), decomposes and folds by
    // itself, and yields at least one unit of the compared form. So a text
    // may be tested piece by piece, in windows that overlap by span() - 1
    // bytes and never part CR from LF.
    bool containedIn(std::string_view bytes);
    // The most bytes one match can cover.
    std::size_t span() const;
    bool ignoresComments() const { return m_ignoreComments; }

    const MatchCounters &counters() const { return m_counters; }

private:
    HitFinder m_hits; // its exact path, so that a listed header always has a hit to show
    bool m_ignoreComments;
    bool m_caseSensitive;
    bool m_empty;
    bool m_needleBeyondAscii = false;
    std::optional<ByteNeedle> m_needle;       // the compared form, when bytes suffice
    bool m_needleTakesFoldedLetters = false; // holds s, f, i or l, which ß, ﬁ, ﬂ fold into
    MatchCounters m_counters;
    std::string m_withoutComments; // reused, so that stripping allocates nothing
};
