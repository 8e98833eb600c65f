#pragma once

#include "byte_search.h"
#include "header_decoding.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// The search of a header's stripped text for a needle of ASCII, made as the
// stripping goes and without the text: a sink for comments::removeComments.
// Every piece it is given is a part of the header's bytes, so the needle is
// looked for in those once, hit after hit, and a hit that lies inside a
// piece stands in the stripped text too. It is a match when ASCII stands on
// both sides of it, or the header is Mac OS Roman. Where two pieces join,
// only the bytes around the join are looked at. A hit that the join makes,
// or one with a byte beyond ASCII beside it in UTF-8, leaves the answer to
// the search of the whole stripped text.
class StrippedSearch
{
public:
    enum class Answer { Match, NoMatch, Unsure };

    // Begins a header, where the needle first stands at firstHit (npos:
    // nowhere). When text is given, the stripped text is made there as
    // well, for a search that needs more than its bytes.
    void begin(std::string_view header, const ByteNeedle &needle, std::size_t firstHit, LazyDecoding &decoding,
               std::string *text);

    // As removeComments calls them.
    void clear();
    void append(std::string_view piece);
    bool full() const { return m_found; }

    // Once the stripping has ended.
    Answer answer() const;

private:
    void hitFrom(std::size_t from);
    void lookAtJoin(std::string_view piece);
    void lookAtHits(std::size_t begin, std::size_t end);
    void keep(std::string_view piece);
    char lastByte() const;
    bool beside(char c); // whether c beside a hit leaves it a match

    std::string_view m_header;
    const ByteNeedle *m_needle = nullptr;
    LazyDecoding *m_decoding = nullptr;
    std::string *m_text = nullptr;
    std::size_t m_first = 0; // the header's first hit
    std::size_t m_hit = 0;   // the first hit not yet passed over, or npos
    // Whether a byte may be one of the needle's but its first, which a
    // piece must start with for a join to make a hit.
    std::array<bool, 256> m_continues{};
    // The last pieces, as many as hold the bytes where a hit across the
    // next join would start: all but one of the needle's length.
    std::vector<std::string_view> m_recent;
    std::size_t m_recentSize = 0;
    std::string m_join; // those bytes and the start of the next piece
    bool m_found = false;
    bool m_pending = false;  // a hit ends the text so far, and what follows decides it
    bool m_unsure = false;
};
