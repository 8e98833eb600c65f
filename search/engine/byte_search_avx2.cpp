// Compiled with -mavx2 and called only where the processor has AVX2: nothing
// here may be shared with the other files, lest AVX2 code reach them.

#include "byte_scan.h"

#include <immintrin.h>

namespace {

struct Avx2 {
    static constexpr std::size_t width = 32;
    static __m256i splat(char c) { return _mm256_set1_epi8(c); }
    static __m256i load(const char *at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at)); }
    static unsigned matches(__m256i head, __m256i tail, __m256i loosen, __m256i first, __m256i final)
    {
        return static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(head, loosen), first),
                             _mm256_cmpeq_epi8(_mm256_or_si256(tail, loosen), final))));
    }
    static __m256i either(__m256i a, __m256i b) { return _mm256_or_si256(a, b); }
    static bool anyHigh(__m256i v) { return _mm256_movemask_epi8(v) != 0; }
};

} // namespace

std::size_t scanAvx2(const ByteNeedle &needle, const char *data, std::size_t last, bool watch,
                     ByteNeedle::Result &result)
{
    return scanWith<Avx2>(needle, data, last, watch, result);
}
