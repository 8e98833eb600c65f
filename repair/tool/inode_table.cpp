#include "inode_table.h"

#include <algorithm>

std::uint32_t InodeTable::deviceIndex(dev_t device) const
{
    const auto found = std::find(m_devices.begin(), m_devices.end(), device);
    return found == m_devices.end() ? none : static_cast<std::uint32_t>(found - m_devices.begin());
}

std::size_t InodeTable::bucketOf(std::uint32_t device, ino_t inode) const
{
    const std::uint64_t mixed = (static_cast<std::uint64_t>(inode) ^ (static_cast<std::uint64_t>(device) << 48))
                                * 0x9e3779b97f4a7c15u;
    return static_cast<std::size_t>(mixed >> (64 - m_bucketBits));
}

const std::uint32_t *InodeTable::find(dev_t device, ino_t inode) const
{
    const std::uint32_t index = deviceIndex(device);
    if (index == none || m_buckets.empty())
        return nullptr;
    for (std::uint32_t at = m_buckets[bucketOf(index, inode)]; at != 0;) {
        const Entry &candidate = entry(at - 1);
        if (candidate.device == index && candidate.inodeLow == static_cast<std::uint32_t>(inode)
            && candidate.inodeHigh == static_cast<std::uint32_t>(static_cast<std::uint64_t>(inode) >> 32))
            return &candidate.value;
        at = candidate.next;
    }
    return nullptr;
}

bool InodeTable::insert(dev_t device, ino_t inode, std::uint32_t value)
{
    if (find(device, inode))
        return false;
    std::uint32_t index = deviceIndex(device);
    if (index == none) {
        index = static_cast<std::uint32_t>(m_devices.size());
        m_devices.push_back(device);
    }
    if (m_size == UINT32_MAX - 1)
        return true; // four thousand million files: further ones go unrecorded
    if (m_size >= m_buckets.size())
        grow();
    if ((m_size >> blockBits) == m_blocks.size())
        m_blocks.push_back(std::make_unique<Entry[]>(std::size_t(1) << blockBits));
    const std::size_t bucket = bucketOf(index, inode);
    const auto wide = static_cast<std::uint64_t>(inode);
    entry(m_size) = {static_cast<std::uint32_t>(wide), static_cast<std::uint32_t>(wide >> 32), index,
                     m_buckets[bucket], value};
    m_buckets[bucket] = ++m_size;
    return true;
}

// Twice the buckets, the entries relinked where they lie.
void InodeTable::grow()
{
    m_bucketBits = m_buckets.empty() ? 10 : m_bucketBits + 1;
    m_buckets.assign(std::size_t(1) << m_bucketBits, 0);
    for (std::uint32_t at = 0; at < m_size; ++at) {
        Entry &moved = entry(at);
        const std::size_t bucket
            = bucketOf(moved.device, static_cast<ino_t>(moved.inodeLow | static_cast<std::uint64_t>(moved.inodeHigh) << 32));
        moved.next = m_buckets[bucket];
        m_buckets[bucket] = at + 1;
    }
}
