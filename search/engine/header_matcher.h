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

    bool matches(std::string_view headerBytes);

    const MatchCounters &counters() const { return m_counters; }

private:
    bool matchesAsBytes(std::string_view bytes);
    bool matchesAsText(std::string_view bytes);
    std::string_view stripped(std::string_view bytes);

    HitFinder m_hits;
    bool m_ignoreComments;
    bool m_caseSensitive;
    bool m_empty;
    bool m_needleBeyondAscii = false;
    std::optional<ByteNeedle> m_needle;       // the compared form, when bytes suffice
    bool m_needleTakesFoldedLetters = false; // holds s, f, i or l, which ß, ﬁ, ﬂ fold into
    MatchCounters m_counters;
    std::string m_withoutComments; // reused, so that stripping allocates nothing
};
