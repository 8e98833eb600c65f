#include "unicode_match.h"

#include <unicode/normalizer2.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf16.h>

#include <algorithm>
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

const icu::Normalizer2 *composition()
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *form = icu::Normalizer2::getNFCInstance(status);
    return U_SUCCESS(status) ? form : nullptr;
}

const icu::Normalizer2 *decomposition()
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *form = icu::Normalizer2::getNFDInstance(status);
    return U_SUCCESS(status) ? form : nullptr;
}

UChar32 firstCodePoint(std::u16string_view text)
{
    std::size_t at = 0;
    UChar32 c;
    U16_NEXT(text.data(), at, text.size(), c);
    return c;
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

// Case sensitive, the compared form is the decomposed text; otherwise the
// decomposed case folding of the composed text, so that a decomposed İ folds
// as the İ it is (to "i" under Turkic rules), and canonically equivalent
// texts share that form and so fold alike.
//
// The text is taken in chunks that start where normalization has a boundary
// (a character that never combines with what stands before it): composing
// and decomposing a text is then the same as doing it chunk by chunk, and
// folding goes character by character. Where a folded chunk starts with a
// character that would combine backwards, chunks join (ICU's data holds no
// such folding today; the rule keeps the equality by definition). So each
// chunk of the result knows the characters it came from, and a run of ASCII,
// where every character is a chunk of its own, costs no call into ICU.
std::u16string UnicodeMatcher::comparedForm(std::u16string_view text, SourceMap *origins) const
{
    std::u16string result;
    comparedForm(text, origins, result);
    return result;
}

void UnicodeMatcher::comparedForm(std::u16string_view text, SourceMap *origins, std::u16string &result) const
{
    static const icu::Normalizer2 *const composed = composition();
    static const icu::Normalizer2 *const decomposed = decomposition();
    const uint32_t foldOptions = m_turkic ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
    const auto form = [&](std::u16string_view chunk) {
        return m_caseSensitive ? std::u16string(chunk) : folded(normalized(composed, chunk), foldOptions);
    };
    result.clear();
    if (!composed || !decomposed) {
        result = normalized(decomposed, form(text));
        if (origins)
            origins->addWhole(result.size(), 0, text.size());
        return;
    }
    const auto boundaryBefore = [&](UChar32 c) {
        return decomposed->hasBoundaryBefore(c) && (m_caseSensitive || composed->hasBoundaryBefore(c));
    };
    const auto asciiForm = [&](char16_t c) -> char16_t {
        if (m_caseSensitive || c < u'A' || c > u'Z')
            return c;
        return m_turkic && c == u'I' ? u'\u0131' : char16_t(c + (u'a' - u'A'));
    };

    result.reserve(text.size() + text.size() / 8);
    std::u16string pending; // folded, not yet decomposed
    std::size_t pendingBegin = 0, pendingEnd = 0;
    bool hasPending = false;
    const auto flush = [&] {
        if (!hasPending)
            return;
        const std::size_t before = result.size();
        result += normalized(decomposed, pending);
        if (origins)
            origins->addWhole(result.size() - before, pendingBegin, pendingEnd);
        hasPending = false;
    };

    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        // ASCII followed by ASCII is a chunk of one character, which folds
        // to one character; the last ASCII before a mark may take the mark.
        std::size_t run = i;
        while (run < n && text[run] < 0x80)
            ++run;
        if (run < n && run > i)
            --run;
        if (run > i) {
            flush();
            const std::size_t before = result.size();
            result.append(text.substr(i, run - i));
            if (!m_caseSensitive)
                std::transform(result.begin() + static_cast<std::ptrdiff_t>(before), result.end(),
                               result.begin() + static_cast<std::ptrdiff_t>(before), asciiForm);
            if (origins)
                origins->addCopied(i, run - i);
            i = run;
            continue;
        }
        std::size_t end = i;
        UChar32 c;
        U16_NEXT(text.data(), end, n, c);
        for (std::size_t next = end; next < n; end = next) {
            U16_NEXT(text.data(), next, n, c);
            if (boundaryBefore(c))
                break;
        }
        std::u16string chunk = form(text.substr(i, end - i));
        if (hasPending && !chunk.empty() && !decomposed->hasBoundaryBefore(firstCodePoint(chunk))) {
            pending += chunk;
        } else {
            flush();
            pending = std::move(chunk);
            pendingBegin = i;
            hasPending = true;
        }
        pendingEnd = end;
        i = end;
    }
    flush();
}

void UnicodeMatcher::occurrences(std::u16string_view compared,
                                 const std::function<bool(std::size_t, std::size_t)> &found) const
{
    if (m_search.empty())
        return;
    std::size_t at = compared.find(m_search);
    if (at == std::u16string_view::npos)
        return;
    UText *utext = nullptr;
    if (m_characters) {
        UErrorCode status = U_ZERO_ERROR;
        utext = utext_openUChars(nullptr, compared.data(), static_cast<int64_t>(compared.size()), &status);
        m_characters->setText(utext, status);
    }
    // Between two ASCII characters lies a character boundary, but for CR
    // LF: no ASCII character extends or prepends to another.
    const auto boundary = [&](std::size_t offset) {
        if (!m_characters || offset == 0 || offset == compared.size())
            return true;
        const char16_t before = compared[offset - 1], after = compared[offset];
        if (before < 0x80 && after < 0x80)
            return before != u'\r' || after != u'\n';
        return static_cast<bool>(m_characters->isBoundary(static_cast<int32_t>(offset)));
    };
    while (at != std::u16string_view::npos) {
        const std::size_t end = at + m_search.size();
        if (boundary(at) && boundary(end)) {
            if (!found(at, end))
                break;
            at = compared.find(m_search, end);
        } else {
            at = compared.find(m_search, at + 1);
        }
    }
    if (utext)
        utext_close(utext);
}

bool UnicodeMatcher::occursIn(std::u16string_view compared) const
{
    bool found = false;
    occurrences(compared, [&](std::size_t, std::size_t) { return !(found = true); });
    return found;
}

bool UnicodeMatcher::containedIn(std::u16string_view text) const
{
    return !m_search.empty() && occursIn(comparedForm(text));
}
