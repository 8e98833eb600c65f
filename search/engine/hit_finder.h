#pragma once

#include "header_decoding.h"
#include "source_map.h"
#include "unicode_match.h"

#include <memory>
#include <string_view>
#include <vector>

// One hit: the characters of a text that make one occurrence of the search
// string, in text order. A hit that spans a removed comment has a piece on
// either side of it; a hit that takes part of a character (one "s" of a ß
// folded to "ss") takes all of it.
struct Hit {
    std::vector<TextRange> pieces;

    bool operator==(const Hit &) const = default;
};

// The hits of one search in header texts, as the match decision sees them:
// the occurrences of the search string in the text or, with comments
// ignored and the text itself holding one, in the text without its
// comments. The decision on a text is whether it has a hit.
//
// A text is decoded text, or a header's bytes, which are decoded as the
// search decodes them (header_decoding.h); ranges are of the decoded text.
// Bytes that are Mac OS Roman or ASCII, one character per byte, lose their
// comments before they are decoded, which gives the same text as stripping
// it after (every marker and line break is ASCII, which decodes to itself)
// at a fraction of the cost, and their ranges are byte ranges too.
//
// The working texts are kept from one text to the next: for a header of
// megabytes, fresh memory costs more than the work. So one HitFinder serves
// one thread at a time.
class HitFinder
{
public:
    HitFinder(std::u16string_view searchString, bool ignoreComments, bool caseSensitive,
              const icu::Locale &locale = icu::Locale::getDefault());
    ~HitFinder();

    // Every hit, in text order, none overlapping the one before.
    std::vector<Hit> findHits(std::u16string_view text) const;
    std::vector<Hit> findHits(std::string_view headerBytes) const;
    // The same for a header whose decoding is known already.
    std::vector<Hit> findHits(std::string_view headerBytes, Decoding decoding) const;
    // Whether bytes, decoded so, hold the search string as they stand,
    // comments and all: one step of the decision, for texts taken piece by
    // piece.
    bool containedIn(std::string_view bytes, Decoding decoding) const;

    const UnicodeMatcher &matcher() const { return m_matcher; }
    bool ignoresComments() const { return m_ignoreComments; }

    // Takes over the working texts of a finder of another search.
    void reuseBuffersOf(HitFinder &other) { std::swap(m_buffers, other.m_buffers); }

private:
    struct Buffers;
    // Calls found(begin, end) for each occurrence in the compared text it
    // was found in, until it answers false; the buffers' maps then lead from
    // that text back to text.
    template <typename Char>
    void forEachOccurrence(std::basic_string_view<Char> text,
                           const std::function<bool(std::size_t, std::size_t)> &found) const;
    template <typename Char>
    void compare(std::basic_string_view<Char> text, SourceMap *origins) const;
    template <typename Char>
    std::vector<Hit> collectHits(std::basic_string_view<Char> text) const;

    UnicodeMatcher m_matcher;
    bool m_ignoreComments;
    std::unique_ptr<Buffers> m_buffers;
};

// Every hit of a search in one header's bytes, decoded as the search decodes
// them. Empty exactly when the search does not list the header.
std::vector<Hit> findHits(std::string_view headerBytes, std::string_view searchStringUtf8,
                          bool ignoreComments, bool caseSensitive,
                          const icu::Locale &locale = icu::Locale::getDefault());
