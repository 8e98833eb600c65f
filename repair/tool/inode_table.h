#pragma once

#include <cstdint>
#include <memory>
#include <sys/types.h>
#include <vector>

// A map from files, by device and inode, to a 32-bit number, for trees of
// millions of items: an entry takes 20 bytes, in blocks that never move,
// and a bucket 4, so that growing the map never holds two copies of it.
class InodeTable
{
public:
    // The number stored for the file, or nullptr.
    const std::uint32_t *find(dev_t device, ino_t inode) const;
    // Stores value for the file unless it has one: false if it had.
    bool insert(dev_t device, ino_t inode, std::uint32_t value);

private:
    struct Entry {
        std::uint32_t inodeLow, inodeHigh, device, next, value; // next: an entry's index + 1, or 0
    };
    static constexpr unsigned blockBits = 16;

    std::uint32_t deviceIndex(dev_t device) const; // of m_devices, or none
    std::size_t bucketOf(std::uint32_t device, ino_t inode) const;
    const Entry &entry(std::uint32_t index) const { return m_blocks[index >> blockBits][index & ((1u << blockBits) - 1)]; }
    Entry &entry(std::uint32_t index) { return m_blocks[index >> blockBits][index & ((1u << blockBits) - 1)]; }
    void grow();

    static constexpr std::uint32_t none = UINT32_MAX;
    std::vector<dev_t> m_devices; // few: one for each file system below the source
    std::vector<std::unique_ptr<Entry[]>> m_blocks;
    std::vector<std::uint32_t> m_buckets; // each its first entry's index + 1, or 0
    unsigned m_bucketBits = 0;
    std::uint32_t m_size = 0;
};
