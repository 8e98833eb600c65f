#include "case_file.h"
#include "comment_stripping.h"
#include "reference_stripping.h"

#include <gtest/gtest.h>

#include <random>
#include <unicode/unistr.h>

using testing::PrintToString;

TEST(CommentStripping, NamedCases)
{
    for (const CaseFields &c : readCases("comment_stripping")) {
        const std::u16string text = utf16(c.at(0));
        SCOPED_TRACE(PrintToString(text));
        EXPECT_EQ(removeCommentLinesFromString(text), utf16(c.at(1)));
        EXPECT_EQ(removeCommentBlocksFromString(text), utf16(c.at(2)));
    }
}

TEST(CommentStripping, OnePassAgreesWithTheDefiningProcedureOnRandomTexts)
{
    const std::u16string alphabet = u"////****\n\v\f\r\u0085\u2028\u2029ab x\u00e9\u20ac";
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 40);
    for (int round = 0; round < 100000; ++round) {
        std::u16string text(length(random), u' ');
        for (char16_t &c : text)
            c = alphabet[pick(random)];
        // Now and then a long run without a marker or a break, as comments
        // have, which the passes over bytes skip many at a time.
        if (round % 4 == 0)
            text.insert(text.begin() + static_cast<std::ptrdiff_t>(random() % (text.size() + 1)), 16 + random() % 40, u'a');
        std::u16string both;
        comments::removeComments<char16_t>(text, both);
        ASSERT_EQ(both, removeCommentBlocksFromString(removeCommentLinesFromString(text))) << PrintToString(text);
        // Bytes take the same path for every marker and break they can hold.
        std::string bytes;
        for (char16_t c : text)
            bytes += c < 0x80 ? static_cast<char>(c) : '\xA7';
        std::u16string widened;
        std::string buffer;
        for (char c : comments::withoutComments(bytes, buffer))
            widened += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'\u00e9';
        std::u16string asText;
        for (char c : bytes)
            asText += static_cast<unsigned char>(c) < 0x80 ? char16_t(c) : u'\u00e9';
        ASSERT_EQ(widened, removeCommentBlocksFromString(removeCommentLinesFromString(asText))) << PrintToString(text);
        // So do the bytes of UTF-8, whose breaks beyond ASCII count when
        // the header is UTF-8.
        std::string utf8;
        icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
        const std::string_view stripped = comments::withoutComments(utf8, buffer, comments::HeaderBreaks{[] { return true; }});
        const icu::UnicodeString back = icu::UnicodeString::fromUTF8(icu::StringPiece(stripped.data(), static_cast<int32_t>(stripped.size())));
        ASSERT_EQ(std::u16string(back.getBuffer(), static_cast<std::size_t>(back.length())), both) << PrintToString(text);
    }
}
