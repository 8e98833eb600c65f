#include "header_decoding.h"

#include "mac_roman.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <emmintrin.h>

namespace {

enum class Step { Whole, CutShort, Invalid };

// One character of UTF-8 from at, which moves past it. ICU's reading is
// Unicode's: a sequence that the end of the bytes interrupts, after a lead
// byte and fitting trail bytes, is cut short rather than invalid.
Step nextCharacter(const unsigned char *bytes, std::size_t &at, std::size_t size)
{
    const std::size_t start = at;
    UChar32 c;
    U8_NEXT(bytes, at, size, c);
    if (c >= 0)
        return Step::Whole;
    return at == size && U8_IS_LEAD(bytes[start]) ? Step::CutShort : Step::Invalid;
}

const unsigned char *unsignedData(std::string_view bytes)
{
    return reinterpret_cast<const unsigned char *>(bytes.data());
}

std::size_t decodeUtf8(std::string_view bytes, char16_t *out)
{
    const unsigned char *data = unsignedData(bytes);
    const std::size_t size = bytes.size();
    std::size_t at = 0, written = 0;
    while (at < size) {
        const std::size_t run = asciiPrefix(bytes.substr(at));
        std::copy(data + at, data + at + run, out + written);
        at += run;
        written += run;
        if (at == size)
            break;
        UChar32 c;
        U8_NEXT_OR_FFFD(data, at, size, c);
        U16_APPEND_UNSAFE(out, written, c);
    }
    return written;
}

std::size_t decodeMacRomanInto(std::string_view bytes, char16_t *out)
{
    static const auto characters = [] {
        std::array<char16_t, 256> table{};
        for (int byte = 0; byte < 256; ++byte)
            table[static_cast<std::size_t>(byte)] = macRomanCharacter(static_cast<unsigned char>(byte));
        return table;
    }();
    const unsigned char *data = unsignedData(bytes);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = characters[data[i]];
    return bytes.size();
}

} // namespace

// Four vectors at a time, ORed: one test of the high bits for 64 bytes.
std::size_t asciiPrefix(std::string_view bytes)
{
    const char *data = bytes.data();
    const std::size_t size = bytes.size();
    const auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at)); };
    std::size_t i = 0;
    for (; i + 64 <= size; i += 64) {
        const __m128i any = _mm_or_si128(_mm_or_si128(load(i), load(i + 16)), _mm_or_si128(load(i + 32), load(i + 48)));
        if (_mm_movemask_epi8(any) != 0)
            break;
    }
    for (; i + 16 <= size; i += 16) {
        if (const int high = _mm_movemask_epi8(load(i)))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
    }
    for (; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return i;
    }
    return size;
}

void Utf8Check::feed(std::string_view bytes)
{
    if (m_invalid)
        return;
    const unsigned char *data = unsignedData(bytes);
    const std::size_t size = bytes.size();
    std::size_t at = 0;
    if (m_partialLength > 0) {
        const std::size_t taken = std::min(size, sizeof m_partial - m_partialLength);
        std::memcpy(m_partial + m_partialLength, data, taken);
        const std::size_t length = m_partialLength + taken;
        std::size_t end = 0;
        switch (nextCharacter(m_partial, end, length)) {
        case Step::Whole:
            at = end - m_partialLength;
            m_partialLength = 0;
            break;
        case Step::CutShort: // this piece too ended inside it
            m_partialLength = length;
            return;
        case Step::Invalid:
            m_invalid = true;
            return;
        }
    }
    while (at < size) {
        at += asciiPrefix(bytes.substr(at));
        if (at == size)
            return;
        m_beyondAscii = true;
        const std::size_t start = at;
        switch (nextCharacter(data, at, size)) {
        case Step::Whole:
            break;
        case Step::CutShort:
            m_partialLength = size - start;
            std::memcpy(m_partial, data + start, m_partialLength);
            return;
        case Step::Invalid:
            m_invalid = true;
            return;
        }
    }
}

void Utf8Check::finish()
{
    if (m_partialLength > 0)
        m_invalid = true;
    m_partialLength = 0;
}

bool isUtf8(std::string_view bytes)
{
    Utf8Check check;
    check.feed(bytes);
    check.finish();
    return !check.invalid();
}

Decoding headerDecoding(std::string_view header)
{
    return isUtf8(header) ? Decoding::Utf8 : Decoding::MacRoman;
}

std::size_t decodeHeader(std::string_view bytes, Decoding decoding, char16_t *out)
{
    return decoding == Decoding::Utf8 ? decodeUtf8(bytes, out) : decodeMacRomanInto(bytes, out);
}

void decodeHeader(std::string_view bytes, Decoding decoding, std::u16string &text)
{
    text.resize(bytes.size());
    text.resize(decodeHeader(bytes, decoding, text.data()));
}

std::u16string decodeHeader(std::string_view header)
{
    std::u16string text;
    decodeHeader(header, headerDecoding(header), text);
    return text;
}
