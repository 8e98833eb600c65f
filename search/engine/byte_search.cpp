#include "byte_search.h"

#include "byte_frequency.h"
#include "byte_scan.h"
#include "header_decoding.h"

#include <algorithm>
#include <cstring>
#include <emmintrin.h>
#include <tuple>
#include <utility>

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

// How often a byte of the needle lets a text byte through the scan's
// filter: without case sensitivity, both bytes that ORing 0x20 makes one.
unsigned frequencyInFilter(unsigned char byte, bool caseSensitive)
{
    if (caseSensitive)
        return byteFrequency(byte);
    return byteFrequency(byte | 0x20) + byteFrequency((byte | 0x20) & ~0x20);
}

// The places of the needle's rarest byte and of the rarest other byte,
// else of another place, if the needle has more than one.
std::pair<std::size_t, std::size_t> rarestPlaces(const std::string &needle, bool caseSensitive)
{
    const auto frequency = [&](std::size_t at) {
        return frequencyInFilter(static_cast<unsigned char>(needle[at]), caseSensitive);
    };
    const char caseBit = caseSensitive ? 0 : 0x20;
    const auto filtersAlike = [&](std::size_t a, std::size_t b) { return (needle[a] | caseBit) == (needle[b] | caseBit); };
    std::size_t rarest = 0;
    for (std::size_t at = 1; at < needle.size(); ++at) {
        if (frequency(at) < frequency(rarest))
            rarest = at;
    }
    std::size_t next = rarest == 0 && needle.size() > 1 ? needle.size() - 1 : 0;
    for (std::size_t at = 0; at < needle.size(); ++at) {
        if (!filtersAlike(at, rarest) && (filtersAlike(next, rarest) || frequency(at) < frequency(next)))
            next = at;
    }
    return {rarest, next};
}

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
    std::tie(m_rarest, m_nextRarest) = rarestPlaces(m_needle, m_caseSensitive);
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
    const auto watchFrom = [&](std::size_t from, std::size_t count = std::string_view::npos) {
        if (watchHighBytes && !result.highBytes)
            result.highBytes = !isAscii(text.substr(from, count));
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
    // The few positions left are filtered as the scan does, which spares
    // the short texts of a piecewise search a full comparison at each.
    const char caseBit = m_caseSensitive ? 0 : 0x20;
    const char rare = m_needle[m_rarest] | caseBit, nextRare = m_needle[m_nextRarest] | caseBit;
    for (std::size_t p = i; p <= last; ++p) {
        if ((data[p + m_rarest] | caseBit) == rare && (data[p + m_nextRarest] | caseBit) == nextRare
            && matchesAt(data + p)) {
            result.found = true;
            result.at = p;
            return result;
        }
    }
    // The scan watched the bytes from the rarest one's place on: its blocks
    // load from data + i + rarest().
    watchFrom(0, std::min(m_rarest, i));
    watchFrom(i);
    return result;
}
