#include "byte_search.h"
#include "case_file.h"
#include "header_matcher.h"
#include "hit_finder.h"
#include "mac_roman.h"
#include "match_stream.h"
#include "obvious_decoding.h"
#include "reference_matching.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/utf16.h>

namespace {

using testing::PrintToString;

const icu::Locale english("en_US");
const icu::Locale turkish("tr_TR");

// The decision on decoded text alone: the exact path every shortcut must
// agree with.
bool decideOnText(std::string_view bytes, std::u16string_view search, bool ignoreComments,
                  bool caseSensitive, const icu::Locale &locale)
{
    const std::u16string text = obviousText(bytes);
    return stringContainsString(&text, search, ignoreComments, caseSensitive, locale);
}

// The compared form as the platform defines it, on the whole text at once.
std::u16string wholeTextForm(std::u16string_view text, bool caseSensitive, bool turkic)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    if (!caseSensitive) {
        icu::UnicodeString composed = nfc->normalize(source, status);
        source = composed.foldCase(turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT);
    }
    const icu::UnicodeString result = nfd->normalize(source, status);
    return {result.getBuffer(), static_cast<std::size_t>(result.length())};
}

// Random headers of three kinds: ASCII with Mac OS Roman beyond it, ASCII
// with UTF-8 beyond it, and both, which is seldom UTF-8. Each piece is one
// character, or a few.
class RandomHeaders
{
public:
    RandomHeaders(std::vector<std::string> ascii, std::vector<std::string> macRoman, std::vector<std::string> utf8)
    {
        m_kinds[0] = ascii;
        m_kinds[0].insert(m_kinds[0].end(), macRoman.begin(), macRoman.end());
        m_kinds[1] = ascii;
        m_kinds[1].insert(m_kinds[1].end(), utf8.begin(), utf8.end());
        m_kinds[2] = m_kinds[0];
        m_kinds[2].insert(m_kinds[2].end(), utf8.begin(), utf8.end());
    }

    std::string make(std::mt19937 &random, std::size_t pieces, int kind) const
    {
        const std::vector<std::string> &from = m_kinds[kind % 3];
        std::uniform_int_distribution<std::size_t> pick(0, from.size() - 1);
        std::string header;
        for (std::size_t i = 0; i < pieces; ++i)
            header += from[pick(random)];
        return header;
    }

private:
    std::array<std::vector<std::string>, 3> m_kinds;
};

Decoding obviousDecoding(std::string_view bytes)
{
    return obviouslyUtf8(bytes) ? Decoding::Utf8 : Decoding::MacRoman;
}

} // namespace

// For gtest's messages.
void PrintTo(const TextRange &range, std::ostream *out)
{
    *out << "[" << range.begin << "," << range.end << ")";
}

TEST(MacRoman, EveryByteHasItsOwnCharacter)
{
    // ICU's older table differs only at 0xDB, where it has the currency sign.
    EXPECT_EQ(macRomanCharacter(0xDB), u'\u20AC') << "the euro sign";
    UErrorCode status = U_ZERO_ERROR;
    UConverter *converter = ucnv_open("macintosh", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    for (int byte = 0; byte < 256; ++byte) {
        const char in = static_cast<char>(byte);
        UChar out[4];
        status = U_ZERO_ERROR;
        ucnv_toUChars(converter, out, 4, &in, 1, &status);
        if (byte != 0xDB) {
            EXPECT_EQ(out[0], macRomanCharacter(static_cast<unsigned char>(byte))) << byte;
        }
    }
    ucnv_close(converter);
}

// What lets a header be searched in windows: no Mac Roman character joins
// its neighbour, under any comparison, except CR with LF.
TEST(MacRoman, EveryCharacterStandsAlone)
{
    const UnicodeMatcher exact(u"x", true, english), folded(u"x", false, english), turkic(u"x", false, turkish);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(icu::BreakIterator::createCharacterInstance(english, status));
    ASSERT_TRUE(U_SUCCESS(status));
    for (const UnicodeMatcher *matcher : {&exact, &folded, &turkic}) {
        std::array<std::u16string, 256> alone;
        for (int byte = 0; byte < 256; ++byte) {
            alone[byte] = matcher->comparedForm(decodeMacRoman(std::string(1, static_cast<char>(byte))));
            ASSERT_FALSE(alone[byte].empty()) << byte;
        }
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const std::u16string pair = matcher->comparedForm(
                    decodeMacRoman(std::string{static_cast<char>(a), static_cast<char>(b)}));
                ASSERT_EQ(pair, alone[a] + alone[b]) << a << " " << b;
                const icu::UnicodeString text(false, pair.data(), static_cast<int32_t>(pair.size()));
                characters->setText(text);
                ASSERT_EQ(characters->isBoundary(static_cast<int32_t>(alone[a].size())), a != '\r' || b != '\n')
                    << a << " " << b;
            }
        }
    }
}

// A header given in pieces cut anywhere, also inside a character, searched
// in small windows under its decoding, against the same header decided whole.
TEST(MatchStream, PiecesDecideAsTheWholeHeaderDoes)
{
    const RandomHeaders headers(
        {"/*", "*/", "//", "/", "*", "\r", "\n", "\r\n", " ", "NS", "Foo", "NSFoo", "nsfoo", "x;", "e", "\x0B"},
        // A lead byte alone, which UTF-8 would cut short.
        {"\xA7", "\xDE", "caf\x8E", "\xC3"},
        // Letters, a mark, breaks, a sign that prepends, a joiner, and one
        // of four bytes.
        {"caf\xC3\xA9", "e\xCC\x81", "\xC3\x9F", "\xE2\x84\xAA", "\xC2\x85", "\xE2\x80\xA8", "\xD8\x80",
         "\xE2\x80\x8D", "I\xCC\x87", "\xF0\x9F\x98\x80"});
    const std::vector<std::string> needles = {
        "NSFoo", "nsfoo", "SFoo", "strasse", "fi", "caf\xC3\xA9", "\r\nNS", "\nNS", "o\r", "*/", "x;", "F", "k", "e",
        "\xC3\xA9",
    };
    std::mt19937 random(2031);
    std::uniform_int_distribution<std::size_t> count(0, 60), cut(1, 12);
    int checked = 0, utf8 = 0;
    for (const icu::Locale *locale : {&english, &turkish}) {
        for (const std::string &needle : needles) {
            for (int flags = 0; flags < 4; ++flags) {
                const bool ignoreComments = flags & 1, caseSensitive = flags & 2;
                HeaderMatcher whole(needle, ignoreComments, caseSensitive, *locale);
                HeaderMatcher inPieces(needle, ignoreComments, caseSensitive, *locale);
                for (int round = 0; round < 400; ++round) {
                    const std::string header = headers.make(random, count(random), round);
                    const Decoding decoding = obviousDecoding(header);
                    const std::size_t window = inPieces.span(decoding) + round % 5;
                    MatchStream stream(inPieces, decoding, window);
                    Utf8Check check; // the same pieces tell the decoding as the whole does
                    bool decided = false;
                    for (std::size_t at = 0; at < header.size();) {
                        const std::size_t length = std::min(cut(random), header.size() - at);
                        stream.feed(std::string_view(header).substr(at, length));
                        check.feed(std::string_view(header).substr(at, length));
                        decided = decided || stream.decided();
                        at += length;
                    }
                    check.finish();
                    ASSERT_EQ(check.invalid(), decoding == Decoding::MacRoman) << PrintToString(header);
                    ASSERT_EQ(check.beyondAscii(), !isAscii(header)) << PrintToString(header);
                    const bool expected = whole.matches(header);
                    ASSERT_EQ(stream.finish(), expected)
                        << "header " << PrintToString(header) << " needle " << PrintToString(needle) << " window "
                        << window << " ignoreComments " << ignoreComments << " caseSensitive " << caseSensitive
                        << " locale " << locale->getName();
                    ASSERT_TRUE(!decided || expected) << PrintToString(header);
                    ++checked;
                    utf8 += decoding == Decoding::Utf8 && !isAscii(header);
                }
            }
        }
    }
    EXPECT_GT(checked, 40000);
    EXPECT_GT(utf8, checked / 4) << "UTF-8 beyond ASCII is common among them";
}

TEST(Matching, PlatformTextSemantics)
{
    for (const CaseFields &c : readCases("platform_text_semantics")) {
        const std::u16string text = utf16(c.at(0));
        EXPECT_EQ(stringContainsString(&text, utf16(c.at(1)), yes(c.at(2)), yes(c.at(3))), yes(c.at(4)))
            << PrintToString(c.at(0)) << " / " << PrintToString(c.at(1));
    }
    EXPECT_FALSE(stringContainsString(nullptr, u"x", false, false)) << "an unreadable header";
}

TEST(Matching, TurkishLocaleFoldsTheDottedAndDotlessI)
{
    const UnicodeMatcher english_I(u"FILE", false, english);
    const UnicodeMatcher turkish_I(u"FILE", false, turkish);
    EXPECT_TRUE(english_I.containedIn(u"file"));
    EXPECT_FALSE(turkish_I.containedIn(u"file"));
    EXPECT_TRUE(turkish_I.containedIn(u"f\u0131le"));
    EXPECT_TRUE(UnicodeMatcher(u"\u0130", false, turkish).containedIn(u"i"));
    EXPECT_TRUE(UnicodeMatcher(u"I\u0307", false, turkish).containedIn(u"i")) << "İ decomposed";
    EXPECT_FALSE(UnicodeMatcher(u"\u0130", false, english).containedIn(u"i"));
}

// The differential corpus: every shortcut of the matcher against the
// decision on decoded text, and the hit finder against the matcher: a header
// matches exactly when it has a hit, every hit holds the search string, and
// the bytes give the hits their decoded text gives.
TEST(Matching, BytePathAgreesWithTheTextPath)
{
    // Letters that fold or decompose, markers, breaks; both ends of the
    // ASCII fold range and their neighbours. Beyond ASCII, in Mac OS Roman:
    // é É ß ﬁ ﬂ ı and a few that do not matter. In UTF-8: é É, é decomposed,
    // ß ﬁ ı İ, İ decomposed, the Kelvin sign, ŉ ſ ẚ and the Greek question
    // mark, which compare as ASCII or hold some, the breaks U+0085 and
    // U+2028, a sign that prepends, a spacing mark, a joiner, ©, and a
    // character beyond 16 bits.
    const RandomHeaders headers(
        {"/", "/", "*", "*", "\n", "\r", "\v", " ", "a", "s", "S", "f", "F", "i", "I", "l", "L", "e", "E", "z", "Z",
         "@", "[", "`", "{", "k", "K", ";", "n"},
        {"\x8E", "\x83", "\xA7", "\xDE", "\xDF", "\xF5", "\xDB", "\xA5"},
        {"\xC3\xA9", "\xC3\x89", "e\xCC\x81", "\xC3\x9F", "\xEF\xAC\x81", "\xC4\xB1", "\xC4\xB0", "I\xCC\x87",
         "\xE2\x84\xAA", "\xC5\x89", "\xC5\xBF", "\xE1\xBA\x9A", "\xCD\xBE", "\xC2\x85", "\xE2\x80\xA8",
         "\xD8\x80", "\xE0\xA4\x83", "\xE2\x80\x8D", "\xC2\xA9", "\xF0\x9F\x98\x80"});
    const std::vector<std::u16string> needles = {
        u"s", u"ss", u"SS", u"fi", u"FI", u"fl", u"e", u"E", u"i", u"I", u"l", u"a/", u"//", u"*", u"sf", u"ile",
        u"k", u";", u"n", u"a", u"\u00e9", u"e\u0301", u"\u00c9", u"\u00df", u"\ufb01", u"\u0131", u"\u0130",
        u"ST\u00df", u"a\r", u"\n", u"Za", u"@", u"\u00a9",
        // Beyond ASCII with ASCII around, which the bytes must show.
        u"\u00e9le", u"sf\u00e9", u"a\u0130s", u"\u00dfile",
    };
    std::mt19937 random(6122026);
    // Short texts reach every corner of the decision; long ones the
    // sixteen-at-a-time search and its tail.
    std::uniform_int_distribution<std::size_t> shortLength(0, 24), longLength(25, 120);
    int checked = 0;
    for (const icu::Locale *locale : {&english, &turkish}) {
        for (const std::u16string &needle : needles) {
            const icu::UnicodeString unicodeNeedle(false, needle.data(), static_cast<int32_t>(needle.size()));
            std::string needleUtf8;
            unicodeNeedle.toUTF8String(needleUtf8);
            for (int flags = 0; flags < 4; ++flags) {
                const bool ignoreComments = flags & 1, caseSensitive = flags & 2;
                SCOPED_TRACE(testing::Message() << "needle " << needleUtf8 << " ignoreComments " << ignoreComments
                                                << " caseSensitive " << caseSensitive << " locale " << locale->getName());
                HeaderMatcher matcher(needleUtf8, ignoreComments, caseSensitive, *locale);
                const HitFinder finder(needle, ignoreComments, caseSensitive, *locale);
                for (int round = 0; round < 1200; ++round) {
                    const std::string bytes = headers.make(random, round % 2 ? shortLength(random) : longLength(random), round / 2);
                    const bool matches = matcher.matches(bytes);
                    const auto context = [&] { return "text " + PrintToString(bytes); };
                    ASSERT_EQ(matches, decideOnText(bytes, needle, ignoreComments, caseSensitive, *locale))
                        << context();
                    const std::u16string text = obviousText(bytes);
                    const std::vector<Hit> hits = finder.findHits(text);
                    ASSERT_EQ(!hits.empty(), matches) << context();
                    ASSERT_EQ(finder.findHits(bytes), hits) << "from the bytes: " << context();
                    std::size_t after = 0;
                    for (const Hit &hit : hits) {
                        std::u16string pieces;
                        for (const TextRange &piece : hit.pieces) {
                            ASSERT_TRUE(after <= piece.begin && piece.begin < piece.end && piece.end <= text.size())
                                << context();
                            pieces += text.substr(piece.begin, piece.end - piece.begin);
                            after = piece.end;
                        }
                        ASSERT_TRUE(finder.matcher().containedIn(pieces)) << context();
                    }
                    ++checked;
                }
            }
        }
    }
    EXPECT_GT(checked, 300000);
}

// A search beyond ASCII looks only at the text around its ASCII where no
// watched character stands: long ASCII between, the needle put in written
// several ways, and Mac OS Roman, where the text may be cut anywhere.
TEST(Matching, BeyondAsciiTheTextAroundItsAsciiDecidesAsTheWholeText)
{
    const RandomHeaders headers({"l", "e", "r", "L", "E", "R", "m", "o", "I", "a", "b", " ", "\n", "\r", "/", "*", "        ",
                                 "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
                                {"\x9A", "\x85", "\x8E", "\xA9"}, // ö Ö é ©
                                {"\xC3\xB6", "\xCC\x88", "\xCC\x81", "\xC3\xA9", "\xE4\xB8\xAD", "\xC2\xA9", "\xC4\xB1"});
    const std::vector<std::pair<std::u16string, std::vector<std::string>>> needles = {
        {u"m\u00f6ller", {"m\xC3\xB6ller", "mo\xCC\x88ller", "M\xC3\x96LLER", "m\x9Aller", "M\x85LLER"}},
        {u"\u00f6\u00e9\u00f6ab", {"\xC3\xB6\xC3\xA9\xC3\xB6" "ab", "\x9A\x8E\x9A" "ab", "o\xCC\x88" "E\xCC\x81o\xCC\x88" "AB"}},
        {u"\u0131le", {"\xC4\xB1le", "Ile", "ILE"}},
        {u"lle\u0301", {"lle\xCC\x81", "ll\xC3\xA9", "ll\x8E"}},
        {u"ab\u4e2d", {"ab\xE4\xB8\xAD", "AB\xE4\xB8\xAD"}},
    };
    std::mt19937 random(9122026);
    std::uniform_int_distribution<std::size_t> length(0, 120);
    for (const icu::Locale *locale : {&english, &turkish}) {
        for (const auto &[needle, writings] : needles) {
            const icu::UnicodeString unicodeNeedle(false, needle.data(), static_cast<int32_t>(needle.size()));
            std::string needleUtf8;
            unicodeNeedle.toUTF8String(needleUtf8);
            for (int flags = 0; flags < 4; ++flags) {
                const bool ignoreComments = flags & 1, caseSensitive = flags & 2;
                HeaderMatcher matcher(needleUtf8, ignoreComments, caseSensitive, *locale);
                for (int round = 0; round < 1500; ++round) {
                    std::string bytes = headers.make(random, length(random), round);
                    if (round / 3 % 3 != 0) {
                        const std::string &writing = writings[static_cast<std::size_t>(round) % writings.size()];
                        bytes.insert(std::uniform_int_distribution<std::size_t>(0, bytes.size())(random), writing);
                    }
                    ASSERT_EQ(matcher.matches(bytes), decideOnText(bytes, needle, ignoreComments, caseSensitive, *locale))
                        << "needle " << needleUtf8 << " flags " << flags << " locale " << locale->getName()
                        << " text " << PrintToString(bytes);
                }
            }
        }
    }
    // Where the text around the ASCII must reach as far as a match can: a
    // long way beyond ASCII before the run, in UTF-8 and in Mac OS Roman,
    // and regional indicators, which pair from the first one on.
    const std::string han = "\xE4\xB8\xAD", flag = "\xF0\x9F\x87\xBA";
    std::string longBefore = han + "xy";
    for (int i = 0; i < 12; ++i)
        longBefore += han;
    longBefore += "abc";
    std::vector<std::pair<std::string, std::string>> fixed = {{longBefore, "q " + longBefore},
                                                              {"\xC2\xA9\xC2\xA9\xC2\xA9\xC2\xA9" "ab", "\xA9\xA9\xA9\xA9" "ab"}};
    std::string flags = "x";
    for (int k = 0; k <= 8; ++k, flags += flag)
        fixed.push_back({flag + "ab", flags + "ab"});
    for (const auto &[needle, bytes] : fixed) {
        const icu::UnicodeString search = icu::UnicodeString::fromUTF8(needle);
        EXPECT_EQ(HeaderMatcher(needle, false, true, english).matches(bytes),
                  decideOnText(bytes, std::u16string(search.getBuffer(), static_cast<std::size_t>(search.length())), false,
                               true, english))
            << PrintToString(bytes);
    }
}

// What lets the bytes of a UTF-8 header stand for its text when they show
// no match: apart from the characters the matcher watches for, nothing
// beyond ASCII, alone or as a mark on an ASCII letter, compares as ASCII
// that a match could take by itself.
TEST(Matching, EveryCharacterThatMayCompareAsAsciiIsWatched)
{
    const UnicodeMatcher exact(u"x", true, english), folded(u"x", false, english), turkic(u"x", false, turkish);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(icu::BreakIterator::createCharacterInstance(english, status));
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    ASSERT_TRUE(U_SUCCESS(status));
    const auto givesAscii = [&](std::u16string_view text) {
        for (const UnicodeMatcher *matcher : {&exact, &folded, &turkic}) {
            const std::u16string form = matcher->comparedForm(text);
            const icu::UnicodeString shown(false, form.data(), static_cast<int32_t>(form.size()));
            characters->setText(shown);
            for (int32_t begin = characters->first(), end = characters->next(); end != icu::BreakIterator::DONE;
                 begin = end, end = characters->next()) {
                if (end - begin == 1 && form[static_cast<std::size_t>(begin)] < 0x80)
                    return true;
            }
        }
        return false;
    };
    const auto watched = [](UChar32 c) {
        const auto &list = HeaderMatcher::mayCompareAsAscii;
        return std::find(list.begin(), list.end(), static_cast<char32_t>(c)) != list.end();
    };
    int looked = 0;
    for (UChar32 c = 0x80; c <= 0x10FFFF; ++c) {
        if (U_IS_SURROGATE(c) || u_charType(c) == U_UNASSIGNED || u_charType(c) == U_PRIVATE_USE_CHAR)
            continue;
        char16_t units[2];
        int32_t length = 0;
        U16_APPEND_UNSAFE(units, length, c);
        ASSERT_TRUE(watched(c) || !givesAscii(std::u16string_view(units, static_cast<std::size_t>(length)))) << std::hex << c;
        ++looked;
        // A mark that composes with an ASCII letter.
        for (char16_t letter = u'A'; letter <= u'z'; ++letter) {
            if (length == 1 && nfc->composePair(letter, c) >= 0 && !watched(c)) {
                const char16_t pair[2] = {letter, units[0]};
                ASSERT_FALSE(givesAscii(std::u16string_view(pair, 2))) << char(letter) << " " << std::hex << c;
            }
        }
    }
    EXPECT_GT(looked, 100000);
}

TEST(Matching, AsciiSearchOfAsciiHeadersDecodesNothingAndStripsOnlyCandidates)
{
    HeaderMatcher matcher("NSFoo", true, false, english);
    EXPECT_FALSE(matcher.matches("int nsbar; // nothing here\n"));
    EXPECT_TRUE(matcher.matches("int nsfoo;\n"));
    EXPECT_FALSE(matcher.matches("/* NSFoo */\n"));
    EXPECT_FALSE(matcher.matches("\xA9 1990 Apple \xA5 NSBar\n"));
    EXPECT_EQ(matcher.counters().headersDecoded, 0u);
    EXPECT_EQ(matcher.counters().headersStripped, 2u);

    HeaderMatcher folding("class", false, false, english);
    EXPECT_TRUE(folding.matches("CLA\xA7"));  // "CLAß" folds to "class"
    EXPECT_EQ(folding.counters().headersDecoded, 1u);

    // UTF-8 beyond ASCII that holds nothing a match could take, or a match
    // with ASCII around it, needs no decoding either.
    HeaderMatcher utf8("NSFoo", false, false, english);
    EXPECT_FALSE(utf8.matches("/* \xC2\xA9 2016 Lain\xC3\xA9 */ NSBar\n"));
    EXPECT_TRUE(utf8.matches("/* \xC2\xA9 2016 Lain\xC3\xA9 */ nsfoo\n"));
    EXPECT_EQ(utf8.counters().headersDecoded, 0u);
    EXPECT_FALSE(utf8.matches("NSFoo\xCC\x81")) << "the mark makes the o another letter";
    EXPECT_EQ(utf8.counters().headersDecoded, 1u);

    // A search beyond ASCII decodes only what shows its ASCII part.
    HeaderMatcher beyond("m\xC3\xB6ller", false, false, english);
    EXPECT_FALSE(beyond.matches("/* \xC2\xA9 2016 Lain\xC3\xA9 */ NSBar\n"));
    EXPECT_TRUE(beyond.matches("/* \xC2\xA9 M\xC3\x96LLER */\n"));
    EXPECT_EQ(beyond.counters().headersDecoded, 1u);
    EXPECT_FALSE(beyond.matches("NSController" + std::string(200, ' ') + "/* \xC2\xA9 */\n"));
    EXPECT_EQ(beyond.counters().headersDecoded, 1u) << "its ASCII stands far from anything beyond ASCII";
}

// Ignoring comments, a header is decided as soon as the stripped text shows
// a match that nothing still to come can undo; these are the places where
// it could, which random headers seldom build.
TEST(Matching, IgnoringCommentsAMatchDecidesOnlyOnceItsNeighboursAreKnown)
{
    const struct {
        std::string header;
        bool matches;
    } cases[] = {
        {"NSFoo/* x */\xCC\x81;", false}, // the mark after the comment joins the o
        {"NSFoo/* x */;", true},
        {"NSFoo\xCC\x81 /* */ NSFoo;", true}, // the first hit is no match, the second is
        {"/* NSFoo */ NSFoo;", true},
        {"/* NSFoo */ NS/**/Foo", true}, // the stripped text joins it, the raw text has it
        {"/* NSFoo */ x N/**/SFo/**/o;", true}, // joined of three pieces
        {"// NSFoo\n/* NSFoo */ x", false},
        {"x // NSFoo", false},
        {"NSFoo", true},
        {"NSFo/* NSFoo */o\xCC\x81;", false}, // joined, and the mark undoes it
    };
    for (const bool caseSensitive : {true, false}) {
        HeaderMatcher matcher("NSFoo", true, caseSensitive, english);
        for (const auto &c : cases) {
            EXPECT_EQ(matcher.matches(c.header), c.matches) << PrintToString(c.header);
            EXPECT_EQ(decideOnText(c.header, u"NSFoo", true, caseSensitive, english), c.matches)
                << PrintToString(c.header);
        }
    }
    // Markers in the needle itself.
    EXPECT_TRUE(HeaderMatcher("ab*/", true, true, english).matches("x ab*/ y"));
    EXPECT_FALSE(HeaderMatcher("ab*/", true, true, english).matches("/* ab*/ y"));
    EXPECT_TRUE(HeaderMatcher("a/b", true, true, english).matches("/* a/b */ a/b"));
}

TEST(ByteSearch, EveryWidthAgreesWithAPlainSearch)
{
    std::array<unsigned char, 256> fold{};
    for (int byte = 0; byte < 256; ++byte)
        fold[static_cast<std::size_t>(byte)] = static_cast<unsigned char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte);
    const auto firstMatch = [&](std::string_view text, const std::string &needle, bool caseSensitive) {
        const auto same = [&](char t, char n) {
            return caseSensitive ? t == n : fold[static_cast<unsigned char>(t)] == static_cast<unsigned char>(n);
        };
        const auto at = std::search(text.begin(), text.end(), needle.begin(), needle.end(), same);
        return at == text.end() ? text.npos : static_cast<std::size_t>(at - text.begin());
    };
    const std::string alphabet = std::string("abAB_@`") + "\xA7\xDE\xDF\xE5";
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 100), needleLength(1, 12);
    std::vector<ByteNeedle::Scan> scans{scanSse2};
    if (__builtin_cpu_supports("avx2"))
        scans.push_back(scanAvx2);
    for (int round = 0; round < 20000; ++round) {
        std::string text(length(random), ' '), needle(needleLength(random), ' ');
        for (char &c : text)
            c = alphabet[pick(random)];
        for (char &c : needle)
            c = "ab_@`"[pick(random) % 5];
        const bool caseSensitive = round % 2;
        const bool high = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        for (ByteNeedle::Scan scan : scans) {
            const ByteNeedle::Result result = ByteNeedle(needle, caseSensitive, fold, scan).find(text, true);
            const std::size_t at = firstMatch(text, needle, caseSensitive);
            ASSERT_EQ(result.found, at != text.npos) << PrintToString(text) << " / " << needle;
            if (result.found) {
                ASSERT_EQ(result.at, at) << PrintToString(text) << " / " << needle;
            } else {
                ASSERT_EQ(result.highBytes, high) << PrintToString(text);
            }
        }
    }
    // One byte beyond ASCII, before or under the needle's rarest byte ("@"), is seen too.
    for (std::size_t size = 0; size <= 100; ++size) {
        for (std::size_t at = 0; at < size; ++at) {
            std::string text(size, 'a');
            text[at] = '\xE5';
            for (ByteNeedle::Scan scan : scans) {
                for (const bool caseSensitive : {true, false})
                    ASSERT_TRUE(ByteNeedle("aaaaaaa@", caseSensitive, fold, scan).find(text, true).highBytes) << size << " " << at;
            }
        }
    }
}

TEST(HitFinding, ExactRangesOfTheCasesThatMatter)
{
    for (const CaseFields &c : readCases("hit_ranges")) {
        EXPECT_EQ(piecesOf(findHits(c.at(0), c.at(1), yes(c.at(2)), yes(c.at(3)), english)), hitsOf(c, 4))
            << PrintToString(c.at(0)) << " / " << c.at(1);
    }

    // Decoded text beyond Mac OS Roman: a decomposed é against a composed one.
    const HitFinder composed(u"caf\u00e9", false, true, english);
    EXPECT_EQ(piecesOf(composed.findHits(u"a cafe\u0301.")), (Ranges{{{2, 7}}}));
    const HitFinder folded(u"\u00c9", false, false, english);
    EXPECT_EQ(piecesOf(folded.findHits(u"E\u0301 e\u0301 \u00e9 e")), (Ranges{{{0, 2}}, {{3, 5}}, {{6, 7}}}));
    // Turkic folding: I is dotless ı there.
    EXPECT_TRUE(findHits("file", "FILE", false, false, turkish).empty());
    EXPECT_EQ(piecesOf(findHits("f\xF5le", "FILE", false, false, turkish)), (Ranges{{{0, 4}}}));
}

TEST(HitFinding, ComparedFormTakenInChunksIsTheWholeTextForm)
{
    // Letters with marks of several classes, marks alone, Hangul jamo that
    // compose, letters that fold to more than one letter or to a letter that
    // combines backwards, the Turkic I, the Ångström sign.
    const std::u16string alphabet = u"aAeEiIsS \u00e9\u00c9\u0301\u0323\u0345\u0344\u00df\u1e9e\u0130\u0131"
                                    u"\u212b\u1100\u1161\u11a8\uac00\ufb01\u01c5\u03a3\u0390\u1f80\u0f73";
    std::mt19937 random(161);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 12);
    for (const icu::Locale *locale : {&english, &turkish}) {
        for (bool caseSensitive : {false, true}) {
            const UnicodeMatcher matcher(u"x", caseSensitive, *locale);
            for (int round = 0; round < 20000; ++round) {
                std::u16string text(length(random), u' ');
                for (char16_t &c : text)
                    c = alphabet[pick(random)];
                SourceMap origins;
                const std::u16string chunked = matcher.comparedForm(text, &origins);
                ASSERT_EQ(chunked, wholeTextForm(text, caseSensitive, matcher.foldsTurkic()))
                    << "round " << round << " case sensitive " << caseSensitive;
                ASSERT_EQ(origins.size(), chunked.size());
                std::vector<TextRange> all;
                origins.appendSourceOf(0, chunked.size(), all);
                const std::vector<TextRange> whole = {{0, text.size()}};
                ASSERT_EQ(all, text.empty() ? std::vector<TextRange>() : whole);
            }
        }
    }
}
