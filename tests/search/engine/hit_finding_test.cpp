#include "hit_finder.h"
#include "unicode_match.h"

#include <gtest/gtest.h>

#include <random>
#include <unicode/normalizer2.h>
#include <unicode/ustring.h>

namespace {

const icu::Locale english("en_US");
const icu::Locale turkish("tr_TR");

using Ranges = std::vector<std::vector<TextRange>>;

Ranges piecesOf(const std::vector<Hit> &hits)
{
    Ranges ranges;
    for (const Hit &hit : hits)
        ranges.push_back(hit.pieces);
    return ranges;
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

} // namespace

// For gtest's messages.
void PrintTo(const TextRange &range, std::ostream *out)
{
    *out << "[" << range.begin << "," << range.end << ")";
}

TEST(HitFinding, ExactRangesOfTheCasesThatMatter)
{
    const struct {
        const char *bytes; // Mac OS Roman, as headers are read
        const char *search; // UTF-8
        bool ignoreComments, caseSensitive;
        Ranges expected;
    } cases[] = {
        // A hit across a removed block comment: the pieces on either side.
        {"NSFoo NS/* x */Foo", "NSFoo", true, true, {{{0, 5}}, {{6, 8}, {15, 18}}}},
        {"NSFoo NS/* x */Foo", "NSFoo", false, true, {{{0, 5}}}},
        // Text inside comments is never a hit; the raw text must match first.
        {"/* NSFoo */ NSFoo // NSFoo\nNSFoo", "NSFoo", true, true, {{{12, 17}}, {{27, 32}}}},
        {"NS/* x */Foo", "NSFoo", true, true, {}},
        {"a // NSFoo\rNSFoo", "NSFoo", true, true, {{{11, 16}}}},
        {"/* x NSFoo", "NSFoo", true, true, {{{5, 10}}}},
        // A folded ß: the whole letter, also when the search takes half of it.
        {"stra\xA7" "e", "STRASSE", true, false, {{{0, 6}}}},
        {"\xA7", "s", false, false, {{{0, 1}}}},
        {"\xA7s", "SS", false, false, {{{0, 1}}}},
        {"stra\xA7" "e", "STRASSE", false, true, {}},
        {"\xDEle", "FILE", false, false, {{{0, 3}}}},
        // A composed é in the text against a decomposed one in the search,
        // and no e inside an é.
        {"caf\x8E", "cafe\xCC\x81", false, true, {{{0, 4}}}},
        {"caf\x8E", "e", false, false, {}},
        {"CAF\x83 caf\x8E", "caf\xC3\xA9", false, false, {{{0, 4}}, {{5, 9}}}},
        // Hits do not overlap.
        {"aaaaa", "aa", false, true, {{{0, 2}}, {{2, 4}}}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(piecesOf(findHits(c.bytes, c.search, c.ignoreComments, c.caseSensitive, english)), c.expected)
            << c.bytes << " / " << c.search;
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
