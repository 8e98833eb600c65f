#pragma once

#include "unique_fd.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

// The steps every walk of Tool (copy, count, removal) is made of.

// How deep a walk goes below the item it starts from. Far deeper than any
// real SDK (whose paths stay within 1024 bytes), and each level holds at
// most two descriptors, so a planted tree of any depth fails its action
// cleanly instead of exhausting descriptors, memory or stack.
constexpr std::size_t maxWalkDepth = 256;

// The names in a folder, "." and ".." left out, one after another in
// blocks that never move: a folder of a million entries costs about the
// bytes of its names, not a million strings, and growing the listing never
// holds two copies of it.
class FolderNames
{
public:
    // Lists an open folder. Returns "" or the reason the listing failed.
    [[nodiscard]] std::string read(int folder);

    bool done() const { return m_block == m_blocks.size(); }
    // The name at the cursor; it stays where it is as long as the listing.
    const char *current() const { return m_blocks[m_block].names.get() + m_at; }
    void advance();

private:
    struct Block {
        std::unique_ptr<char[]> names; // each ended by a NUL
        std::size_t size = 0, used = 0;
    };
    void append(const char *name, std::size_t length);

    std::vector<Block> m_blocks; // none empty
    std::size_t m_block = 0, m_at = 0;
};

// Opens (folder, name) for reading, never following a link, never
// blocking on a FIFO, never taking a terminal, and only if it is still the
// item (type, device, inode) that the walk saw; status is then what the
// open item holds now. Returns an invalid descriptor and the reason otherwise.
UniqueFd openSeenItem(int folder, const std::string &name, const struct stat &seen,
                      struct stat &status, std::string &reason);
