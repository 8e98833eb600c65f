#pragma once

// The candidate filter shared by the scans of every vector width. Included
// only by the files that instantiate it, each for its own instruction set.

#include "byte_search.h"

// Width start positions at a time: a position is a candidate when the bytes
// under the needle's two rarest characters both fit, which rules out nearly
// every position of real text at once; candidates are then compared in
// full. Without case sensitivity both sides are ORed with 0x20 first,
// which lets every case of a letter through (and a few other bytes, which
// the full comparison turns away). The bytes beyond ASCII are watched for
// by ORing every block into one, which costs the loop one instruction; the
// blocks lie under the rarest character, so the caller watches the bytes
// before its place in the needle.
//
// The loop that looks for candidates calls nothing, so that its values stay
// in registers; the full comparison, a call, runs outside it.
template <typename Vector>
static std::size_t scanWith(const ByteNeedle &needle, const char *data, std::size_t last, bool watch,
                            ByteNeedle::Result &result)
{
    const std::string &text = needle.needle();
    const char caseBit = needle.caseSensitive() ? 0 : 0x20;
    const auto loosen = Vector::splat(caseBit);
    const std::size_t one = needle.rarest(), other = needle.nextRarest();
    const auto first = Vector::splat(static_cast<char>(text[one] | caseBit));
    const auto final = Vector::splat(static_cast<char>(text[other] | caseBit));
    auto seen = Vector::splat(0);
    std::size_t i = 0;
    for (;;) {
        unsigned candidates = 0;
        for (; i + Vector::width <= last + 1; i += Vector::width) {
            const auto head = Vector::load(data + i + one);
            seen = Vector::either(seen, head);
            candidates = Vector::matches(head, Vector::load(data + i + other), loosen, first, final);
            if (candidates)
                break;
        }
        if (!candidates)
            break;
        for (; candidates; candidates &= candidates - 1) {
            const std::size_t at = i + static_cast<unsigned>(__builtin_ctz(candidates));
            if (needle.matchesAt(data + at)) {
                result.found = true;
                result.at = at;
                return i;
            }
        }
        i += Vector::width;
    }
    result.highBytes = watch && Vector::anyHigh(seen);
    return i;
}
