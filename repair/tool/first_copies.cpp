#include "first_copies.h"

#include <cstring>

std::uint32_t FirstCopies::store(Folder folder, std::string_view name)
{
    constexpr std::size_t blockSize = std::size_t(1) << blockBits;
    const std::size_t size = sizeof folder + name.size() + 1; // a name has at most 255 bytes
    if (m_blocks.empty() || m_used + size > blockSize) {
        if (m_blocks.size() == (std::size_t(1) << (32 - blockBits)))
            return none; // four GiB of names: further ones go unrecorded
        m_blocks.push_back(std::make_unique<char[]>(blockSize));
        m_used = 0;
    }
    char *record = m_blocks.back().get() + m_used;
    std::memcpy(record, &folder, sizeof folder);
    std::memcpy(record + sizeof folder, name.data(), name.size());
    record[sizeof folder + name.size()] = '\0';
    const auto at = static_cast<std::uint32_t>(((m_blocks.size() - 1) << blockBits) | m_used);
    m_used += size;
    return at;
}

FirstCopies::Folder FirstCopies::folderOf(std::uint32_t record) const
{
    Folder folder;
    std::memcpy(&folder, m_blocks[record >> blockBits].get() + (record & ((1u << blockBits) - 1)), sizeof folder);
    return folder;
}

const char *FirstCopies::nameAt(std::uint32_t record) const
{
    return m_blocks[record >> blockBits].get() + (record & ((1u << blockBits) - 1)) + sizeof(Folder);
}

FirstCopies::Folder FirstCopies::addFolder(Folder parent, std::string_view name)
{
    const std::uint32_t record = parent == none ? none : store(parent, name);
    if (record == none)
        return none;
    m_folders.push_back(record);
    return static_cast<Folder>(m_folders.size());
}

void FirstCopies::add(const struct stat &file, Folder folder, std::string_view name)
{
    if (folder == none || has(file))
        return;
    if (const std::uint32_t record = store(folder, name); record != none)
        m_files.insert(file.st_dev, file.st_ino, record);
}

bool FirstCopies::find(const struct stat &file, Folder &folder, std::string &name) const
{
    const std::uint32_t *record = m_files.find(file.st_dev, file.st_ino);
    if (!record)
        return false;
    folder = folderOf(*record);
    name = nameAt(*record);
    return true;
}
