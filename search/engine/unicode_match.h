#pragma once

#include "source_map.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>

#include <functional>
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

    // A text as it is compared; origins, when given, learns where each
    // piece of the result came from in text.
    std::u16string comparedForm(std::u16string_view text, SourceMap *origins = nullptr) const;
    // The same into result, whose room is kept for the next one.
    void comparedForm(std::u16string_view text, SourceMap *origins, std::u16string &result) const;

    // Calls found(begin, end) for every place of a compared text that holds
    // the search string without splitting a character, leftmost first, each
    // after the end of the one before, until found answers false.
    void occurrences(std::u16string_view compared,
                     const std::function<bool(std::size_t begin, std::size_t end)> &found) const;
    bool occursIn(std::u16string_view compared) const;

private:
    bool m_caseSensitive;
    bool m_turkic;
    std::u16string m_search;
    std::unique_ptr<icu::BreakIterator> m_characters;
};
