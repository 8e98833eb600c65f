#pragma once

#include "inode_table.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

// Where one copy put the first name of each file that has several, so that
// its further names become further names of that copy. Compact for trees
// of millions of items: a folder of the copy is a number, kept as its
// parent's number and its name; a file, as its folder's number and its
// name; names are kept once each, in blocks that never move.
class FirstCopies
{
public:
    using Folder = std::uint32_t;
    static constexpr Folder top = 0; // the copy itself

    Folder addFolder(Folder parent, std::string_view name);
    void add(const struct stat &file, Folder folder, std::string_view name);
    bool has(const struct stat &file) const { return m_files.find(file.st_dev, file.st_ino) != nullptr; }
    // The first copy of file: its folder and its name. False if there is none.
    bool find(const struct stat &file, Folder &folder, std::string &name) const;
    // Of a folder other than the top.
    Folder parentOf(Folder folder) const { return folderOf(m_folders[folder - 1]); }
    const char *nameOf(Folder folder) const { return nameAt(m_folders[folder - 1]); }

private:
    static constexpr unsigned blockBits = 20;
    static constexpr std::uint32_t none = UINT32_MAX;

    // A record: the number of its folder, then its name and a NUL.
    std::uint32_t store(Folder folder, std::string_view name);
    Folder folderOf(std::uint32_t record) const;
    const char *nameAt(std::uint32_t record) const;

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0; // in the last block
    std::vector<std::uint32_t> m_folders; // the record of folder n at n - 1
    InodeTable m_files;                   // the record of each file
};
