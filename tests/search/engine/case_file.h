#pragma once

// Case tables kept as text beside the tests, so that a case reads as one
// line and a new one needs no code: one case a line, fields apart by spaces,
// text in double quotes with C's escapes (\xHH is one byte, \uHHHH one
// character in UTF-8); what follows a '#' between fields is a comment.

#include "hit_finder.h"
#include "source_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <unicode/unistr.h>
#include <vector>

using CaseFields = std::vector<std::string>;

// A field with its escapes replaced.
inline std::string unescaped(const std::string &field)
{
    std::string text;
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] != '\\' || ++at == field.size()) {
            text += field[at];
        } else if (field[at] == 'x' || field[at] == 'u') {
            const std::size_t digits = field[at] == 'x' ? 2 : 4;
            const auto value = std::stoul(field.substr(at + 1, digits), nullptr, 16);
            if (digits == 2)
                text += static_cast<char>(value);
            else
                icu::UnicodeString(static_cast<char16_t>(value)).toUTF8String(text);
            at += digits;
        } else {
            text += std::string("\n\r\t\v\\").at(std::string("nrtv\\").find(field[at]));
        }
    }
    return text;
}

// The cases of cases/NAME.txt, each as its fields.
inline std::vector<CaseFields> readCases(const std::string &name)
{
    std::ifstream file(SEARCH_CASES_DIR "/" + name + ".txt");
    EXPECT_TRUE(file.is_open()) << name;
    std::vector<CaseFields> cases;
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        CaseFields fields;
        // Quotes keep their backslashes for unescaped(), so a quote in a text is \x22.
        for (std::string field; (words >> std::ws).peek() != '#' && words >> std::quoted(field, '"', '\a');)
            fields.push_back(unescaped(field));
        if (!fields.empty())
            cases.push_back(fields);
    }
    EXPECT_FALSE(cases.empty()) << name;
    return cases;
}

// A field that says yes or no.
inline bool yes(const std::string &field)
{
    EXPECT_TRUE(field == "yes" || field == "no") << field;
    return field == "yes";
}

inline std::u16string utf16(const std::string &utf8)
{
    const icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
    return {text.getBuffer(), static_cast<std::size_t>(text.length())};
}

using Ranges = std::vector<std::vector<TextRange>>;

inline Ranges piecesOf(const std::vector<Hit> &hits)
{
    Ranges ranges;
    for (const Hit &hit : hits)
        ranges.push_back(hit.pieces);
    return ranges;
}

// Hits written from the field at first on, one a field: its pieces as
// begin-end, joined by +.
inline Ranges hitsOf(const CaseFields &fields, std::size_t first)
{
    Ranges hits;
    for (std::size_t field = first; field < fields.size(); ++field) {
        std::string hit = fields[field];
        std::replace(hit.begin(), hit.end(), '+', ' ');
        std::replace(hit.begin(), hit.end(), '-', ' ');
        std::istringstream numbers(hit);
        std::vector<TextRange> pieces;
        for (TextRange piece; numbers >> piece.begin >> piece.end;)
            pieces.push_back(piece);
        hits.push_back(pieces);
    }
    return hits;
}
