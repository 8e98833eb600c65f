#include "unicode_match.h"

#include "comment_stripping.h"

#include <unicode/normalizer2.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>

#include <cstring>

namespace {

std::u16string normalized(const icu::Normalizer2 *form, std::u16string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    icu::UnicodeString result;
    if (form)
        form->normalize(source, result, status);
    if (!form || U_FAILURE(status))
        return std::u16string(text);
    return {result.getBuffer(), static_cast<std::size_t>(result.length())};
}

std::u16string decomposed(std::u16string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    return normalized(icu::Normalizer2::getNFDInstance(status), text);
}

std::u16string composed(std::u16string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    return normalized(icu::Normalizer2::getNFCInstance(status), text);
}

std::u16string folded(std::u16string_view text, uint32_t options)
{
    std::u16string result(text.size() + 16, u'\0');
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = u_strFoldCase(result.data(), static_cast<int32_t>(result.size()),
                                             text.data(), static_cast<int32_t>(text.size()),
                                             options, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            result.resize(static_cast<std::size_t>(length));
            continue;
        }
        result.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
        return result;
    }
}

} // namespace

UnicodeMatcher::UnicodeMatcher(std::u16string_view searchString, bool caseSensitive,
                               const icu::Locale &locale)
    : m_caseSensitive(caseSensitive)
    , m_turkic(!caseSensitive
               && (std::strcmp(locale.getLanguage(), "tr") == 0
                   || std::strcmp(locale.getLanguage(), "az") == 0))
{
    m_search = comparedForm(searchString);
    UErrorCode status = U_ZERO_ERROR;
    m_characters.reset(icu::BreakIterator::createCharacterInstance(locale, status));
    if (U_FAILURE(status))
        m_characters.reset();
}

UnicodeMatcher::~UnicodeMatcher() = default;

std::u16string UnicodeMatcher::comparedForm(std::u16string_view text) const
{
    if (m_caseSensitive)
        return decomposed(text);
    // Folding goes from the composed form, so that a decomposed İ folds as
    // the İ it is (to "i" under Turkic rules); canonically equivalent texts
    // share that form and so fold alike.
    return decomposed(folded(composed(text), m_turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I
                                                      : U_FOLD_CASE_DEFAULT));
}

bool UnicodeMatcher::containedIn(std::u16string_view text) const
{
    if (m_search.empty())
        return false;
    const std::u16string compared = comparedForm(text);
    std::size_t at = compared.find(m_search);
    if (at == std::u16string::npos || !m_characters)
        return at != std::u16string::npos;

    UErrorCode status = U_ZERO_ERROR;
    UText *utext = utext_openUChars(nullptr, compared.data(), static_cast<int64_t>(compared.size()), &status);
    m_characters->setText(utext, status);
    const auto boundary = [&](std::size_t offset) {
        return offset == 0 || offset == compared.size()
               || m_characters->isBoundary(static_cast<int32_t>(offset));
    };
    bool found = false;
    for (; at != std::u16string::npos; at = compared.find(m_search, at + 1)) {
        if (boundary(at) && boundary(at + m_search.size())) {
            found = true;
            break;
        }
    }
    utext_close(utext);
    return found;
}

bool stringContainsString(const std::u16string *text, std::u16string_view searchString,
                          bool ignoreComments, bool caseSensitive)
{
    if (!text)
        return false;
    const UnicodeMatcher matcher(searchString, caseSensitive);
    if (!matcher.containedIn(*text))
        return false;
    if (!ignoreComments)
        return true;
    return matcher.containedIn(removeCommentBlocksFromString(removeCommentLinesFromString(*text)));
}
