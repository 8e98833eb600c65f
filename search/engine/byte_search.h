#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

struct ByteNeedleResult {
    bool found = false;
    std::size_t at = 0;     // where the first match starts, when found
    bool highBytes = false; // any byte beyond ASCII; only looked for when asked, and when not found
};

// Finds an ASCII needle in bytes, exactly or with letters folded by a table,
// and notes on the way whether the bytes hold any beyond ASCII, whose
// characters could make a match of their own. A scan examines start
// positions from 0 on, many at a time, by the needle's two rarest bytes in
// header text (which turn away more of them than its first and last do),
// and returns the first position it left for the caller.
class ByteNeedle
{
public:
    using Scan = std::size_t (*)(const ByteNeedle &, const char *data, std::size_t last, bool watch,
                                 ByteNeedleResult &result);

    // needle: already folded when case does not matter. fold maps every
    // byte to what it compares as; unused when case matters. scan: the
    // widest the processor has unless one is named.
    ByteNeedle(std::string needle, bool caseSensitive, const std::array<unsigned char, 256> &fold,
               Scan scan = nullptr);

    using Result = ByteNeedleResult;
    Result find(std::string_view text, bool watchHighBytes) const;

    // The whole needle at this place?
    bool matchesAt(const char *at) const;
    const std::string &needle() const { return m_needle; }
    bool caseSensitive() const { return m_caseSensitive; }
    // Where in the needle its two rarest bytes stand; the same place for a
    // needle of one byte.
    std::size_t rarest() const { return m_rarest; }
    std::size_t nextRarest() const { return m_nextRarest; }

private:
    std::string m_needle;
    bool m_caseSensitive;
    std::array<unsigned char, 256> m_fold;
    Scan m_scan = nullptr;
    std::size_t m_rarest = 0;
    std::size_t m_nextRarest = 0;
};

// The scans by instruction set; the AVX2 one lives in a file of its own,
// compiled for it, and runs only where the processor has it.
std::size_t scanSse2(const ByteNeedle &, const char *, std::size_t, bool, ByteNeedle::Result &);
std::size_t scanAvx2(const ByteNeedle &, const char *, std::size_t, bool, ByteNeedle::Result &);
