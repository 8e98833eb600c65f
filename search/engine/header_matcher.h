#pragma once

#include "byte_search.h"
#include "header_decoding.h"
#include "hit_finder.h"
#include "stripped_search.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What matching had to do beyond searching bytes.
struct MatchCounters {
    std::uint64_t headersDecoded = 0;  // decoded to Unicode for the exact path
    std::uint64_t headersStripped = 0; // stripped of comments

    MatchCounters &operator+=(const MatchCounters &other)
    {
        headersDecoded += other.headersDecoded;
        headersStripped += other.headersStripped;
        return *this;
    }
};

// Decides, for the bytes of one header, what the match test decides for
// its text, decoded by the rule of header_decoding.h, but without
// decoding where the answer cannot depend on it.
//
// Why bytes suffice: when the search string, decomposed and (without case
// sensitivity) folded, is plain ASCII without CR or LF, a match can only
// consist of ASCII characters, and bytes below 0x80 are ASCII in both
// decodings. A match that the bytes show is one in Mac OS Roman, where
// every byte is a character of its own. In UTF-8 it is one too when ASCII
// stands on both sides of it: only characters beyond ASCII join a
// neighbour into one character (a mark after it, a prepended sign before).
// Bytes that show no match can still hold one in the few characters beyond
// ASCII whose compared form holds ASCII that a match may take by itself
// (ß as "ss", the Kelvin sign as "k"): those are watched for, in either
// decoding, and a header that may hold one is decoded. Every comment
// marker is ASCII, and so is every line break in Mac OS Roman; in UTF-8 a
// line comment also ends at U+0085, U+2028 and U+2029.
//
// A search string beyond ASCII needs a character beyond ASCII in the text,
// and the ASCII in its compared form needs the same ASCII in the bytes, or
// one of the watched characters: of a run of ASCII in the compared form,
// all but a last character that a unit beyond ASCII follows (a mark, say,
// which may make it part of a character beyond ASCII in the text). A
// header whose bytes show neither is not decoded; of one that shows the
// run and no watched character, only the text around the run's places.
//
// The exact path is the hit finder's: a decoded header matches when it has
// a hit, so the preview highlights what made the match.
class HeaderMatcher
{
public:
    // The characters beyond ASCII whose compared form, under some
    // comparison, holds ASCII that a match may take apart from the rest,
    // and the mark that makes such a character of an ASCII letter (I with
    // a dot above is İ, which Turkic folding makes "i").
    static constexpr std::array<char32_t, 17> mayCompareAsAscii = {
        0x00DF, 0x0130, 0x0149, 0x017F, 0x0307, 0x037E, 0x1E9A, 0x1E9E, 0x1FEF,
        0x212A, 0xFB00, 0xFB01, 0xFB02, 0xFB03, 0xFB04, 0xFB05, 0xFB06,
    };

    HeaderMatcher(std::string_view searchStringUtf8, bool ignoreComments, bool caseSensitive,
                  const icu::Locale &locale = icu::Locale::getDefault());

    // The decision for a whole header.
    bool matches(std::string_view headerBytes);

    // The containment test alone, on the raw or stripped bytes of a header
    // decoded so. A match never depends on the text around it where the
    // text may be cut (cutsAt): a text may be tested piece by piece, in
    // windows that start and end there and overlap by span() - 1 bytes.
    bool containedIn(std::string_view bytes, LazyDecoding &decoding) { return containedIn(bytes, decoding, nullptr); }
    bool containedIn(std::string_view bytes, Decoding decoding)
    {
        LazyDecoding known(decoding);
        return containedIn(bytes, known);
    }
    // The most bytes one match can cover.
    std::size_t span(Decoding decoding) const;
    // Whether text may be cut before text[at], given what stands on both
    // sides: in Mac OS Roman anywhere but between CR and LF, which make one
    // character; in UTF-8 between two ASCII characters, where nothing
    // joins across and the compared forms are those of either side.
    static bool cutsAt(std::string_view text, std::size_t at, Decoding decoding);
    bool ignoresComments() const { return m_ignoreComments; }

    const MatchCounters &counters() const { return m_counters; }

private:
    // firstHit, if given, learns where the needle's bytes first stand, or
    // npos where they do not.
    bool containedIn(std::string_view bytes, LazyDecoding &decoding, std::size_t *firstHit);
    bool mayHoldWatched(std::string_view bytes) const;
    bool containedNearRuns(std::string_view bytes, std::size_t first, Decoding decoding);
    void watchFor(const std::u16string &needle);

    HitFinder m_hits; // its exact path, so that a listed header always has a hit to show
    bool m_ignoreComments;
    bool m_empty;
    bool m_needleBeyondAscii = false;
    std::optional<ByteNeedle> m_needle; // the compared form, when bytes suffice
    std::optional<ByteNeedle> m_asciiRun; // else ASCII a match must show, if any
    // What the bytes must be watched for, by decoding: characters whose
    // compared form holds, by itself, a character of the needle (or run).
    std::array<bool, 256> m_watchedBytes{};
    std::vector<char32_t> m_watchedCharacters;
    bool m_watching = false;
    MatchCounters m_counters;
    std::string m_withoutComments; // reused, so that stripping allocates nothing
    StrippedSearch m_strippedSearch;
};
