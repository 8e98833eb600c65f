#pragma once

#include "header_matcher.h"

#include <optional>
#include <string>
#include <string_view>

// One text searched window by window, each window tested whole by the
// matcher: windows start and end only where the text may be cut
// (HeaderMatcher::cutsAt), and the next one starts at least span - 1 bytes
// before the end of the last one, so no match falls between two.
class WindowedSearch
{
public:
    WindowedSearch(HeaderMatcher &matcher, std::size_t window, Decoding decoding);

    void append(std::string_view bytes);
    // Tests what has not been tested yet, up to the last place where the
    // text may be cut whatever follows.
    void flush() { test(false); }
    // Tests the rest: the text has ended.
    void finish() { test(true); }
    bool found() const { return m_found; }

private:
    void test(bool atEnd);
    std::size_t lastCut();
    std::size_t cutAtOrBefore(std::size_t at) const;

    HeaderMatcher *m_matcher;
    std::size_t m_window;
    Decoding m_decoding;
    std::size_t m_overlap;
    std::string m_text;        // the end of the text seen so far, from a place where it may be cut
    std::size_t m_fresh = 0;   // m_text from here on has not been tested
    std::size_t m_cutless = 0; // no place after m_fresh and up to here may be cut
    bool m_found = false;
};

// The decision of HeaderMatcher::matches for a header that comes in pieces,
// decoded as given, in memory bounded by the window whatever the header's
// size (but for UTF-8 that holds no two ASCII characters side by side for
// longer than a window, which is kept until it does).
//
// Both texts the decision looks at are searched in windows: the raw bytes,
// and the text without comments, which the stream strips as it goes. Line
// comments are simple: what follows "//" up to a break goes. Whether a block
// comment goes depends on whether a closer ever follows its opener, which
// only the end of the header may tell. So from an opener on, the stripped
// text is followed both ways: as if the comment closes (nothing is added
// until the closer) and as if it never does (the opener and everything after
// it stay, as the defining procedure leaves them). A closer drops the second
// reading, the end of the header chooses between them. No later opener can
// close once one has not, so one second reading is all it ever takes. The
// text before an opener stays in the window, so a match that spans a removed
// comment is found.
class MatchStream
{
public:
    static constexpr std::size_t defaultWindow = std::size_t(1) << 20;

    MatchStream(HeaderMatcher &matcher, Decoding decoding, std::size_t window = defaultWindow);

    void feed(std::string_view bytes);
    // The answer is known whatever follows.
    bool decided() const;
    // The answer, once the whole header has been fed.
    bool finish();

private:
    void strip(std::string_view bytes);
    std::size_t skipLineComment(std::string_view bytes, std::size_t at);
    void lineStripped(std::string_view text);
    void openBlock();

    HeaderMatcher &m_matcher;
    Decoding m_decoding;
    WindowedSearch m_raw;
    WindowedSearch m_stripped;               // as if every block comment closes
    std::optional<WindowedSearch> m_unclosed; // as if the open one never does

    bool m_slashPending = false;      // a raw "/" that the next byte may make "//"
    bool m_inLineComment = false;
    std::string m_breakBegun;         // in a line comment: the start of a break of UTF-8 beyond ASCII
    bool m_blockSlashPending = false; // a "/" of the text without line comments that may open a block
    bool m_inBlock = false;
    bool m_starBefore = false;        // in a block: a "*" that a "/" would make its closer
};
