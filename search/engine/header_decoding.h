#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// How a header's bytes become text, for the search, its hits and the
// preview alike: bytes that are valid UTF-8 are UTF-8; any others are Mac OS
// Roman, which gives every byte a character. ASCII reads the same either way.
enum class Decoding { MacRoman, Utf8 };

// Where the first byte beyond ASCII stands, or the size: many bytes at a
// time, since most headers are ASCII throughout.
std::size_t asciiPrefix(std::string_view bytes);
inline bool isAscii(std::string_view bytes)
{
    return asciiPrefix(bytes) == bytes.size();
}

// UTF-8 as Unicode defines it, also when the bytes come in pieces cut
// anywhere: shortest forms only, no surrogates, nothing beyond U+10FFFF.
class Utf8Check
{
public:
    void feed(std::string_view bytes);
    // The bytes have ended: a character they cut short is not UTF-8.
    void finish();
    bool invalid() const { return m_invalid; }
    bool beyondAscii() const { return m_beyondAscii; }

private:
    unsigned char m_partial[4] = {}; // a character the last piece cut short
    std::size_t m_partialLength = 0;
    bool m_invalid = false;
    bool m_beyondAscii = false;
};

bool isUtf8(std::string_view bytes);
Decoding headerDecoding(std::string_view header);

// The text of bytes decoded so, into out, which has room for bytes.size()
// units: no decoding makes more units than bytes. Gives the units written.
// Bytes that the decoding does not take (UTF-8 that a header cut short, say)
// become U+FFFD.
std::size_t decodeHeader(std::string_view bytes, Decoding decoding, char16_t *out);
void decodeHeader(std::string_view bytes, Decoding decoding, std::u16string &text);
// By the rule.
std::u16string decodeHeader(std::string_view header);

// A header's decoding, worked out from all of its bytes when first asked:
// most decisions do not depend on it. Or one already known, for a header
// that is searched in pieces.
class LazyDecoding
{
public:
    explicit LazyDecoding(std::string_view header) : m_header(header) {}
    explicit LazyDecoding(Decoding known) : m_decoding(known) {}

    Decoding get()
    {
        if (!m_decoding)
            m_decoding = headerDecoding(m_header);
        return *m_decoding;
    }

private:
    std::string_view m_header;
    std::optional<Decoding> m_decoding;
};
