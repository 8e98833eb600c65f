#include "byte_search.h"

#include "byte_scan.h"
#include "header_decoding.h"

#include <cstring>
#include <emmintrin.h>

namespace {

struct Sse2 {
    static constexpr std::size_t width = 16;
    static __m128i splat(char c) { return _mm_set1_epi8(c); }
    static __m128i load(const char *at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)); }
    static unsigned matches(__m128i head, __m128i tail, __m128i loosen, __m128i first, __m128i final)
    {
        return static_cast<unsigned>(_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(head, loosen), first),
                          _mm_cmpeq_epi8(_mm_or_si128(tail, loosen), final))));
    }
    static __m128i either(__m128i a, __m128i b) { return _mm_or_si128(a, b); }
    static bool anyHigh(__m128i v) { return _mm_movemask_epi8(v) != 0; }
};

} // namespace

std::size_t scanSse2(const ByteNeedle &needle, const char *data, std::size_t last, bool watch,
                     ByteNeedle::Result &result)
{
    return scanWith<Sse2>(needle, data, last, watch, result);
}

ByteNeedle::ByteNeedle(std::string needle, bool caseSensitive,
                       const std::array<unsigned char, 256> &fold, Scan scan)
    : m_needle(std::move(needle))
    , m_caseSensitive(caseSensitive)
    , m_fold(fold)
    , m_scan(scan ? scan : __builtin_cpu_supports("avx2") ? scanAvx2 : scanSse2)
{
}

bool ByteNeedle::matchesAt(const char *at) const
{
    if (m_caseSensitive)
        return std::memcmp(at, m_needle.data(), m_needle.size()) == 0;
    for (std::size_t k = 0; k < m_needle.size(); ++k) {
        if (m_fold[static_cast<unsigned char>(at[k])] != static_cast<unsigned char>(m_needle[k]))
            return false;
    }
    return true;
}

ByteNeedle::Result ByteNeedle::find(std::string_view text, bool watchHighBytes) const
{
    Result result;
    const std::size_t n = m_needle.size();
    const auto watchFrom = [&](std::size_t from) {
        if (watchHighBytes && !result.highBytes)
            result.highBytes = !isAscii(text.substr(from));
    };
    if (n == 0 || text.size() < n) {
        watchFrom(0);
        return result;
    }
    const char *data = text.data();
    const std::size_t last = text.size() - n; // the last start position
    const std::size_t i = m_scan(*this, data, last, watchHighBytes, result);
    if (result.found)
        return result;
    for (std::size_t p = i; p <= last; ++p) {
        if (matchesAt(data + p)) {
            result.found = true;
            result.at = p;
            return result;
        }
    }
    watchFrom(i);
    return result;
}
