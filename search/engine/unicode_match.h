#pragma once

#include <unicode/brkiter.h>
#include <unicode/locid.h>

#include <memory>
#include <string>
#include <string_view>

// Whether a text contains a search string the way the platform compares
// text: canonically equivalent sequences are equal (a precomposed letter
// and its decomposed form), a match never splits a character, and without
// case sensitivity letters are compared by full case folding under the
// locale (Turkish and Azeri fold I to dotless ı).
class UnicodeMatcher
{
public:
    UnicodeMatcher(std::u16string_view searchString, bool caseSensitive,
                   const icu::Locale &locale = icu::Locale::getDefault());
    ~UnicodeMatcher();

    bool containedIn(std::u16string_view text) const;

    // The search string as it is compared: decomposed, and folded when case
    // does not matter.
    const std::u16string &comparedForm() const { return m_search; }
    // Folding by the Turkic rules, where ASCII "I" folds outside ASCII.
    bool foldsTurkic() const { return m_turkic; }

    std::u16string comparedForm(std::u16string_view text) const;

private:
    bool m_caseSensitive;
    bool m_turkic;
    std::u16string m_search;
    std::unique_ptr<icu::BreakIterator> m_characters;
};

// The platform's test for one header text: absent text and an empty search
// string never match; with comments ignored, the text must match both
// before and after line comments and then block comments are removed.
bool stringContainsString(const std::u16string *text, std::u16string_view searchString,
                          bool ignoreComments, bool caseSensitive);
