#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A range [begin, end) of characters of a text.
struct TextRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    bool operator==(const TextRange &) const = default;
};

// Where the characters of a text made from another one came from. The made
// text is a row of pieces: a piece is either copied, character for
// character, from a range of the source, or made as a whole from one (a
// character whose compared form has another length, a letter with its
// marks), and then any part of it stands for all of that range.
// Texts up to 4 GiB: offsets are kept in 32 bits, which halves the map of a
// text that changes at every character.
class SourceMap
{
public:
    void addCopied(std::size_t sourceBegin, std::size_t length);
    void addWhole(std::size_t madeLength, std::size_t sourceBegin, std::size_t sourceEnd);
    // Forgets everything but the room it had.
    void clear()
    {
        m_pieces.clear();
        m_size = 0;
    }

    // The length of the made text.
    std::size_t size() const { return m_size; }

    // Appends the source ranges of made[begin, end) to ranges, widened to
    // whole pieces; a range that meets the last one joins it.
    void appendSourceOf(std::size_t begin, std::size_t end, std::vector<TextRange> &ranges) const;

private:
    struct Piece {
        std::uint32_t made;   // where it starts in the made text
        std::uint32_t source; // where its source range starts
        std::uint32_t sourceLength;
        bool whole;
    };
    std::size_t madeEnd(std::size_t piece) const;

    std::vector<Piece> m_pieces;
    std::size_t m_size = 0;
};

// The output the comment removal writes when its result must be traced
// back: the text it keeps, and where each kept piece stood. Every piece it
// appends is a part of the text it was given. Text and map are the caller's,
// so that their room serves the next text too.
template <typename Char>
class MappedText
{
public:
    MappedText(std::basic_string_view<Char> source, std::basic_string<Char> &text, SourceMap &map)
        : m_source(source), m_text(text), m_map(map)
    {
        clear();
        // Room for all of source at once: growing a text of megabytes step
        // by step costs more than the stripping.
        m_text.reserve(source.size());
    }

    void clear()
    {
        m_text.clear();
        m_map.clear();
    }
    void append(std::basic_string_view<Char> piece)
    {
        m_map.addCopied(static_cast<std::size_t>(piece.data() - m_source.data()), piece.size());
        m_text.append(piece);
    }

private:
    std::basic_string_view<Char> m_source;
    std::basic_string<Char> &m_text;
    SourceMap &m_map;
};
