#pragma once

// The candidate filter shared by the scans of every vector width. Included
// only by the files that instantiate it, each for its own instruction set.

#include "byte_search.h"

// Width start positions at a time: a position is a candidate when the bytes
// under the needle's first and last characters both fit, which rules out
// nearly every position of real text at once; candidates are then compared
// in full. Without case sensitivity both sides are ORed with 0x20 first,
// which lets every case of a letter through (and a few other bytes, which
// the full comparison turns away). Most headers are ASCII, so watching for
// ß, ﬁ and ﬂ costs only a test of the high bits.
template <typename Vector>
static std::size_t scanWith(const ByteNeedle &needle, const char *data, std::size_t last, bool watch,
                            ByteNeedle::Result &result)
{
    const std::string &text = needle.needle();
    const std::size_t n = text.size();
    const char caseBit = needle.caseSensitive() ? 0 : 0x20;
    const auto loosen = Vector::splat(caseBit);
    const auto first = Vector::splat(static_cast<char>(text.front() | caseBit));
    const auto final = Vector::splat(static_cast<char>(text.back() | caseBit));
    std::size_t i = 0;
    for (; i + Vector::width <= last + 1; i += Vector::width) {
        const auto head = Vector::load(data + i);
        const auto tail = Vector::load(data + i + n - 1);
        auto candidates = Vector::matches(head, tail, loosen, first, final);
        while (candidates) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(candidates));
            if (needle.matchesAt(data + i + bit)) {
                result.found = true;
                result.at = i + bit;
                return i;
            }
            candidates &= candidates - 1;
        }
        if (watch && !result.highBytes)
            result.highBytes = Vector::anyHigh(head);
    }
    return i;
}
